#include "imaging/Resample.h"

#include <cmath>
#include <cstring>

#include "imaging/GifCodec.h"
#include "imaging/JpegRowSource.h"
#include "imaging/PictureError.h"

namespace pictorant {
namespace {

// Nearest pixel: the source column under the centre of target column x, i.e.
// floor((x + 0.5) * sw / W), in exact integer arithmetic.
void nearestIndices(int source, int target, std::vector<int>& out) {
    out.resize(std::size_t(target));
    for (int x = 0; x < target; ++x)
        out[std::size_t(x)] =
            int(((2 * std::int64_t(x) + 1) * source) / (2 * std::int64_t(target)));
}

void nearestCopy(int sw, int sh, const SourceRows& sourceRow, int W, int H, Raster& target) {
    std::vector<int> columns, rows;
    nearestIndices(sw, W, columns);
    nearestIndices(sh, H, rows);
    for (int y = 0; y < H; ++y) {
        const std::uint8_t* src = sourceRow(rows[std::size_t(y)]);
        std::uint8_t* dst = target.scanLine(y);
        for (int x = 0; x < W; ++x) {
            const std::uint8_t* p = src + 3 * columns[std::size_t(x)];
            dst[3 * x] = p[0];
            dst[3 * x + 1] = p[1];
            dst[3 * x + 2] = p[2];
        }
    }
}

float toSingle(double v) {
    return static_cast<float>(v);
}

std::uint8_t toByte(float v) {
    // Round to nearest, ties to even (the default rounding mode), then store as a byte.
    return static_cast<std::uint8_t>(static_cast<int>(std::nearbyint(v)));
}

// Target pixels per source step, target / (side - 1). A side of 1 has no step: the
// factor goes to infinity, every position y / factor to 0, and the single row or
// column is the whole source; positionIn() gives that limit without dividing.
struct Axis {
    int side;
    float scale;
};

Axis axisOf(int target, int sourceSide) {
    if (sourceSide == 1)
        return {1, 0.0f};
    return {sourceSide, toSingle(double(target) / double(sourceSide - 1))};
}

float positionIn(const Axis& axis, int t) {
    return axis.side == 1 ? 0.0f : toSingle(double(t) / double(axis.scale));
}

// Two rows made on demand: the filters read at most two rows at once, in ascending
// order, so the slot handed out last is kept and the other one refilled.
class RowPair {
public:
    explicit RowPair(int width) {
        for (auto& slot : slots_)
            slot.resize(std::size_t(width) * 3);
    }
    template <typename Fill> const std::uint8_t* get(int y, Fill&& fill) {
        for (int i = 0; i < 2; ++i) {
            if (rows_[i] == y) {
                last_ = i;
                return slots_[i].data();
            }
        }
        last_ = 1 - last_;
        rows_[last_] = y;
        fill(y, slots_[last_].data());
        return slots_[last_].data();
    }

private:
    std::vector<std::uint8_t> slots_[2];
    int rows_[2] = {-1, -1};
    int last_ = 1;
};

void expandIndexedRow(const Raster& source, int y, std::uint8_t* dst) {
    const auto& palette = source.palette();
    const std::uint8_t* src = source.scanLine(y);
    for (int x = 0; x < source.width(); ++x) {
        const PaletteColor c = src[x] < palette.size() ? palette[src[x]] : PaletteColor{};
        dst[3 * x] = c.blue;
        dst[3 * x + 1] = c.green;
        dst[3 * x + 2] = c.red;
    }
}

void filterPictureRows(const Picture& picture, int W, int H, Raster& target, bool bilinear) {
    ReadPictureRows(picture, [&](int sw, int sh, const SourceRows& rows) {
        if (bilinear)
            BilinearFilter(sw, sh, rows, W, H, target);
        else
            NearestFilter(sw, sh, rows, W, H, target);
    });
}

} // namespace

// Feeds a filter the rows of a Jpeg, Bitmap or Gif picture as RenderToBitmap would draw
// them, without a full-size 24-bit copy: a 24-bit raster is read in place, an 8-bit one
// and a GIF screen are drawn a row at a time, and a JPEG not yet decoded is streamed
// through libjpeg. Where streaming cannot serve (a greyscale JPEG, the 8-bit decode
// mode) the picture is decoded as usual and read from there.
// The decode's warning is noted on the picture once the rows have been read.
void ReadPictureRows(const Picture& picture, const PictureRowsReader& run) {
    if (picture.kind() == PictureKind::Gif) {
        const int sw = picture.width(), sh = picture.height();
        RowPair pair(sw);
        const auto draw = [&](int y, std::uint8_t* row) {
            std::memset(row, 255, std::size_t(sw) * 3);
            DrawGifFirstFrameRow(picture.gif(), y, row, sw);
        };
        run(sw, sh, [&](int y) { return pair.get(y, draw); });
        return;
    }
    if (picture.kind() == PictureKind::Jpeg && !picture.rasterHeld() &&
        picture.jpegDecodeFormat() == PixelFormat::Bgr24 && !picture.jpegData().empty()) {
        JpegRowStream stream(picture.jpegData());
        if (stream.start()) {
            run(stream.width(), stream.height(), [&](int y) { return stream.row(y); });
            picture.noteDecodeWarning(stream.finish());
            return;
        }
    }
    const Raster& source = picture.raster();
    if (source.format() == PixelFormat::Bgr24) {
        run(source.width(), source.height(), [&](int y) { return source.scanLine(y); });
        return;
    }
    RowPair pair(source.width());
    const auto expand = [&](int y, std::uint8_t* row) { expandIndexedRow(source, y, row); };
    run(source.width(), source.height(), [&](int y) { return pair.get(y, expand); });
}

void BilinearFilter(const Raster& source, int W, int H, Raster& target) {
    BilinearFilter(
        source.width(), source.height(), [&](int y) { return source.scanLine(y); }, W, H, target);
}

void BilinearFilter(int sw, int sh, const SourceRows& sourceRow, int W, int H, Raster& target) {
    // An empty source has no pixel to read.
    if (sw <= 0 || sh <= 0)
        throw PictureError("Invalid floating point operation");
    const Axis ax = axisOf(W, sw), ay = axisOf(H, sh);
    // The second sample of a pair; on a side of 1 it repeats the only one, at weight 0.
    const int nextColumn = sw > 1 ? 1 : 0, nextRow = sh > 1 ? 1 : 0;
    target.reset(W, H, PixelFormat::Bgr24);
    for (int y = 0; y < H; ++y) {
        const float fy = positionIn(ay, y);
        int iy = int(fy);
        const float dy = toSingle(double(fy) - double(iy));
        // Single-precision positions can round up onto the last row only for sides
        // beyond 2^24; keep the reads inside the source then.
        if (iy > sh - 1 - nextRow)
            iy = sh - 1 - nextRow;
        const float wy[2] = {toSingle(1.0 - double(dy)), dy};
        const std::uint8_t* rows[2] = {sourceRow(iy), sourceRow(iy + nextRow)};
        std::uint8_t* out = target.scanLine(y);
        for (int x = 0; x < W; ++x) {
            const float fx = positionIn(ax, x);
            int ix = int(fx);
            const float dx = toSingle(double(fx) - double(ix));
            if (ix > sw - 1 - nextColumn)
                ix = sw - 1 - nextColumn;
            const float wx[2] = {toSingle(1.0 - double(dx)), dx};
            float r = 0, g = 0, b = 0;
            for (int j = 0; j < 2; ++j) {
                for (int i = 0; i < 2; ++i) {
                    const std::uint8_t* p = rows[i] + 3 * (ix + j * nextColumn);
                    const float w = toSingle(double(wx[j]) * double(wy[i]));
                    r = toSingle(double(r) + double(p[2]) * double(w));
                    g = toSingle(double(g) + double(p[1]) * double(w));
                    b = toSingle(double(b) + double(p[0]) * double(w));
                }
            }
            out[3 * x] = toByte(b);
            out[3 * x + 1] = toByte(g);
            out[3 * x + 2] = toByte(r);
        }
    }
}

void NearestFilter(int sw, int sh, const SourceRows& sourceRow, int W, int H, Raster& target) {
    target.reset(W, H, PixelFormat::Bgr24);
    if (W > 0 && H > 0)
        nearestCopy(sw, sh, sourceRow, W, H, target);
}

void ResampleQuality(const Picture& picture, int W, int H, Raster& workBitmap,
                     Raster& resampleTarget) {
    // A JPEG need not be decoded whole: the filter reads two rows per target row.
    if (ResampleJpegRows(picture, RowFilter::Bilinear, W, H, workBitmap))
        return;
    if (picture.kind() == PictureKind::Metafile) {
        // A recording is played at its natural size first; it has no rows of its own.
        RenderToBitmap(picture, workBitmap);
        BilinearFilter(workBitmap, W, H, resampleTarget);
        RenderToBitmap(resampleTarget, workBitmap);
        return;
    }
    // Filtered into the resample target and copied back, as the metafile is; only the
    // natural-size render is left out.
    filterPictureRows(picture, W, H, resampleTarget, true);
    RenderToBitmap(resampleTarget, workBitmap);
}

void ResampleFast(const Picture& picture, int W, int H, Raster& workBitmap) {
    // The work raster is always 24-bit here (no display format to inherit).
    workBitmap.reset(W, H, PixelFormat::Bgr24);
    if (W <= 0 || H <= 0)
        return;
    switch (picture.kind()) {
    case PictureKind::Metafile:
        workBitmap.fill(255, 255, 255);
        picture.metafile().playInto(workBitmap);
        return;
    case PictureKind::Jpeg:
        if (ResampleJpegRows(picture, RowFilter::Nearest, W, H, workBitmap))
            return;
        [[fallthrough]];
    case PictureKind::Gif:
    case PictureKind::Bitmap:
    case PictureKind::Png:
    case PictureKind::Webp:
    case PictureKind::Tiff:
    case PictureKind::Heif:
        if (picture.width() <= 0 || picture.height() <= 0 ||
            (picture.kind() != PictureKind::Gif && picture.rasterHeld() &&
             picture.raster().isEmpty())) {
            workBitmap.fill(255, 255, 255);
            return;
        }
        filterPictureRows(picture, W, H, workBitmap, false);
        return;
    }
}

} // namespace pictorant
