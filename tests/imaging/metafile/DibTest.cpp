// Device-independent bitmaps as metafiles embed them (the lenient side of the DIB core;
// the layouts both sides decode alike are the BMP tests').
#include <gtest/gtest.h>

#include "imaging/metafile/Dib.h"
#include "tests/imaging/metafile/MetafileTestSupport.h"

namespace pictorant {
namespace {

using namespace mftest;
using metafile::decodeDib;

Bytes info(std::int32_t w, std::int32_t h, int bits, std::uint32_t compression,
           std::uint32_t used = 0, std::uint32_t size = 40) {
    Bytes b;
    b.u32(size).i32(w).i32(h).u16(1).u16(std::uint32_t(bits)).u32(compression).u32(0);
    b.u32(0).u32(0).u32(used).u32(0);
    while (b.size() < size)
        b.u8(0);
    return b;
}

struct DibCase {
    const char* what;
    Bytes info, bits;
    std::vector<QRgb> expected; // row by row, top first; empty: refused
    bool keepAlpha = false;
};

TEST(Dib, DecodesEveryDepthAndRefusesWhatCannotBeAPicture) {
    const QVector<QRgb> logical = {qRgb(1, 2, 3), qRgba(4, 5, 6, 7)};
    Bytes v5 = info(1, 1, 32, 3, 0, 124); // masks inside the header: BGRA bytes
    const std::uint32_t masks[4] = {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF};
    for (int i = 0; i < 4; ++i)
        test::put32(v5.data, 40 + 4 * std::size_t(i), masks[i]);
    constexpr QRgb R = 0xFFFF0000, G = 0xFF00FF00;
    const DibCase cases[] = {
        {"1 bit, bottom-up, its palette",
         info(10, 2, 1, 0).u32(0xFF0000).u32(0x00FF00),
         Bytes().u8(0x80).u8(0x40).u16(0).u8(0).u8(0).u16(0),
         {R, R, R, R, R, R, R, R, R, R, G, R, R, R, R, R, R, R, R, G}},
        {"1 bit without a table: black on white",
         info(2, 1, 1, 0),
         Bytes().u8(0x40).u8(0).u16(0),
         {0xFF000000, 0xFFFFFFFF}},
        {"8 bits, a table shorter than promised: black beyond it",
         info(3, 1, 8, 0).u32(0x112233).u32(0x445566),
         Bytes().u8(1).u8(0).u8(200).u8(0),
         {0xFF445566, 0xFF112233, 0xFF000000}},
        {"4 bits, two colours used",
         info(3, 1, 4, 0, 2).u32(0xFF).u32(0xFFFFFF),
         Bytes().u8(0x01).u8(0x10).u16(0),
         {0xFF0000FF, 0xFFFFFFFF, 0xFFFFFFFF}},
        {"core header, three-byte colours",
         Bytes().u32(12).u16(2).u16(1).u16(1).u16(1).u8(0).u8(0).u8(255).u8(255).u8(0).u8(0),
         Bytes().u8(0x40).u8(0).u16(0),
         {0xFFFF0000, 0xFF0000FF}},
        {"16 bits 5-5-5: short fields spread by truncation",
         info(3, 1, 16, 0),
         Bytes().u16(0x7C00).u16(0x001F).u16(0x0C63).u16(0),
         {0xFFFF0000, 0xFF0000FF, 0xFF181818}},
        {"24 bits top-down",
         info(1, -2, 24, 0),
         Bytes().u8(0).u8(0).u8(255).u8(0).u8(255).u8(0).u8(0).u8(0),
         {0xFFFF0000, 0xFF0000FF}},
        {"32 bits: alpha dropped unless kept",
         info(1, 1, 32, 0),
         Bytes().u32(0x80112233),
         {0xFF112233}},
        {"32 bits, alpha kept", info(1, 1, 32, 0), Bytes().u32(0x80112233), {0x80112233}, true},
        {"v5 header masks, alpha kept",
         v5,
         Bytes().u8(0x80).u8(0x11).u8(0x22).u8(0x33),
         {0x80112233},
         true},
        {"RLE runs and deltas past the picture are cut",
         info(2, 1, 8, 1).u32(0xFF).u32(0xFF00),
         Bytes().u8(255).u8(1).u8(0).u8(2).u8(255).u8(255).u8(200).u8(1),
         {0xFF00FF00, 0xFF00FF00}},
        {"bits short", info(4, 4, 24, 0), Bytes().u8(0), {}},
        {"no width", info(0, 4, 24, 0), Bytes().u8(0), {}},
        {"no such depth", info(4, 4, 3, 0), Bytes().u8(0), {}},
        {"RLE8 at 24 bits", info(4, 4, 24, 1), Bytes().u8(0), {}},
        {"over the pixel cap", info(1 << 20, 1 << 20, 8, 1), Bytes().u8(0), {}},
        {"header size 20", info(4, 4, 24, 0, 0, 20), Bytes().u8(0), {}},
        {"header cut", Bytes().u32(40).u32(4), Bytes().u8(0), {}},
    };
    for (const DibCase& c : cases) {
        SCOPED_TRACE(c.what);
        metafile::DibOptions options;
        options.keepAlpha = c.keepAlpha;
        const QImage image = decodeDib(ByteReader(c.info.data), ByteReader(c.bits.data), options);
        std::vector<QRgb> got;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                got.push_back(image.pixel(x, y));
        EXPECT_EQ(got, c.expected);
    }
    // Palette indices name colours of the logical palette; alpha is kept when asked for.
    metafile::DibOptions indices;
    indices.paletteIndices = true;
    indices.logicalPalette = &logical;
    indices.keepAlpha = true;
    const Bytes table = info(3, 1, 8, 0, 3).u16(1).u16(0).u16(9);
    const QImage mapped = decodeDib(ByteReader(table.data),
                                    ByteReader(Bytes().u8(0).u8(1).u8(2).u8(0).data), indices);
    ASSERT_EQ(mapped.width(), 3);
    EXPECT_EQ(mapped.pixel(0, 0), qRgba(4, 5, 6, 7));
    EXPECT_EQ(mapped.pixel(1, 0), qRgb(1, 2, 3));
    EXPECT_EQ(mapped.pixel(2, 0), qRgb(0, 0, 0)); // beyond the palette
}

TEST(Dib, PackedAndWrittenBitmapsFindTheirBits) {
    const Bytes packed = info(1, 1, 8, 0, 3).u32(0).u32(0).u32(0xABCDEF).u8(2).u8(0).u8(0).u8(0);
    EXPECT_EQ(metafile::decodePackedDib(ByteReader(packed.data)).pixel(0, 0), 0xFFABCDEFu);

    // Written rows are padded with zeros, so the same picture always gives the same bytes
    // (their pixels are the writer's round trip's).
    Raster r(2, 2);
    r.fill(255, 255, 255);
    std::vector<std::uint8_t> out;
    EXPECT_EQ(metafile::appendDib24(out, r), 16u);
    ASSERT_EQ(out.size(), 56u);
    EXPECT_EQ(out[46] | out[47] | out[54] | out[55], 0);
}

} // namespace
} // namespace pictorant
