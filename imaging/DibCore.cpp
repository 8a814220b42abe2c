#include "imaging/DibCore.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "imaging/PictureError.h"

namespace pictorant {
namespace {

[[noreturn]] void invalid() {
    throw PictureError("Bitmap image is not valid");
}

constexpr std::uint32_t kOpaque = 0xFF000000u;

bool isBitFields(std::uint32_t compression) {
    return compression == kDibBitFields || compression == kDibAlphaBitFields;
}

// One colour channel of a bit-field pixel, scaled to 0..255. Strict mode rounds to the
// nearest level; Lenient mode keeps the top eight bits of a wide field and spreads a
// short one by truncation, as metafile bitmaps have always been drawn.
class Channel {
public:
    Channel(std::uint32_t mask, DibMode mode) : mask_(mask), rounded_(mode == DibMode::Strict) {
        if (mask) {
            shift_ = std::countr_zero(mask);
            bits_ = std::clamp(std::popcount(mask >> shift_), 1, 31);
        }
    }
    bool contiguous() const {
        const std::uint32_t max = mask_ >> shift_;
        return (max & (max + 1)) == 0;
    }
    // Not masked to a byte: a Lenient mask with holes can overflow, and the caller keeps
    // the low byte.
    std::uint32_t operator()(std::uint32_t pixel) const {
        if (!mask_)
            return 0;
        const std::uint32_t v = (pixel & mask_) >> shift_;
        if (rounded_) {
            const std::uint32_t max = mask_ >> shift_;
            return std::uint32_t((std::uint64_t(v) * 255 + max / 2) / max);
        }
        if (bits_ >= 8)
            return v >> (bits_ - 8);
        return v * 255u / ((1u << bits_) - 1);
    }

private:
    std::uint32_t mask_ = 0;
    int shift_ = 0;
    int bits_ = 0;
    bool rounded_ = false;
};

// Top-down rows of 3-byte (blue, green, red) or 4-byte (0xAARRGGBB) pixels.
struct Pixels {
    std::uint8_t* first = nullptr;
    std::size_t bytesPerLine = 0;
    int bytesPerPixel = 3;

    std::uint8_t* row(std::int64_t y) const { return first + std::size_t(y) * bytesPerLine; }
    void set(std::uint8_t* row, std::int64_t x, std::uint32_t argb) const {
        if (bytesPerPixel == 4) {
            std::memcpy(row + 4 * x, &argb, 4);
        } else {
            row[3 * x] = std::uint8_t(argb);
            row[3 * x + 1] = std::uint8_t(argb >> 8);
            row[3 * x + 2] = std::uint8_t(argb >> 16);
        }
    }
};

// Strict mode takes the entries that fit between the table and `end` and needs at least
// one; Lenient mode pads a short table with black to the full 2^bits entries, so no
// pixel index can miss it.
std::vector<std::uint32_t> readColorTable(const ByteReader& info, const DibHeader& h,
                                          std::uint64_t end, DibMode mode,
                                          const DibColours& colours) {
    std::vector<std::uint32_t> table;
    if (h.bitCount > 8)
        return table;
    const std::uint64_t room =
        end > h.colorTableOffset ? (end - h.colorTableOffset) / std::uint64_t(h.colorEntrySize) : 0;
    const std::uint64_t present = std::min(h.colorCount, room);
    if (mode == DibMode::Strict && present == 0)
        invalid();
    table.reserve(std::size_t(std::uint64_t(1) << h.bitCount));
    for (std::uint64_t i = 0; i < present; ++i) {
        const std::uint64_t at = h.colorTableOffset + i * std::uint64_t(h.colorEntrySize);
        if (colours.paletteIndices) {
            const std::uint16_t index = info.u16(at);
            const auto& logical = colours.logicalPalette;
            table.push_back(index < logical.size() ? logical[index] : kOpaque);
        } else {
            table.push_back(kOpaque | std::uint32_t(info.u8(at + 2)) << 16 |
                            std::uint32_t(info.u8(at + 1)) << 8 | info.u8(at));
        }
    }
    if (mode == DibMode::Lenient) {
        table.resize(std::size_t(1) << h.bitCount, kOpaque);
        // A monochrome bitmap with no table at all is black on white.
        if (present == 0 && h.bitCount == 1)
            table[1] = 0xFFFFFFFFu;
    }
    return table;
}

std::uint32_t tableColour(const std::vector<std::uint32_t>& table, unsigned index) {
    if (index >= table.size())
        invalid(); // only a Strict table can be short
    return table[index];
}

// Uncompressed rows, bit fields included. False when the data is shorter than the rows.
bool decodeRows(const ByteReader& bits, const DibHeader& h, const std::vector<std::uint32_t>& table,
                DibMode mode, bool keepAlpha, const Pixels& out) {
    const std::int64_t width = h.width, height = h.height;
    const std::uint64_t stride = ((std::uint64_t(width) * std::uint64_t(h.bitCount) + 31) / 32) * 4;
    if (!bits.has(0, stride * std::uint64_t(height)))
        return false;
    std::uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
    if (!isBitFields(h.compression)) {
        const std::uint32_t none[4] = {0, 0, 0, 0};
        const std::uint32_t five[4] = {0x7C00, 0x03E0, 0x001F, 0};
        const std::uint32_t eight[4] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000u};
        const std::uint32_t* fixed = h.bitCount == 16 ? five : h.bitCount == 32 ? eight : none;
        std::copy(fixed, fixed + 4, masks);
    }
    const Channel red(masks[0], mode), green(masks[1], mode), blue(masks[2], mode),
        alpha(masks[3], mode);
    const bool withAlpha = keepAlpha && masks[3];
    const std::uint32_t opaque = keepAlpha ? 0 : kOpaque;
    for (std::int64_t y = 0; y < height; ++y) {
        const std::uint8_t* in = bits.sub(std::uint64_t(y) * stride, stride).data();
        std::uint8_t* dst = out.row(h.topDown ? y : height - 1 - y);
        switch (h.bitCount) {
        case 1:
        case 4:
        case 8: {
            const int perByte = 8 / h.bitCount;
            const unsigned mask = (1u << h.bitCount) - 1;
            for (std::int64_t x = 0; x < width; ++x) {
                const unsigned shift = unsigned(8 - h.bitCount * (x % perByte + 1));
                const unsigned index = (in[x / perByte] >> shift) & mask;
                out.set(dst, x, tableColour(table, index) | opaque);
            }
            break;
        }
        case 24:
            if (out.bytesPerPixel == 3) {
                std::memcpy(dst, in, std::size_t(width) * 3);
                break;
            }
            for (std::int64_t x = 0; x < width; ++x)
                out.set(dst, x,
                        kOpaque | std::uint32_t(in[3 * x + 2]) << 16 |
                            std::uint32_t(in[3 * x + 1]) << 8 | in[3 * x]);
            break;
        default: // 16 and 32
            for (std::int64_t x = 0; x < width; ++x) {
                const std::uint32_t px = h.bitCount == 16
                                             ? std::uint32_t(in[2 * x] | in[2 * x + 1] << 8)
                                             : std::uint32_t(in[4 * x]) |
                                                   std::uint32_t(in[4 * x + 1]) << 8 |
                                                   std::uint32_t(in[4 * x + 2]) << 16 |
                                                   std::uint32_t(in[4 * x + 3]) << 24;
                const std::uint32_t a = withAlpha ? alpha(px) : 255;
                out.set(dst, x,
                        ((a & 0xFF) << 24 | (red(px) & 0xFF) << 16 | (green(px) & 0xFF) << 8 |
                         (blue(px) & 0xFF)) |
                            opaque);
            }
        }
    }
    return true;
}

// RLE4/RLE8 runs. Pixels the data never reaches keep the first colour. Strict mode
// refuses runs and deltas that leave the picture and data that ends before the
// end-of-bitmap code; Lenient mode clips the runs and stops where the data does.
void decodeRle(const ByteReader& bits, const DibHeader& h, const std::vector<std::uint32_t>& table,
               DibMode mode, const Pixels& out) {
    const bool strict = mode == DibMode::Strict;
    const bool four = h.compression == kDibRle4;
    const std::int64_t width = h.width, height = h.height;
    for (std::int64_t y = 0; y < height; ++y)
        for (std::int64_t x = 0; x < width; ++x)
            out.set(out.row(y), x, table[0] | kOpaque);
    std::uint64_t at = 0;
    std::int64_t x = 0, y = 0; // y counts up from the bottom row
    auto put = [&](unsigned index) {
        if (x >= width || y >= height)
            invalid();
        out.set(out.row(height - 1 - y), x, tableColour(table, index) | kOpaque);
        ++x;
    };
    for (;;) {
        if (!strict && y >= height)
            return;
        if (!bits.has(at, 2)) {
            if (strict)
                invalid(); // the data ends before the end-of-bitmap code
            return;
        }
        const unsigned count = bits.u8(at), value = bits.u8(at + 1);
        at += 2;
        if (count > 0) {
            for (unsigned i = 0; i < count && (strict || x < width); ++i)
                put(four ? (i % 2 ? value & 15 : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return;
        } else if (value == 2) { // delta
            if (!bits.has(at, 2)) {
                if (strict)
                    invalid();
                return;
            }
            x += bits.u8(at);
            y += bits.u8(at + 1);
            at += 2;
            if (strict && (x > width || y > height))
                invalid();
        } else { // absolute run, word aligned
            const std::uint64_t bytes = four ? (value + 1) / 2 : value;
            if (!bits.has(at, bytes)) {
                if (strict)
                    invalid();
                return;
            }
            for (unsigned i = 0; i < value && (strict || x < width); ++i) {
                const std::uint8_t b = bits.u8(at + (four ? i / 2 : i));
                put(four ? (i % 2 ? b & 15 : b >> 4) : b);
            }
            at += (bytes + 1) & ~std::uint64_t(1);
        }
    }
}

bool validBitCount(int bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

// Strict mode's bit-field masks: one run of bits each, inside the pixel, not overlapping.
bool masksSound(const DibHeader& h) {
    const std::uint64_t limit = h.bitCount == 16 ? 0xFFFFull : 0xFFFFFFFFull;
    std::uint32_t seen = 0;
    for (int i = 0; i < 3; ++i) {
        const std::uint32_t m = h.masks[i];
        if (!m || m > limit || (m & seen) || !Channel(m, DibMode::Strict).contiguous())
            return false;
        seen |= m;
    }
    return true;
}

} // namespace

bool readDibHeader(const ByteReader& info, DibHeader& h, DibMode mode, std::int64_t maxPixels,
                   bool paletteIndices) {
    const bool strict = mode == DibMode::Strict;
    if (!info.has(0, 4))
        return false;
    const std::uint32_t size = h.headerSize = info.u32(0);
    if (strict && !info.has(0, size))
        return false;
    std::uint32_t planes = 1, colorsUsed = 0;
    if (size == 12) {
        if (!info.has(0, 12))
            return false;
        h.width = info.u16(4);
        h.height = info.u16(6);
        planes = info.u16(8);
        h.bitCount = info.u16(10);
        h.colorEntrySize = 3;
    } else if (strict ? (size == 16 || size == 40 || size == 52 || size == 56 || size == 64 ||
                         size == 108 || size == 124)
                      : (size >= 40 && size <= 4096)) {
        if (!info.has(0, std::min<std::uint32_t>(size, 40)))
            return false;
        h.width = info.i32(4);
        const std::int64_t height = info.i32(8);
        h.topDown = height < 0;
        h.height = h.topDown ? -height : height;
        planes = info.u16(12);
        h.bitCount = info.u16(14);
        if (size >= 40) {
            h.compression = info.u32(16);
            h.sizeImage = info.u32(20);
            colorsUsed = info.u32(32);
            // Densities a thousand times apart describe no real device.
            const std::uint64_t xDensity = info.u32(24), yDensity = info.u32(28);
            if (strict && xDensity && yDensity &&
                (xDensity > 1000 * yDensity || yDensity > 1000 * xDensity))
                return false;
        }
        if (strict && size == 64 && h.compression == kDibBitFields)
            return false; // OS/2 Huffman 1D, not bit fields
    } else {
        return false;
    }
    if (paletteIndices)
        h.colorEntrySize = 2;

    // A 40-byte header is followed by the masks; larger ones hold them.
    h.colorTableOffset = size;
    if (isBitFields(h.compression)) {
        const int n = h.compression == kDibAlphaBitFields ? 4 : 3;
        if (size == 40)
            h.colorTableOffset += 4 * std::uint64_t(n);
        for (int i = 0; i < 4; ++i)
            if ((i < n || size >= 56) && info.has(40 + 4 * std::uint64_t(i), 4))
                h.masks[i] = info.u32(40 + 4 * std::uint64_t(i));
    } else if (size >= 56) {
        h.masks[3] = info.u32(52);
    }

    if (h.bitCount <= 8) {
        const std::uint64_t full = std::uint64_t(1) << h.bitCount;
        if (strict && colorsUsed > full)
            return false;
        h.colorCount = colorsUsed ? std::min<std::uint64_t>(colorsUsed, full) : full;
    } else if (strict && colorsUsed > 256) {
        return false; // an optional palette beside true colours; it is never used
    }

    if ((strict && planes != 1) || h.width <= 0 || h.height <= 0 || h.width * h.height > maxPixels)
        return false;
    switch (h.compression) {
    case kDibRgb:
        return validBitCount(h.bitCount);
    case kDibRle8:
    case kDibRle4:
        return h.bitCount == (h.compression == kDibRle8 ? 8 : 4) && !(strict && h.topDown);
    case kDibBitFields:
    case kDibAlphaBitFields:
        if (h.bitCount != 16 && h.bitCount != 32)
            return false;
        return !strict ||
               ((size == 40 || size >= 52) && info.has(0, h.colorTableOffset) && masksSound(h));
    case kDibJpeg:
    case kDibPng:
        return !strict && (h.bitCount == 0 || validBitCount(h.bitCount));
    default:
        return false;
    }
}

bool decodeDibPixels(const ByteReader& info, const DibHeader& header, const ByteReader& bits,
                     const DibColours& colours, DibRows rows) {
    const std::vector<std::uint32_t> table =
        readColorTable(info, header, info.size(), DibMode::Lenient, colours);
    const Pixels out{rows.first, rows.bytesPerLine, 4};
    if (header.compression == kDibRle8 || header.compression == kDibRle4) {
        decodeRle(bits, header, table, DibMode::Lenient, out);
        return true;
    }
    return decodeRows(bits, header, table, DibMode::Lenient, colours.keepAlpha, out);
}

Raster decodeBmpFile(std::span<const std::uint8_t> data, std::int64_t maxPixels, int* bitCount) {
    try {
        const ByteReader file(data);
        if (data.size() < 26 || file.u8(0) != 'B' || file.u8(1) != 'M')
            invalid();
        const std::uint32_t fileSize = file.u32(2);
        if (fileSize > data.size() && fileSize - data.size() > 4096)
            invalid(); // a claimed size far beyond the data: a broken or cut file
        const std::uint64_t pixelsAt = file.u32(10);
        const ByteReader info = file.from(14);
        DibHeader h;
        if (!readDibHeader(info, h, DibMode::Strict, maxPixels))
            invalid();
        if (pixelsAt < 14 + h.colorTableOffset || pixelsAt >= data.size())
            invalid();
        if (h.sizeImage && h.compression != kDibRgb && h.sizeImage > data.size() - pixelsAt + 4096)
            invalid();
        if (h.sizeImage > data.size() && h.sizeImage - data.size() > 4096)
            invalid();
        // Some writers give fewer entries than declared; the indices are checked anyway.
        const std::vector<std::uint32_t> table =
            readColorTable(info, h, pixelsAt - 14, DibMode::Strict, DibColours{});
        Raster out(int(h.width), int(h.height), PixelFormat::Bgr24);
        const Pixels pixels{out.bits(), out.bytesPerLine(), 3};
        const ByteReader bits = file.from(pixelsAt);
        if (h.compression == kDibRle8 || h.compression == kDibRle4)
            decodeRle(bits, h, table, DibMode::Strict, pixels);
        else if (!decodeRows(bits, h, table, DibMode::Strict, false, pixels))
            invalid();
        if (bitCount)
            *bitCount = h.bitCount;
        return out;
    } catch (const OutOfBounds&) {
        invalid();
    }
}

} // namespace pictorant
