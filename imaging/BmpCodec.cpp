#include "imaging/BmpCodec.h"

#include <algorithm>
#include <cstring>

#include "imaging/DibCore.h"
#include "imaging/Picture.h"
#include "imaging/PictureError.h"

namespace pictorant {

Raster DecodeBmp(std::span<const std::uint8_t> data, int* bitCount) {
    return decodeBmpFile(data, MaxPicturePixels(), bitCount);
}

std::vector<std::uint8_t> EncodeBmp(const Raster& raster) {
    std::vector<std::uint8_t> out;
    EncodeBmp(raster, [&](const std::uint8_t* bytes, std::size_t size) {
        if (out.empty())
            out.reserve(size + ((std::size_t(raster.width()) * raster.bytesPerPixel() + 3) &
                                ~std::size_t(3)) *
                                   std::size_t(raster.height()));
        out.insert(out.end(), bytes, bytes + size);
    });
    return out;
}

void EncodeBmp(const Raster& raster,
               const std::function<void(const std::uint8_t*, std::size_t)>& sink) {
    if (raster.width() <= 0 || raster.height() <= 0)
        throw PictureError("Cannot write an empty bitmap image");
    const bool indexed = raster.format() == PixelFormat::Indexed8;
    const int bits = indexed ? 8 : 24;
    const std::size_t stride = ((std::size_t(raster.width()) * std::size_t(bits) + 31) / 32) * 4;
    const std::size_t paletteEntries = indexed ? raster.palette().size() : 0;
    const std::size_t pixelsAt = 14 + 40 + 4 * paletteEntries;
    const std::size_t imageSize = stride * std::size_t(raster.height());
    std::vector<std::uint8_t> head(pixelsAt, 0);
    auto put16 = [&](std::size_t at, std::uint32_t v) {
        head[at] = std::uint8_t(v);
        head[at + 1] = std::uint8_t(v >> 8);
    };
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    head[0] = 'B';
    head[1] = 'M';
    put32(2, std::uint32_t(pixelsAt + imageSize));
    put32(10, std::uint32_t(pixelsAt));
    put32(14, 40);
    put32(18, std::uint32_t(raster.width()));
    put32(22, std::uint32_t(raster.height()));
    put16(26, 1);
    put16(28, std::uint32_t(bits));
    put32(30, kDibRgb);
    put32(34, std::uint32_t(imageSize));
    put32(46, std::uint32_t(paletteEntries));
    for (std::size_t i = 0; i < paletteEntries; ++i) {
        const PaletteColor& c = raster.palette()[i];
        head[54 + 4 * i] = c.blue;
        head[54 + 4 * i + 1] = c.green;
        head[54 + 4 * i + 2] = c.red;
    }
    sink(head.data(), head.size());
    // Rows bottom-up, each padded with zeros to the stride.
    std::vector<std::uint8_t> row(stride, 0);
    for (int y = raster.height() - 1; y >= 0; --y) {
        std::memcpy(row.data(), raster.scanLine(y), raster.bytesPerLine());
        sink(row.data(), row.size());
    }
}

} // namespace pictorant
