#include "imaging/ResampleSmooth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "imaging/JpegRowSource.h"
#include "imaging/JpegScans.h"

namespace pictorant {
namespace {

double sinc(double x) {
    if (x == 0.0)
        return 1.0;
    const double px = std::numbers::pi * x;
    return std::sin(px) / px;
}

double lanczos3(double x) {
    return std::abs(x) < 3.0 ? sinc(x) * sinc(x / 3.0) : 0.0;
}

// Adds one target pixel's weights, merged by clamped source index, then normalised.
void addTaps(SmoothTaps& taps, int lo, std::vector<double>& w) {
    while (!w.empty() && w.back() == 0.0)
        w.pop_back();
    int skip = 0;
    while (skip + 1 < int(w.size()) && w[std::size_t(skip)] == 0.0)
        ++skip;
    double sum = 0.0;
    for (std::size_t k = std::size_t(skip); k < w.size(); ++k)
        sum += w[k];
    taps.first.push_back(lo + skip);
    taps.count.push_back(int(w.size()) - skip);
    taps.offset.push_back(int(taps.weights.size()));
    for (std::size_t k = std::size_t(skip); k < w.size(); ++k)
        taps.weights.push_back(float(sum != 0.0 ? w[k] / sum : 1.0));
    taps.maxCount = std::max(taps.maxCount, int(w.size()) - skip);
}

std::uint8_t toByte(float v) {
    return std::uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

// Horizontally filtered rows, as many as one target row reads, kept by source row.
class RowRing {
public:
    RowRing(int rows, int width) : rows_(rows), width_(width), data_(std::size_t(rows * width)) {}
    float* at(int sourceRow) { return data_.data() + std::size_t(sourceRow % rows_) * width_; }

private:
    int rows_;
    std::size_t width_;
    std::vector<float> data_;
};

} // namespace

SmoothTaps SmoothTapsFor(SmoothKernel kernel, int source, double extent, int target) {
    SmoothTaps taps;
    if (source <= 0 || target <= 0)
        return taps;
    const double scale = extent / target; // source pixels per target pixel
    std::vector<double> w;
    for (int i = 0; i < target; ++i) {
        w.clear();
        int lo = 0;
        if (kernel == SmoothKernel::Area) {
            const double a = i * scale, b = (i + 1) * scale;
            lo = std::min(int(std::floor(a)), source - 1);
            const int hi = std::min(std::max(int(std::ceil(b)), lo + 1), source);
            for (int j = lo; j < hi; ++j)
                w.push_back(std::max(0.0, std::min(b, j + 1.0) - std::max(a, double(j))));
        } else {
            const double widen = std::max(scale, 1.0), centre = (i + 0.5) * scale;
            const int from = int(std::floor(centre - 3.0 * widen));
            const int to = int(std::ceil(centre + 3.0 * widen));
            lo = std::clamp(from, 0, source - 1);
            const int hi = std::clamp(to, 0, source - 1);
            w.assign(std::size_t(hi - lo + 1), 0.0);
            for (int j = from; j <= to; ++j)
                w[std::size_t(std::clamp(j, lo, hi) - lo)] += lanczos3((j + 0.5 - centre) / widen);
        }
        addTaps(taps, lo, w);
    }
    return taps;
}

void SmoothFilter(SmoothKernel kernel, int sw, int sh, double extentW, double extentH,
                  const SourceRows& sourceRow, int W, int H, Raster& target) {
    target.reset(std::max(W, 0), std::max(H, 0), PixelFormat::Bgr24);
    if (target.isEmpty())
        return;
    if (sw <= 0 || sh <= 0) {
        target.fill(255, 255, 255);
        return;
    }
    const SmoothTaps tx = SmoothTapsFor(kernel, sw, extentW, W);
    const SmoothTaps ty = SmoothTapsFor(kernel, sh, extentH, H);
    const int rowFloats = 3 * W;
    RowRing ring(ty.maxCount, rowFloats);
    std::vector<float> sum(static_cast<std::size_t>(rowFloats));
    int nextRow = 0; // the source row read next
    for (int y = 0; y < H; ++y) {
        const int first = ty.first[std::size_t(y)], count = ty.count[std::size_t(y)];
        for (; nextRow < first + count; ++nextRow) {
            const std::uint8_t* src = sourceRow(nextRow);
            float* out = ring.at(nextRow);
            for (int x = 0; x < W; ++x) {
                const std::uint8_t* p = src + 3 * tx.first[std::size_t(x)];
                const float* wk = tx.weights.data() + tx.offset[std::size_t(x)];
                float b = 0, g = 0, r = 0;
                for (int k = 0; k < tx.count[std::size_t(x)]; ++k, p += 3) {
                    b += wk[k] * p[0];
                    g += wk[k] * p[1];
                    r += wk[k] * p[2];
                }
                out[3 * x] = b;
                out[3 * x + 1] = g;
                out[3 * x + 2] = r;
            }
        }
        // The vertical pass runs along whole rows, which the compiler vectorises.
        const float* wy = ty.weights.data() + ty.offset[std::size_t(y)];
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (int k = 0; k < count; ++k) {
            const float* row = ring.at(first + k);
            const float w = wy[k];
            for (int i = 0; i < rowFloats; ++i)
                sum[std::size_t(i)] += w * row[i];
        }
        std::uint8_t* dst = target.scanLine(y);
        for (int i = 0; i < rowFloats; ++i)
            dst[i] = toByte(sum[std::size_t(i)]);
    }
}

void SmoothFilter(const Raster& source, int W, int H, Raster& target, SmoothKernel kernel) {
    SmoothFilter(
        kernel, source.width(), source.height(), source.width(), source.height(),
        [&](int y) { return source.scanLine(y); }, W, H, target);
}

int JpegSmoothScale(int sw, int sh, int W, int H) {
    for (int denom : {8, 4, 2})
        if (std::int64_t(sw) >= 2 * std::int64_t(W) * denom &&
            std::int64_t(sh) >= 2 * std::int64_t(H) * denom)
            return denom;
    return 1;
}

void ResampleSmooth(const Picture& picture, int W, int H, Raster& workBitmap) {
    const int sw = picture.width(), sh = picture.height();
    if (W <= 0 || H <= 0 || sw <= 0 || sh <= 0) {
        SmoothFilter(kSmoothKernel, 0, 0, 0, 0, nullptr, W, H, workBitmap);
        return;
    }
    const auto filter = [&](int w, int h, double ew, double eh, const SourceRows& rows) {
        SmoothFilter(kSmoothKernel, w, h, ew, eh, rows, W, H, workBitmap);
    };
    if (picture.kind() == PictureKind::Jpeg && !picture.rasterHeld() &&
        picture.jpegDecodeFormat() == PixelFormat::Bgr24 && !picture.jpegData().empty()) {
        // Most of the reduction is libjpeg's, for free: a 1/8 decode runs the inverse DCT
        // on the DC coefficient alone.
        const int denom = JpegSmoothScale(sw, sh, W, H);
        const std::vector<std::uint8_t> pruned = DropUnreadScans(picture.jpegData(), denom);
        JpegRowStream::Options options;
        options.scaleDenom = denom;
        options.greyAsColour = true;
        // Block smoothing guesses coefficients of scans not yet read; the dropped scans'
        // coefficients are never read, so nothing is guessed.
        options.blockSmoothing = pruned.empty();
        JpegRowStream stream(pruned.empty() ? std::span(picture.jpegData()) : std::span(pruned),
                             options);
        if (stream.start()) {
            filter(stream.width(), stream.height(), double(sw) / denom, double(sh) / denom,
                   [&](int y) { return stream.row(y); });
            picture.noteDecodeWarning(stream.finish());
            return;
        }
    }
    if (picture.kind() == PictureKind::Metafile) {
        // A recording has no rows of its own: it is played at its natural size first.
        Raster drawn;
        RenderToBitmap(picture, drawn);
        filter(sw, sh, sw, sh, [&](int y) { return drawn.scanLine(y); });
        return;
    }
    ReadPictureRows(picture,
                    [&](int w, int h, const SourceRows& rows) { filter(w, h, w, h, rows); });
}

} // namespace pictorant
