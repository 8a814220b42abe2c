// Device-independent bitmaps as metafiles embed them.
#include <gtest/gtest.h>

#include "MetafileTestSupport.h"
#include "metafile/Dib.h"

namespace pictorant {
namespace {

using namespace mftest;
using metafile::decodeDib;
using metafile::decodePackedDib;
using pictorant::ByteReader;

Bytes infoHeader(std::int32_t w, std::int32_t h, int bits, std::uint32_t compression,
                 std::uint32_t used = 0, std::uint32_t size = 40) {
    Bytes b;
    b.u32(size).i32(w).i32(h).u16(1).u16(std::uint32_t(bits)).u32(compression).u32(0);
    b.u32(0).u32(0).u32(used).u32(0);
    while (b.size() < size)
        b.u8(0);
    return b;
}

QImage decode(const Bytes& info, const Bytes& bits, metafile::DibOptions options = {}) {
    return decodeDib(ByteReader(info.data), ByteReader(bits.data), options);
}

QRgb at(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

TEST(Dib, MonochromeRowsAreBottomUpWithTheirPalette) {
    Bytes info = infoHeader(10, 2, 1, 0);
    info.u32(0x00FF0000).u32(0x0000FF00); // 0 = red, 1 = green
    Bytes bits;
    bits.u8(0b10000000).u8(0b01000000).u16(0); // bottom row: x=0 and x=9 green
    bits.u8(0b00000000).u8(0b00000000).u16(0); // top row: all red
    const QImage image = decode(info, bits);
    ASSERT_EQ(image.size(), QSize(10, 2));
    EXPECT_EQ(at(image, 0, 0), 0xFF0000u);
    EXPECT_EQ(at(image, 0, 1), 0x00FF00u);
    EXPECT_EQ(at(image, 1, 1), 0xFF0000u);
    EXPECT_EQ(at(image, 9, 1), 0x00FF00u);
}

TEST(Dib, FourAndEightBitsWithShortPalettes) {
    // biClrUsed 0 promises 256 entries, but the info holds only two.
    Bytes info = infoHeader(3, 1, 8, 0);
    info.u32(0x00112233).u32(0x00445566);
    Bytes bits;
    bits.u8(1).u8(0).u8(200).u8(0);
    const QImage image = decode(info, bits);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(at(image, 0, 0), 0x445566u);
    EXPECT_EQ(at(image, 1, 0), 0x112233u);
    EXPECT_EQ(at(image, 2, 0), 0x000000u); // beyond the table

    Bytes info4 = infoHeader(3, 1, 4, 0, 2);
    info4.u32(0x000000FF).u32(0x00FFFFFF);
    Bytes bits4;
    bits4.u8(0x01).u8(0x10).u16(0);
    const QImage image4 = decode(info4, bits4);
    EXPECT_EQ(at(image4, 0, 0), 0x0000FFu);
    EXPECT_EQ(at(image4, 1, 0), 0xFFFFFFu);
    EXPECT_EQ(at(image4, 2, 0), 0xFFFFFFu);
}

TEST(Dib, SixteenBitsDefaultAndBitFields) {
    Bytes bits;
    bits.u16(0x7C00).u16(0x001F); // 5-5-5: red, blue
    const QImage image = decode(infoHeader(2, 1, 16, 0), bits);
    EXPECT_EQ(at(image, 0, 0), 0xFF0000u);
    EXPECT_EQ(at(image, 1, 0), 0x0000FFu);

    Bytes info = infoHeader(2, 1, 16, 3);
    info.u32(0xF800).u32(0x07E0).u32(0x001F); // 5-6-5 masks after a 40-byte header
    Bytes bits565;
    bits565.u16(0x07E0).u16(0xF800);
    const QImage image565 = decode(info, bits565);
    EXPECT_EQ(at(image565, 0, 0), 0x00FF00u);
    EXPECT_EQ(at(image565, 1, 0), 0xFF0000u);
}

TEST(Dib, TopDownTwentyFourAndThirtyTwoBits) {
    Bytes bits;
    bits.u8(0).u8(0).u8(255).u8(0); // row 0 (top): red, padded
    bits.u8(255).u8(0).u8(0).u8(0); // row 1: blue
    const QImage image = decode(infoHeader(1, -2, 24, 0), bits);
    EXPECT_EQ(at(image, 0, 0), 0xFF0000u);
    EXPECT_EQ(at(image, 0, 1), 0x0000FFu);

    // Version 5 header with its masks inside it, alpha kept when asked for.
    Bytes info = infoHeader(1, 1, 32, 3, 0, 124);
    const std::uint32_t masks[4] = {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF};
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k)
            info.data[40 + 4 * i + k] = std::uint8_t(masks[i] >> (8 * k));
    Bytes px;
    px.u8(0x80).u8(0x11).u8(0x22).u8(0x33); // alpha 0x80, red 0x11, green 0x22, blue 0x33
    metafile::DibOptions options;
    options.keepAlpha = true;
    const QImage v5 = decode(info, px, options);
    ASSERT_FALSE(v5.isNull());
    EXPECT_EQ(v5.pixel(0, 0), qRgba(0x11, 0x22, 0x33, 0x80));
}

TEST(Dib, CoreHeaderHasThreeByteColours) {
    Bytes info;
    info.u32(12).u16(2).u16(1).u16(1).u16(1);
    info.u8(0).u8(0).u8(255).u8(255).u8(0).u8(0); // red, blue
    Bytes bits;
    bits.u8(0b01000000).u8(0).u16(0);
    const QImage image = decode(info, bits);
    EXPECT_EQ(at(image, 0, 0), 0xFF0000u);
    EXPECT_EQ(at(image, 1, 0), 0x0000FFu);
}

TEST(Dib, RunLengthEncodings) {
    Bytes info = infoHeader(6, 2, 8, 1);
    info.u32(0x00FFFFFF).u32(0x00FF0000).u32(0x0000FF00);
    Bytes rle;
    rle.u8(3).u8(1);                         // three red
    rle.u8(0).u8(3).u8(2).u8(2).u8(1).u8(0); // absolute run of 3, padded
    rle.u8(0).u8(0);                         // end of line
    rle.u8(0).u8(2).u8(4).u8(0);             // delta: skip four pixels
    rle.u8(2).u8(2);
    rle.u8(0).u8(1); // end of bitmap
    const QImage image = decode(info, rle);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(at(image, 0, 1), 0xFF0000u); // bottom row first
    EXPECT_EQ(at(image, 3, 1), 0x00FF00u);
    EXPECT_EQ(at(image, 5, 1), 0xFF0000u);
    EXPECT_EQ(at(image, 0, 0), 0xFFFFFFu); // skipped by the delta
    EXPECT_EQ(at(image, 4, 0), 0x00FF00u);

    Bytes info4 = infoHeader(4, 1, 4, 2);
    info4.u32(0).u32(0x000000FF);
    Bytes rle4;
    rle4.u8(4).u8(0x10).u8(0).u8(1);
    const QImage image4 = decode(info4, rle4);
    EXPECT_EQ(at(image4, 0, 0), 0x0000FFu);
    EXPECT_EQ(at(image4, 1, 0), 0x000000u);
    EXPECT_EQ(at(image4, 2, 0), 0x0000FFu);

    // Runs past the row end and a delta past the bitmap stay inside it.
    Bytes wild;
    wild.u8(255).u8(1).u8(0).u8(2).u8(255).u8(255).u8(200).u8(1);
    EXPECT_FALSE(decode(info, wild).isNull());
}

TEST(Dib, BrokenOrOversizedBitmapsAreRefused) {
    Bytes few;
    few.u8(0);
    EXPECT_TRUE(decode(infoHeader(4, 4, 24, 0), few).isNull());            // bits short
    EXPECT_TRUE(decode(infoHeader(0, 4, 24, 0), few).isNull());            // no width
    EXPECT_TRUE(decode(infoHeader(4, 4, 3, 0), few).isNull());             // no such depth
    EXPECT_TRUE(decode(infoHeader(4, 4, 24, 1), few).isNull());            // RLE8 at 24 bits
    EXPECT_TRUE(decode(infoHeader(1 << 20, 1 << 20, 8, 1), few).isNull()); // pixel cap
    EXPECT_TRUE(decode(infoHeader(4, 4, 24, 0, 0, 20), few).isNull());     // header size
    Bytes truncated;
    truncated.u32(40).u32(4);
    EXPECT_TRUE(decode(truncated, few).isNull());
}

TEST(Dib, PackedBitmapFindsItsBitsAfterTheColourTable) {
    Bytes packed = infoHeader(1, 1, 8, 0, 3);
    packed.u32(0).u32(0).u32(0x00ABCDEF);
    packed.u8(2).u8(0).u8(0).u8(0);
    const QImage image = decodePackedDib(ByteReader(packed.data));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(at(image, 0, 0), 0xABCDEFu);
}

TEST(Dib, WrittenDibHasPaddedBottomUpRows) {
    Raster r(2, 2);
    r.scanLine(0)[2] = 255;     // top-left red
    r.scanLine(1)[3 + 0] = 255; // bottom-right blue
    std::vector<std::uint8_t> out;
    EXPECT_EQ(metafile::appendDib24(out, r), 16u);
    ASSERT_EQ(out.size(), 56u);
    const ByteReader all(out);
    const QImage image = decodeDib(all.sub(0, 40), all.from(40));
    EXPECT_EQ(at(image, 0, 0), 0xFF0000u);
    EXPECT_EQ(at(image, 1, 1), 0x0000FFu);
    EXPECT_EQ(at(image, 1, 0), 0x000000u);
}

} // namespace
} // namespace pictorant
