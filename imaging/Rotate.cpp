#include "imaging/Rotate.h"

#include <cstring>

namespace pictorant {

void RotateRaster(const Raster& source, RotateDirection direction, Raster& target) {
    const int sw = source.width(), sh = source.height();
    target.reset(sh, sw, PixelFormat::Bgr24);
    for (int y = 0; y < sh; ++y) {
        const std::uint8_t* src = source.scanLine(y);
        for (int x = 0; x < sw; ++x) {
            std::uint8_t* dst = direction == RotateDirection::Clockwise
                                    ? target.scanLine(x) + 3 * (sh - 1 - y)
                                    : target.scanLine(sw - 1 - x) + 3 * y;
            std::memcpy(dst, src + 3 * x, 3);
        }
    }
}

void RotateQuarter(Picture& picture, RotateDirection direction, int jpegQuality) {
    // The source raster is taken from the picture and dropped once turned, and the turned
    // one moves into it: never more than the two rasters a turn needs.
    Raster s, t;
    picture.takeRaster(s);
    RotateRaster(s, direction, t);
    s.release();
    switch (picture.kind()) {
    case PictureKind::Jpeg:
        picture.setJpegQuality(jpegQuality);
        picture.setJpegRaster(std::move(t));
        break;
    case PictureKind::Bitmap:
        picture.setBitmap(std::move(t));
        break;
    default:
        StoreBitmap(picture, t);
        break;
    }
}

void RotateFile(Picture& picture, RotateDirection direction, const std::string& path,
                int jpegQuality) {
    RotateQuarter(picture, direction, jpegQuality);
    WritePictureReplacing(picture, path);
}

} // namespace pictorant
