#include "imaging/ExifOrientation.h"

#include <cstring>

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
