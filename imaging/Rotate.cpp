#include "Rotate.h"

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
    Raster s, t;
    RenderToBitmap(picture, s);
    RotateRaster(s, direction, t);
    if (picture.kind() == PictureKind::Jpeg)
        picture.setJpegQuality(jpegQuality);
    StoreBitmap(picture, t);
}

void RotateFile(Picture& picture, RotateDirection direction, const std::string& path,
                int jpegQuality) {
    RotateQuarter(picture, direction, jpegQuality);
    WritePictureReplacing(picture, path);
}

} // namespace pictorant
