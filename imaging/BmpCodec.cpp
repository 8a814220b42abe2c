#include "BmpCodec.h"

#include <algorithm>
#include <cstring>

#include "Picture.h"
#include "PictureError.h"

namespace pictorant {
namespace {

[[noreturn]] void invalid() {
    throw PictureError("Bitmap image is not valid");
}

std::uint32_t u16(std::span<const std::uint8_t> d, std::size_t at) {
    return std::uint32_t(d[at]) | std::uint32_t(d[at + 1]) << 8;
}
std::uint32_t u32(std::span<const std::uint8_t> d, std::size_t at) {
    return u16(d, at) | u16(d, at + 2) << 16;
}
std::int32_t i32(std::span<const std::uint8_t> d, std::size_t at) {
    return static_cast<std::int32_t>(u32(d, at));
}

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

// One colour channel of a bit-field pixel, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (!m)
            return;
        while (!((m >> shift) & 1))
            ++shift;
        max = m >> shift;
    }
    bool contiguous() const { return (max & (max + 1)) == 0; }
    std::uint8_t operator()(std::uint32_t pixel) const {
        if (!max)
            return 0;
        std::uint64_t v = (pixel & mask) >> shift;
        return std::uint8_t((v * 255 + max / 2) / max);
    }
};

struct Header {
    std::int64_t width = 0, height = 0; // height > 0 after the top-down flag is taken
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = kRgb;
    std::size_t paletteAt = 0, paletteEntries = 0, paletteEntrySize = 4;
    std::uint32_t masks[3] = {0, 0, 0};
    std::size_t pixelsAt = 0;
};

Header readHeader(std::span<const std::uint8_t> d) {
    if (d.size() < 26 || d[0] != 'B' || d[1] != 'M')
        invalid();
    Header h;
    const std::uint32_t fileSize = u32(d, 2);
    if (fileSize > d.size() && fileSize != 0 && fileSize - d.size() > 4096)
        invalid(); // a claimed size far beyond the data: a broken or cut file
    h.pixelsAt = u32(d, 10);
    const std::uint32_t headerSize = u32(d, 14);
    const std::size_t infoEnd = 14 + std::size_t(headerSize);
    if (infoEnd > d.size())
        invalid();
    std::uint32_t planes = 0, sizeImage = 0, colorsUsed = 0;
    if (headerSize == 12) {
        h.width = u16(d, 18);
        h.height = u16(d, 20);
        planes = u16(d, 22);
        h.bitCount = int(u16(d, 24));
        h.paletteEntrySize = 3;
    } else if (headerSize == 16 || headerSize == 40 || headerSize == 52 || headerSize == 56 ||
               headerSize == 64 || headerSize == 108 || headerSize == 124) {
        h.width = i32(d, 18);
        const std::int32_t height = i32(d, 22);
        h.topDown = height < 0;
        h.height = h.topDown ? -std::int64_t(height) : height;
        planes = u16(d, 26);
        h.bitCount = int(u16(d, 28));
        if (headerSize >= 40) {
            h.compression = u32(d, 30);
            sizeImage = u32(d, 34);
            const std::uint32_t xDensity = u32(d, 38), yDensity = u32(d, 42);
            colorsUsed = u32(d, 46);
            // Densities a thousand times apart describe no real device.
            if (xDensity && yDensity &&
                (std::uint64_t(xDensity) > 1000ull * yDensity ||
                 std::uint64_t(yDensity) > 1000ull * xDensity))
                invalid();
        }
        if (headerSize == 64 && h.compression == 3)
            invalid(); // OS/2 Huffman 1D, not bit fields
    } else {
        invalid();
    }
    if (planes != 1 || h.width <= 0 || h.height <= 0)
        invalid();
    if (h.width * h.height > MaxPicturePixels())
        invalid();

    std::size_t afterInfo = infoEnd;
    switch (h.compression) {
    case kRgb:
        if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 16 &&
            h.bitCount != 24 && h.bitCount != 32)
            invalid();
        if (h.bitCount == 16) {
            h.masks[0] = 0x7C00, h.masks[1] = 0x03E0, h.masks[2] = 0x001F;
        } else if (h.bitCount == 32) {
            h.masks[0] = 0xFF0000, h.masks[1] = 0xFF00, h.masks[2] = 0xFF;
        }
        break;
    case kRle8:
    case kRle4:
        if (h.bitCount != (h.compression == kRle8 ? 8 : 4) || h.topDown)
            invalid();
        break;
    case kBitFields:
    case kAlphaBitFields: {
        if (h.bitCount != 16 && h.bitCount != 32)
            invalid();
        // A 40-byte header is followed by the masks; larger ones hold them.
        std::size_t masksAt = 54;
        if (headerSize == 40) {
            afterInfo += h.compression == kAlphaBitFields ? 16 : 12;
            if (afterInfo > d.size())
                invalid();
        } else if (headerSize < 52) {
            invalid();
        }
        for (int i = 0; i < 3; ++i)
            h.masks[i] = u32(d, masksAt + 4 * std::size_t(i));
        const std::uint64_t limit = h.bitCount == 16 ? 0xFFFFull : 0xFFFFFFFFull;
        std::uint32_t seen = 0;
        for (std::uint32_t m : h.masks) {
            if (!m || m > limit || (m & seen) || !Channel(m).contiguous())
                invalid();
            seen |= m;
        }
        break;
    }
    default:
        invalid();
    }

    if (h.bitCount <= 8) {
        const std::size_t full = std::size_t(1) << h.bitCount;
        if (colorsUsed > full)
            invalid();
        h.paletteEntries = colorsUsed ? colorsUsed : full;
    } else if (colorsUsed > 256) {
        invalid(); // an optional palette beside true colours; it is never used
    }
    h.paletteAt = afterInfo;
    if (h.bitCount <= 8) {
        // Some writers give fewer entries than declared; the indices are checked anyway.
        std::size_t room =
            h.pixelsAt > h.paletteAt ? (h.pixelsAt - h.paletteAt) / h.paletteEntrySize : 0;
        h.paletteEntries = std::min(h.paletteEntries, room);
        if (h.paletteEntries == 0 || h.paletteAt + h.paletteEntries * h.paletteEntrySize > d.size())
            invalid();
    }
    if (h.pixelsAt < afterInfo || h.pixelsAt >= d.size())
        invalid();
    if (sizeImage && h.compression != kRgb && sizeImage > d.size() - h.pixelsAt + 4096)
        invalid();
    if (sizeImage > d.size() && sizeImage - d.size() > 4096)
        invalid();
    return h;
}

std::vector<PaletteColor> readPalette(std::span<const std::uint8_t> d, const Header& h) {
    std::vector<PaletteColor> palette(h.paletteEntries);
    for (std::size_t i = 0; i < h.paletteEntries; ++i) {
        std::size_t at = h.paletteAt + i * h.paletteEntrySize;
        palette[i] = {d[at + 2], d[at + 1], d[at]};
    }
    return palette;
}

void putColor(std::uint8_t* dst, const PaletteColor& c) {
    dst[0] = c.blue;
    dst[1] = c.green;
    dst[2] = c.red;
}

void decodeUncompressed(std::span<const std::uint8_t> d, const Header& h,
                        const std::vector<PaletteColor>& palette, Raster& out) {
    const std::size_t stride = ((std::size_t(h.width) * std::size_t(h.bitCount) + 31) / 32) * 4;
    const std::size_t needed = stride * std::size_t(h.height);
    if (needed / stride != std::size_t(h.height) || h.pixelsAt + needed > d.size())
        invalid();
    const Channel ch[3] = {Channel(h.masks[0]), Channel(h.masks[1]), Channel(h.masks[2])};
    const int width = int(h.width);
    for (int row = 0; row < int(h.height); ++row) {
        const std::uint8_t* src = d.data() + h.pixelsAt + std::size_t(row) * stride;
        std::uint8_t* dst = out.scanLine(h.topDown ? row : int(h.height) - 1 - row);
        switch (h.bitCount) {
        case 1:
        case 4:
        case 8: {
            const int perByte = 8 / h.bitCount;
            const unsigned mask = (1u << h.bitCount) - 1;
            for (int x = 0; x < width; ++x) {
                unsigned shift = unsigned(8 - h.bitCount * (x % perByte + 1));
                unsigned index = (src[x / perByte] >> shift) & mask;
                if (index >= palette.size())
                    invalid();
                putColor(dst + 3 * x, palette[index]);
            }
            break;
        }
        case 24:
            std::memcpy(dst, src, std::size_t(width) * 3);
            break;
        case 16:
        case 32:
            for (int x = 0; x < width; ++x) {
                std::uint32_t p = h.bitCount == 16
                                      ? u16(d, std::size_t(src - d.data()) + 2 * std::size_t(x))
                                      : u32(d, std::size_t(src - d.data()) + 4 * std::size_t(x));
                dst[3 * x] = ch[2](p);
                dst[3 * x + 1] = ch[1](p);
                dst[3 * x + 2] = ch[0](p);
            }
            break;
        }
    }
}

// RLE data: pixels the data never reaches keep the first palette colour. Runs and
// deltas that leave the picture make the file invalid.
void decodeRle(std::span<const std::uint8_t> d, const Header& h,
               const std::vector<PaletteColor>& palette, Raster& out) {
    const bool four = h.compression == kRle4;
    const int width = int(h.width), height = int(h.height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            putColor(out.scanLine(y) + 3 * x, palette[0]);
    std::size_t at = h.pixelsAt;
    int x = 0, y = 0; // y counts up from the bottom row
    auto put = [&](unsigned index) {
        if (x >= width || y >= height || index >= palette.size())
            invalid();
        putColor(out.scanLine(height - 1 - y) + 3 * x, palette[index]);
        ++x;
    };
    for (;;) {
        if (at + 2 > d.size())
            invalid(); // the data ends before the end-of-bitmap code
        const unsigned count = d[at], value = d[at + 1];
        at += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i)
                put(four ? (i % 2 ? value & 15 : value >> 4) : value);
            continue;
        }
        if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            return;
        } else if (value == 2) {
            if (at + 2 > d.size())
                invalid();
            x += d[at];
            y += d[at + 1];
            at += 2;
            if (x > width || y > height)
                invalid();
        } else {
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            if (at + bytes > d.size())
                invalid();
            for (unsigned i = 0; i < value; ++i)
                put(four ? (i % 2 ? d[at + i / 2] & 15 : d[at + i / 2] >> 4) : d[at + i]);
            at += (bytes + 1) & ~std::size_t(1);
        }
    }
}

} // namespace

Raster DecodeBmp(std::span<const std::uint8_t> data, int* bitCount) {
    const Header h = readHeader(data);
    const std::vector<PaletteColor> palette =
        h.bitCount <= 8 ? readPalette(data, h) : std::vector<PaletteColor>{};
    Raster out(int(h.width), int(h.height), PixelFormat::Bgr24);
    if (h.compression == kRle8 || h.compression == kRle4)
        decodeRle(data, h, palette, out);
    else
        decodeUncompressed(data, h, palette, out);
    if (bitCount)
        *bitCount = h.bitCount;
    return out;
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
    put32(30, kRgb);
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
