#include "imaging/ExifOrientation.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/Resample.h"

namespace pictorant {
namespace {

// Upright pixel (x, y) of a stored sw x sh raster comes from stored column and row:
struct Source {
    int x, y;
};

Source storedPixel(int orientation, int x, int y, int sw, int sh) {
    switch (orientation) {
    case 2:
        return {sw - 1 - x, y};
    case 3:
        return {sw - 1 - x, sh - 1 - y};
    case 4:
        return {x, sh - 1 - y};
    case 5:
        return {y, x};
    case 6:
        return {y, sh - 1 - x};
    case 7:
        return {sw - 1 - y, sh - 1 - x};
    case 8:
        return {sw - 1 - y, x};
    default:
        return {x, y};
    }
}

} // namespace

void OrientRaster(Raster& raster, int orientation) {
    if (orientation < 2 || orientation > 8 || raster.isEmpty())
        return;
    const int sw = raster.width(), sh = raster.height();
    const int bpp = raster.bytesPerPixel();
    const bool swap = OrientationSwapsSides(orientation);
    Raster upright(swap ? sh : sw, swap ? sw : sh, raster.format());
    upright.palette() = raster.palette();
    for (int y = 0; y < upright.height(); ++y) {
        std::uint8_t* out = upright.scanLine(y);
        if (!swap) {
            // Whole rows move, reversed where the picture is mirrored left to right.
            const Source first = storedPixel(orientation, 0, y, sw, sh);
            const std::uint8_t* in = raster.scanLine(first.y);
            if (first.x == 0) {
                std::memcpy(out, in, raster.bytesPerLine());
                continue;
            }
            for (int x = 0; x < sw; ++x)
                std::memcpy(out + bpp * x, in + bpp * (sw - 1 - x), std::size_t(bpp));
            continue;
        }
        for (int x = 0; x < upright.width(); ++x) {
            const Source s = storedPixel(orientation, x, y, sw, sh);
            std::memcpy(out + bpp * x, raster.scanLine(s.y) + bpp * s.x, std::size_t(bpp));
        }
    }
    raster = std::move(upright);
}

bool ResampleJpegRowsUpright(const Picture& picture, int orientation, RowFilter filter, int W,
                             int H, Raster& workBitmap,
                             const std::function<void(Raster&)>& adjustRows) {
    if (orientation < 2 || orientation > 8) {
        if (!adjustRows)
            return ResampleJpegRows(picture, filter, W, H, workBitmap);
        orientation = 1;
    }
    if (picture.kind() != PictureKind::Jpeg || picture.jpegData().empty() || picture.rasterHeld() ||
        picture.jpegDecodeFormat() != PixelFormat::Bgr24)
        return false;
    const int sw = picture.width(), sh = picture.height();
    if (W <= 0 || H <= 0 || sw < 2 || sh < 2)
        return false;
    const bool swap = OrientationSwapsSides(orientation);
    const int uw = swap ? sh : sw, uh = swap ? sw : sh;
    // An upright row is a stored row, or, turned a quarter, an upright column is one.
    std::vector<int> stored;
    if (swap) {
        for (int x : RowsReadBy(filter, uh, uw, H, W))
            stored.push_back(storedPixel(orientation, x, 0, sw, sh).y);
    } else {
        for (int y : RowsReadBy(filter, uw, uh, W, H))
            stored.push_back(storedPixel(orientation, 0, y, sw, sh).y);
    }
    std::sort(stored.begin(), stored.end());
    stored.erase(std::unique(stored.begin(), stored.end()), stored.end());
    if (stored.size() * 2 > std::size_t(sh))
        return false;
    Raster band;
    if (!DecodeJpegRows(picture.jpegData(), stored, band))
        return false;
    if (adjustRows)
        adjustRows(band);
    std::vector<int> slot(std::size_t(sh), -1);
    for (std::size_t i = 0; i < stored.size(); ++i)
        slot[std::size_t(stored[i])] = int(i);
    // The filter holds two rows at once; each upright row is gathered from the band,
    // its pixels from rows not decoded left as they are (the filter never reads them).
    std::vector<std::uint8_t> rows[2] = {std::vector<std::uint8_t>(std::size_t(uw) * 3),
                                         std::vector<std::uint8_t>(std::size_t(uw) * 3)};
    int held[2] = {-1, -1}, last = 1;
    const SourceRows upright = [&](int y) -> const std::uint8_t* {
        for (int i = 0; i < 2; ++i)
            if (held[i] == y) {
                last = i;
                return rows[i].data();
            }
        last = 1 - last;
        held[last] = y;
        std::uint8_t* out = rows[last].data();
        for (int x = 0; x < uw; ++x) {
            const Source s = storedPixel(orientation, x, y, sw, sh);
            if (const int at = slot[std::size_t(s.y)]; at >= 0)
                std::memcpy(out + 3 * x, band.scanLine(at) + 3 * s.x, 3);
        }
        return out;
    };
    if (filter == RowFilter::Bilinear)
        BilinearFilter(uw, uh, upright, W, H, workBitmap);
    else
        NearestFilter(uw, uh, upright, W, H, workBitmap);
    return true;
}

int OrientationAfterTurn(int orientation, RotateDirection direction) {
    // Found by trial on a 3 x 2 raster of distinct pixels: the group has eight members,
    // and a table of their products would only restate this.
    Raster probe(3, 2, PixelFormat::Indexed8);
    for (int i = 0; i < 6; ++i)
        probe.bits()[i] = std::uint8_t(i);
    Raster wanted = probe;
    OrientRaster(wanted, orientation);
    Raster turned;
    Raster asBgr;
    // RotateRaster reads 24-bit pixels; the probe is widened for it.
    asBgr.reset(wanted.width(), wanted.height(), PixelFormat::Bgr24);
    for (int i = 0; i < wanted.width() * wanted.height(); ++i)
        std::memset(asBgr.bits() + 3 * i, wanted.bits()[i], 3);
    RotateRaster(asBgr, direction, turned);
    for (int candidate = 1; candidate <= 8; ++candidate) {
        Raster r = probe;
        OrientRaster(r, candidate);
        if (r.width() != turned.width() || r.height() != turned.height())
            continue;
        bool same = true;
        for (int i = 0; i < r.width() * r.height() && same; ++i)
            same = r.bits()[i] == turned.bits()[3 * i];
        if (same)
            return candidate;
    }
    return 1;
}

} // namespace pictorant
