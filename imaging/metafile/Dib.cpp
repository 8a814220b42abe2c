#include "Dib.h"

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <bit>

namespace pictorant::metafile {

namespace {

constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::uint32_t BI_JPEG = 4;
constexpr std::uint32_t BI_PNG = 5;
constexpr std::uint32_t BI_ALPHABITFIELDS = 6;

struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
    std::uint32_t value(std::uint32_t pixel) const {
        if (!mask)
            return 0;
        const std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8)
            return v >> (bits - 8);
        // Spread a short field over 0..255 so that its maximum becomes white.
        return std::uint32_t(v * 255u / ((1u << bits) - 1));
    }
};

Channel channelFor(std::uint32_t mask) {
    Channel c;
    c.mask = mask;
    if (mask) {
        c.shift = std::countr_zero(mask);
        c.bits = std::min(std::popcount(mask >> c.shift), 31);
        c.bits = std::max(c.bits, 1);
    }
    return c;
}

QVector<QRgb> readColorTable(const ByteReader& info, const DibHeader& h,
                             const DibOptions& options) {
    QVector<QRgb> table;
    if (h.bitCount > 8)
        return table;
    const std::uint64_t wanted = std::uint64_t(1) << h.bitCount;
    table.fill(qRgb(0, 0, 0), int(wanted));
    // Short tables are common: take what the info holds and leave the rest black.
    const std::uint64_t present = std::min<std::uint64_t>(
        h.colorCount, (info.size() > h.colorTableOffset
                           ? (info.size() - h.colorTableOffset) / std::uint64_t(h.colorEntrySize)
                           : 0));
    for (std::uint64_t i = 0; i < std::min(present, wanted); ++i) {
        const std::uint64_t at = h.colorTableOffset + i * std::uint64_t(h.colorEntrySize);
        if (options.paletteIndices) {
            const std::uint16_t index = info.u16(at);
            const QVector<QRgb>* pal = options.logicalPalette;
            table[int(i)] = pal && index < pal->size() ? (*pal)[index] : qRgb(0, 0, 0);
        } else {
            table[int(i)] = qRgb(info.u8(at + 2), info.u8(at + 1), info.u8(at));
        }
    }
    // A monochrome bitmap with no table at all is black on white.
    if (present == 0 && h.bitCount == 1)
        table[1] = qRgb(255, 255, 255);
    return table;
}

// RLE runs write palette indices into a top-down index buffer; every write is checked
// against it, and the walk ends when the data or the buffer run out.
bool decodeRle(const ByteReader& bits, const DibHeader& h, std::vector<std::uint8_t>& indices) {
    const std::int64_t w = h.width, hgt = h.height;
    indices.assign(std::size_t(w * hgt), 0);
    std::int64_t x = 0, y = 0; // y counts rows from the bottom
    std::uint64_t p = 0;
    const bool four = h.compression == BI_RLE4;
    auto put = [&](std::uint8_t index) {
        if (x < w && y < hgt)
            indices[std::size_t((hgt - 1 - y) * w + x)] = index;
        ++x;
    };
    while (p + 1 < bits.size() && y < hgt) {
        const std::uint8_t count = bits.u8(p), value = bits.u8(p + 1);
        p += 2;
        if (count > 0) {
            for (int i = 0; i < count && x < w; ++i)
                put(four ? (i & 1 ? value & 0x0F : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            if (p + 1 >= bits.size())
                break;
            x += bits.u8(p);
            y += bits.u8(p + 1);
            p += 2;
        } else { // absolute run
            const int n = value;
            const std::uint64_t bytes = four ? (std::uint64_t(n) + 1) / 2 : std::uint64_t(n);
            if (!bits.has(p, bytes))
                break;
            for (int i = 0; i < n; ++i) {
                const std::uint8_t b =
                    bits.u8(p + (four ? std::uint64_t(i) / 2 : std::uint64_t(i)));
                if (x >= w)
                    break;
                put(four ? (i & 1 ? b & 0x0F : b >> 4) : b);
            }
            p += (bytes + 1) & ~std::uint64_t(1); // runs are word aligned
        }
    }
    return true;
}

QImage decodeEmbedded(const ByteReader& bits) {
    QByteArray data(reinterpret_cast<const char*>(bits.data()), qsizetype(bits.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || std::int64_t(size.width()) * size.height() > kMaxDibPixels)
        return {};
    QImage image = reader.read();
    if (image.isNull())
        return {};
    return image.convertToFormat(QImage::Format_ARGB32);
}

} // namespace

bool readDibHeader(const ByteReader& info, DibHeader& h, bool paletteIndices) {
    if (!info.has(0, 4))
        return false;
    h.headerSize = info.u32(0);
    if (h.headerSize == 12) {
        if (!info.has(0, 12))
            return false;
        h.width = info.u16(4);
        h.height = info.u16(6);
        h.bitCount = info.u16(10);
        h.compression = BI_RGB;
        h.colorEntrySize = 3;
        h.colorTableOffset = 12;
        h.colorCount = h.bitCount <= 8 ? (1u << h.bitCount) : 0;
    } else if (h.headerSize >= 40 && h.headerSize <= 4096) {
        if (!info.has(0, 40))
            return false;
        h.width = info.i32(4);
        const std::int64_t height = info.i32(8);
        h.topDown = height < 0;
        h.height = height < 0 ? -height : height;
        h.bitCount = info.u16(14);
        h.compression = info.u32(16);
        const std::uint32_t used = info.u32(32);
        h.colorTableOffset = h.headerSize;
        if (h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS) {
            const int n = h.compression == BI_ALPHABITFIELDS ? 4 : 3;
            if (h.headerSize == 40)
                h.colorTableOffset += 4 * n; // masks follow a 40-byte header
            for (int i = 0; i < 4; ++i)
                if ((i < n || h.headerSize >= 56) && info.has(40 + 4 * i, 4))
                    h.masks[i] = info.u32(40 + 4 * i);
        } else if (h.headerSize >= 56) {
            h.masks[3] = info.u32(52);
        }
        if (h.bitCount <= 8)
            h.colorCount =
                used ? std::min<std::uint32_t>(used, 1u << h.bitCount) : (1u << h.bitCount);
        else
            h.colorCount = 0;
        h.colorEntrySize = 4;
    } else {
        return false;
    }
    if (paletteIndices)
        h.colorEntrySize = 2;
    if (h.width <= 0 || h.height <= 0 || h.width * h.height > kMaxDibPixels)
        return false;
    switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    case 0:
        return h.compression == BI_JPEG || h.compression == BI_PNG;
    default:
        return false;
    }
    if (h.compression == BI_RLE8 && h.bitCount != 8)
        return false;
    if (h.compression == BI_RLE4 && h.bitCount != 4)
        return false;
    if ((h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS) && h.bitCount != 16 &&
        h.bitCount != 32)
        return false;
    return h.compression <= BI_ALPHABITFIELDS;
}

QImage decodeDib(const ByteReader& info, const ByteReader& bits, const DibOptions& options) {
    DibHeader h;
    try {
        if (!readDibHeader(info, h, options.paletteIndices))
            return {};
        if (h.compression == BI_JPEG || h.compression == BI_PNG)
            return decodeEmbedded(bits);
        const QVector<QRgb> table = readColorTable(info, h, options);
        const int w = int(h.width), hgt = int(h.height);
        QImage image(w, hgt, options.keepAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (image.isNull())
            return {};

        if (h.compression == BI_RLE4 || h.compression == BI_RLE8) {
            std::vector<std::uint8_t> indices;
            decodeRle(bits, h, indices);
            for (int y = 0; y < hgt; ++y) {
                QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < w; ++x)
                    out[x] = table[indices[std::size_t(y) * w + x] % table.size()] | 0xFF000000u;
            }
            return image;
        }

        const std::uint64_t stride = ((std::uint64_t(w) * h.bitCount + 31) / 32) * 4;
        if (!bits.has(0, stride * std::uint64_t(hgt)))
            return {};
        Channel r, g, b, a;
        if (h.compression == BI_BITFIELDS || h.compression == BI_ALPHABITFIELDS) {
            r = channelFor(h.masks[0]);
            g = channelFor(h.masks[1]);
            b = channelFor(h.masks[2]);
            a = channelFor(h.masks[3]);
        } else if (h.bitCount == 16) {
            r = channelFor(0x7C00);
            g = channelFor(0x03E0);
            b = channelFor(0x001F);
        } else if (h.bitCount == 32) {
            r = channelFor(0x00FF0000);
            g = channelFor(0x0000FF00);
            b = channelFor(0x000000FF);
            a = channelFor(0xFF000000);
        }
        const std::uint8_t* base = bits.data();
        for (int y = 0; y < hgt; ++y) {
            const int row = h.topDown ? y : hgt - 1 - y;
            const std::uint8_t* in = base + stride * std::uint64_t(row);
            QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x) {
                QRgb c;
                switch (h.bitCount) {
                case 1:
                    c = table[(in[x >> 3] >> (7 - (x & 7))) & 1];
                    break;
                case 4:
                    c = table[(in[x >> 1] >> (x & 1 ? 0 : 4)) & 0x0F];
                    break;
                case 8:
                    c = table[in[x]];
                    break;
                case 24:
                    c = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
                    break;
                default: {
                    const std::uint32_t px = h.bitCount == 16
                                                 ? std::uint32_t(in[2 * x] | in[2 * x + 1] << 8)
                                                 : std::uint32_t(in[4 * x]) |
                                                       std::uint32_t(in[4 * x + 1]) << 8 |
                                                       std::uint32_t(in[4 * x + 2]) << 16 |
                                                       std::uint32_t(in[4 * x + 3]) << 24;
                    const std::uint32_t alpha = options.keepAlpha && a.mask ? a.value(px) : 255;
                    c = qRgba(int(r.value(px)), int(g.value(px)), int(b.value(px)), int(alpha));
                }
                }
                out[x] = options.keepAlpha ? c : (c | 0xFF000000u);
            }
        }
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
