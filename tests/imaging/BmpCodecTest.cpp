// BMP files, read strictly and written at 24 or 8 bits.
#include "imaging/BmpCodec.h"
#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace pictorant;
using namespace pictorant::test;

namespace {

void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}

const std::vector<PaletteColor> kPalette = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
constexpr std::uint32_t K = 0, R = 0xFF0000, G = 0x00FF00, B = 0x0000FF, W = 0xFFFFFF;

std::string bmpError(const std::vector<std::uint8_t>& bytes) {
    return pictorant::testing::errorOf<PictureError>([&] { DecodeBmp(bytes); });
}

} // namespace

TEST(BmpWrite, RoundTripsEveryRowPaddingAndPalette) {
    for (int w : {1, 2, 3, 4, 5}) {
        SCOPED_TRACE(w);
        const Raster picture = syntheticPicture(w, 3, unsigned(w));
        const auto bytes = EncodeBmp(picture);
        ASSERT_EQ(bytes.size(), 54 + (std::size_t(w) * 3 + 3) / 4 * 4 * 3);
        EXPECT_EQ(bytes[2] | bytes[3] << 8, int(bytes.size()));
        // Rows go bottom-up: the file's first row is the raster's last.
        EXPECT_TRUE(
            std::equal(picture.scanLine(2), picture.scanLine(2) + 3 * w, bytes.begin() + 54));
        int bitCount = 0;
        EXPECT_TRUE(DecodeBmp(bytes, &bitCount) == picture);
        EXPECT_EQ(bitCount, 24);
    }
    const Raster indexed = indexedRaster(3, 2, kPalette, {0, 1, 2, 3, 2, 1});
    int bitCount = 0;
    EXPECT_TRUE(DecodeBmp(EncodeBmp(indexed), &bitCount) == rendered(indexed));
    EXPECT_EQ(bitCount, 8);
}

TEST(BmpRead, EveryLayoutGivesItsPixels) {
    const struct {
        const char* what;
        std::vector<std::uint8_t> bytes;
        int width;
        std::vector<std::uint32_t> expected; // top row first
    } cases[] = {
        // A run, end of line; a delta one right; an absolute run of 3; one blue, the end.
        {"RLE8",
         makeBmp(4, 3, 8, 1, kPalette,
                 {3, 1, 0, 0, 0, 2, 1, 0, 0, 3, 2, 3, 1, 0, 0, 0, 1, 3, 0, 1}),
         4,
         {B, K, K, K, K, G, B, R, R, R, R, K}},
        {"RLE4 alternates nibbles",
         makeBmp(8, 1, 4, 2, kPalette, {5, 0x12, 0, 3, 0x31, 0x20, 0, 1}),
         8,
         {R, G, R, G, R, B, R, G}},
        {"1 bit, top-down",
         makeBmp(10, -2, 1, 0, {{0, 0, 0}, {255, 255, 255}}, {0xC0, 0x40, 0, 0, 0x01, 0x80, 0, 0}),
         10,
         {W, W, K, K, K, K, K, K, K, W, K, K, K, K, K, K, K, W, W, K}},
        // 5-6-5 masks after the header: white, red, and 3/31 of each rounded to 25.
        {"16-bit fields scale to the nearest level",
         makeBmp(3, 1, 16, 3, {}, {0xFF, 0xFF, 0x00, 0xF8, 0x63, 0x18, 0, 0},
                 {0xF800, 0x07E0, 0x001F}),
         3,
         {W, R, 0x190C19}},
        {"16 bits, 5-5-5 by default",
         makeBmp(2, 1, 16, 0, {}, {0x00, 0x7C, 0x63, 0x0C}),
         2,
         {R, 0x191919}},
        {"32 bits, alpha byte ignored",
         makeBmp(1, 1, 32, 0, {}, {0x33, 0x22, 0x11, 0x80}),
         1,
         {0x112233}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Raster r = DecodeBmp(c.bytes);
        std::vector<std::uint32_t> got;
        for (int y = 0; y < r.height(); ++y)
            for (int x = 0; x < r.width(); ++x)
                got.push_back(pixel(r, x, y));
        EXPECT_EQ(r.width(), c.width);
        EXPECT_EQ(got, c.expected);
    }
}

// Hostile headers and data: each must be refused, never read or written out of bounds.
TEST(BmpRead, BrokenFilesAreRefused) {
    const auto good8 = makeBmp(4, 2, 8, 0, kPalette, {0, 1, 2, 3, 3, 2, 1, 0});
    const auto goodRle = makeBmp(4, 1, 8, 1, kPalette, {4, 1, 0, 1});
    const auto good16 = makeBmp(2, 1, 16, 3, {}, {0, 0, 0, 0}, {0xF800, 0x07E0, 0x001F});
    for (const auto* good : {&good8, &goodRle, &good16})
        ASSERT_EQ(bmpError(*good), "loaded");
    using Damage = std::function<void(std::vector<std::uint8_t>&)>;
    const std::tuple<const char*, const std::vector<std::uint8_t>*, Damage> cases[] = {
        {"not BM", &good8, [](auto& b) { b[0] = 'X'; }},
        {"cut in the header", &good8, [](auto& b) { b.resize(30); }},
        {"file size far beyond the data", &good8, [](auto& b) { put32(b, 2, 9000); }},
        {"header size 66", &good8, [](auto& b) { put32(b, 14, 66); }},
        {"header larger than the file", &good8, [](auto& b) { put32(b, 14, 124), b.resize(100); }},
        {"negative width", &good8, [](auto& b) { put32(b, 18, std::uint32_t(-4)); }},
        {"zero height", &good8, [](auto& b) { put32(b, 22, 0); }},
        {"two planes", &good8, [](auto& b) { put16(b, 26, 2); }},
        {"7 bits per pixel", &good8, [](auto& b) { put16(b, 28, 7); }},
        {"densities 1 : 5000", &good8, [](auto& b) { put32(b, 38, 1), put32(b, 42, 5000); }},
        {"palette of 300 colours", &good8, [](auto& b) { put32(b, 46, 300); }},
        {"pixels beyond the end", &good8, [](auto& b) { put32(b, 10, 5000); }},
        {"pixels inside the header", &good8, [](auto& b) { put32(b, 10, 20); }},
        {"pixel data cut", &good8, [](auto& b) { b.resize(b.size() - 3); }},
        {"image size far beyond the data", &good8, [](auto& b) { put32(b, 34, 9000); }},
        {"index beyond the palette", &good8,
         [](auto& b) {
             put32(b, 46, 2), put32(b, 10, 62), b.erase(b.begin() + 62, b.begin() + 70);
         }},
        {"huge picture", &good8, [](auto& b) { put32(b, 18, 100000), put32(b, 22, 100000); }},
        {"JPEG compression", &good8, [](auto& b) { put32(b, 30, 4); }},
        {"RLE8 at 4 bits", &good8, [](auto& b) { put32(b, 30, 1), put16(b, 28, 4); }},
        {"RLE image size beyond the data", &goodRle, [](auto& b) { put32(b, 34, 5000); }},
        {"RLE run past the row", &goodRle, [](auto& b) { b[b.size() - 4] = 5; }},
        {"RLE delta out of the picture", &goodRle,
         [](auto& b) {
             b.insert(b.end() - 2, {0, 2, 9, 9});
         }},
        {"RLE without its end", &goodRle, [](auto& b) { b.resize(b.size() - 2); }},
        {"RLE absolute run cut", &goodRle,
         [](auto& b) {
             b.resize(b.size() - 4), b.insert(b.end(), {0, 9, 1});
         }},
        {"RLE top-down", &goodRle, [](auto& b) { put32(b, 22, std::uint32_t(-1)); }},
        {"truecolour with a 300-colour palette", &good16, [](auto& b) { put32(b, 46, 300); }},
        {"overlapping bit fields", &good16, [](auto& b) { put32(b, 58, 0xFFE0); }},
        {"a bit field with a hole", &good16, [](auto& b) { put32(b, 62, 0x15); }},
        {"a bit field outside 16 bits", &good16, [](auto& b) { put32(b, 54, 0x1F0000); }},
        {"a bit field of nothing", &good16, [](auto& b) { put32(b, 62, 0); }},
        {"bit fields of a 64-byte OS/2 header", &good16, [](auto& b) { put32(b, 14, 64); }},
        {"masks cut off", &good16, [](auto& b) { put32(b, 10, 62), b.resize(64); }},
    };
    for (const auto& [what, base, damage] : cases) {
        auto bytes = *base;
        damage(bytes);
        EXPECT_EQ(bmpError(bytes), "Bitmap image is not valid") << what;
    }
}
