#include "BmpCodec.h"
#include "Picture.h"
#include "PictureError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace pictorant;
using namespace pictorant::test;

namespace {

void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}

// A BMP with a 40-byte header, the given palette and pixel data as they go in the file.
std::vector<std::uint8_t> makeBmp(int width, int height, int bits, std::uint32_t compression,
                                  const std::vector<PaletteColor>& palette,
                                  const std::vector<std::uint8_t>& pixels) {
    const std::size_t offset = 54 + 4 * palette.size();
    std::vector<std::uint8_t> b(offset, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 10, std::uint32_t(offset));
    put32(b, 14, 40);
    put32(b, 18, std::uint32_t(width));
    put32(b, 22, std::uint32_t(height));
    put16(b, 26, 1);
    put16(b, 28, std::uint32_t(bits));
    put32(b, 30, compression);
    put32(b, 34, std::uint32_t(pixels.size()));
    put32(b, 46, std::uint32_t(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i) {
        b[54 + 4 * i] = palette[i].blue;
        b[55 + 4 * i] = palette[i].green;
        b[56 + 4 * i] = palette[i].red;
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    put32(b, 2, std::uint32_t(b.size()));
    return b;
}

const std::vector<PaletteColor> kPalette = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};

int rgb(const Raster& r, int x, int y) {
    return int(pixel(r, x, y));
}

std::string bmpError(const std::vector<std::uint8_t>& bytes) {
    try {
        DecodeBmp(bytes);
    } catch (const PictureError& e) {
        return e.what();
    }
    return "loaded";
}

} // namespace

TEST(BmpWrite, RoundTripsEveryRowPadding) {
    for (int w : {1, 2, 3, 4, 5}) {
        SCOPED_TRACE(w);
        const Raster picture = syntheticPicture(w, 3, unsigned(w));
        const auto bytes = EncodeBmp(picture);
        const std::size_t stride = (std::size_t(w) * 3 + 3) / 4 * 4;
        ASSERT_EQ(bytes.size(), 54 + stride * 3);
        EXPECT_EQ(bytes[28], 24);
        EXPECT_EQ(bytes[2] | bytes[3] << 8, int(bytes.size()));
        // Rows go bottom-up: the file's first row is the raster's last.
        EXPECT_TRUE(
            std::equal(picture.scanLine(2), picture.scanLine(2) + 3 * w, bytes.begin() + 54));
        int bitCount = 0;
        EXPECT_TRUE(DecodeBmp(bytes, &bitCount) == picture);
        EXPECT_EQ(bitCount, 24);
    }
}

TEST(BmpWrite, IndexedRasterIsWrittenWithItsPalette) {
    Raster indexed(3, 2, PixelFormat::Indexed8);
    indexed.palette() = kPalette;
    const std::uint8_t px[6] = {0, 1, 2, 3, 2, 1};
    std::copy(px, px + 6, indexed.bits());
    const auto bytes = EncodeBmp(indexed);
    EXPECT_EQ(bytes[28], 8);
    int bitCount = 0;
    Raster decoded = DecodeBmp(bytes, &bitCount);
    EXPECT_EQ(bitCount, 8);
    Raster expanded;
    RenderToBitmap(indexed, expanded);
    EXPECT_TRUE(decoded == expanded);
}

TEST(BmpRead, Rle8RunsDeltasAndAbsoluteRuns) {
    // 4 x 3, bottom row first: a run, end of line; a delta; an absolute run of 3.
    const std::vector<std::uint8_t> rle = {
        3, 1, 0, 0,       // row 2 (bottom): red red red, then end of line
        0, 2, 1, 0,       // delta: one pixel right, same row (row 1 at x = 1)
        0, 3, 2, 3, 1, 0, // absolute: green blue red, padded to a word
        0, 0,             // end of line
        1, 3, 0, 1,       // row 0: one blue, end of bitmap
    };
    Raster r = DecodeBmp(makeBmp(4, 3, 8, 1, kPalette, rle));
    const int black = 0, red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF;
    const int expected[3][4] = {
        {blue, black, black, black}, {black, green, blue, red}, {red, red, red, black}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(rgb(r, x, y), expected[y][x]) << x << "," << y;
}

TEST(BmpRead, Rle4AlternatesNibbles) {
    const std::vector<std::uint8_t> rle = {5, 0x12, 0, 3, 0x31, 0x20, 0, 1};
    Raster r = DecodeBmp(makeBmp(8, 1, 4, 2, kPalette, rle));
    const int red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF;
    const int expected[8] = {red, green, red, green, red, blue, red, green};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(rgb(r, x, 0), expected[x]) << x;
}

TEST(BmpRead, SixteenBitFieldsScaleToFullRange) {
    // 5-6-5 masks after the 40-byte header; pixels white and pure red.
    auto b = makeBmp(2, 1, 16, 3, {}, {0xFF, 0xFF, 0x00, 0xF8});
    const std::vector<std::uint8_t> masks = {0x00, 0xF8, 0, 0, 0xE0, 0x07, 0, 0, 0x1F, 0, 0, 0};
    b.insert(b.begin() + 54, masks.begin(), masks.end());
    put32(b, 10, 66);
    Raster r = DecodeBmp(b);
    EXPECT_EQ(rgb(r, 0, 0), 0xFFFFFF);
    EXPECT_EQ(rgb(r, 1, 0), 0xFF0000);
}

TEST(BmpRead, OneBitRowsAndTopDown) {
    // 10 x 2, top-down: the first stored row is the top row.
    auto b =
        makeBmp(10, -2, 1, 0, {{0, 0, 0}, {255, 255, 255}}, {0xC0, 0x40, 0, 0, 0x01, 0x80, 0, 0});
    Raster r = DecodeBmp(b);
    EXPECT_EQ(rgb(r, 0, 0), 0xFFFFFF);
    EXPECT_EQ(rgb(r, 1, 0), 0xFFFFFF);
    EXPECT_EQ(rgb(r, 2, 0), 0);
    EXPECT_EQ(rgb(r, 9, 0), 0xFFFFFF);
    EXPECT_EQ(rgb(r, 7, 1), 0xFFFFFF);
    EXPECT_EQ(rgb(r, 8, 1), 0xFFFFFF);
    EXPECT_EQ(rgb(r, 9, 1), 0);
}

// Hostile headers and data: each must be refused, never read or written out of bounds.
TEST(BmpRead, BrokenFilesAreRefused) {
    const auto good8 = makeBmp(4, 2, 8, 0, kPalette, {0, 1, 2, 3, 3, 2, 1, 0});
    const auto goodRle = makeBmp(4, 1, 8, 1, kPalette, {4, 1, 0, 1});
    ASSERT_EQ(bmpError(good8), "loaded");
    ASSERT_EQ(bmpError(goodRle), "loaded");
    struct Case {
        const char* what;
        const std::vector<std::uint8_t>* base;
        std::function<void(std::vector<std::uint8_t>&)> damage;
    };
    const std::vector<Case> cases = {
        {"not BM", &good8, [](auto& b) { b[0] = 'X'; }},
        {"cut in the header", &good8, [](auto& b) { b.resize(30); }},
        {"header size 66", &good8, [](auto& b) { put32(b, 14, 66); }},
        {"header larger than the file", &good8,
         [](auto& b) {
             put32(b, 14, 124);
             b.resize(100);
         }},
        {"negative width", &good8, [](auto& b) { put32(b, 18, std::uint32_t(-4)); }},
        {"zero height", &good8, [](auto& b) { put32(b, 22, 0); }},
        {"two planes", &good8, [](auto& b) { put16(b, 26, 2); }},
        {"7 bits per pixel", &good8, [](auto& b) { put16(b, 28, 7); }},
        {"palette of 300 colours", &good8, [](auto& b) { put32(b, 46, 300); }},
        {"pixels beyond the end", &good8, [](auto& b) { put32(b, 10, 5000); }},
        {"pixels inside the header", &good8, [](auto& b) { put32(b, 10, 20); }},
        {"pixel data cut", &good8, [](auto& b) { b.resize(b.size() - 3); }},
        {"index beyond the palette", &good8,
         [](auto& b) {
             put32(b, 46, 2);
             put32(b, 10, 62);
             b.erase(b.begin() + 62, b.begin() + 70);
         }},
        {"huge picture", &good8,
         [](auto& b) {
             put32(b, 18, 100000);
             put32(b, 22, 100000);
         }},
        {"JPEG compression", &good8, [](auto& b) { put32(b, 30, 4); }},
        {"RLE8 at 4 bits", &good8,
         [](auto& b) {
             put32(b, 30, 1);
             put16(b, 28, 4);
         }},
        {"RLE run past the row", &goodRle, [](auto& b) { b[b.size() - 4] = 5; }},
        {"RLE delta out of the picture", &goodRle,
         [](auto& b) {
             b.insert(b.end() - 2, {0, 2, 9, 9});
         }},
        {"RLE without its end", &goodRle, [](auto& b) { b.resize(b.size() - 2); }},
        {"RLE absolute run cut", &goodRle,
         [](auto& b) {
             b.resize(b.size() - 4);
             b.insert(b.end(), {0, 9, 1});
         }},
        {"RLE top-down", &goodRle, [](auto& b) { put32(b, 22, std::uint32_t(-1)); }},
        {"overlapping bit fields", &good8,
         [](auto& b) {
             put16(b, 28, 16);
             put32(b, 30, 3);
             put32(b, 46, 0);
             b.resize(54);
             const std::uint8_t masks[12] = {0, 0xF8, 0, 0, 0xE0, 0xFF, 0, 0, 0x1F, 0, 0, 0};
             b.insert(b.end(), masks, masks + 12);
             put32(b, 10, 66);
             b.resize(66 + 16, 0);
         }},
    };
    for (const auto& c : cases) {
        auto bytes = *c.base;
        c.damage(bytes);
        EXPECT_EQ(bmpError(bytes), "Bitmap image is not valid") << c.what;
    }
}
