#include "imaging/metafile/Dib.h"

#include <algorithm>

#include "imaging/metafile/QuietImageReader.h"

namespace pictorant::metafile {

QImage decodeDib(const ByteReader& info, const ByteReader& bits, const DibOptions& options) {
    DibHeader h;
    try {
        if (!readDibHeader(info, h, options.paletteIndices))
            return {};
        if (h.compression == kDibJpeg || h.compression == kDibPng)
            return readEmbeddedImage(bits);
        QImage image(int(h.width), int(h.height),
                     options.keepAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (image.isNull())
            return {};
        DibColours colours;
        if (options.logicalPalette)
            colours.logicalPalette = {options.logicalPalette->constData(),
                                      std::size_t(options.logicalPalette->size())};
        colours.paletteIndices = options.paletteIndices;
        colours.keepAlpha = options.keepAlpha;
        if (!decodeDibPixels(info, h, bits, colours,
                             {image.bits(), std::size_t(image.bytesPerLine())}))
            return {};
        return image;
    } catch (const OutOfBounds&) {
        return {};
    }
}

QImage decodePackedDib(const ByteReader& packed, const DibOptions& options) {
    DibHeader h;
    try {
        if (!readDibHeader(packed, h, options.paletteIndices))
            return {};
    } catch (const OutOfBounds&) {
        return {};
    }
    const std::uint64_t infoSize = h.infoSize();
    if (infoSize > packed.size())
        return {};
    return decodeDib(packed.sub(0, infoSize), packed.from(infoSize), options);
}

std::uint64_t appendDib24(std::vector<std::uint8_t>& out, const Raster& raster) {
    const std::uint32_t w = std::uint32_t(raster.width()), h = std::uint32_t(raster.height());
    const std::uint64_t stride = (std::uint64_t(w) * 3 + 3) & ~std::uint64_t(3);
    const std::uint64_t bitsSize = stride * h;
    auto put16 = [&](std::uint32_t v) {
        out.push_back(std::uint8_t(v));
        out.push_back(std::uint8_t(v >> 8));
    };
    auto put32 = [&](std::uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    put32(40);
    put32(w);
    put32(h); // positive: bottom-up rows
    put16(1);
    put16(24);
    put32(0); // BI_RGB
    put32(std::uint32_t(bitsSize));
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    const std::size_t start = out.size();
    out.resize(start + bitsSize, 0);
    for (std::uint32_t y = 0; y < h; ++y) {
        const std::uint8_t* row = raster.scanLine(int(h - 1 - y));
        std::copy(row, row + std::size_t(w) * 3, out.begin() + std::ptrdiff_t(start + y * stride));
    }
    return bitsSize;
}

} // namespace pictorant::metafile
