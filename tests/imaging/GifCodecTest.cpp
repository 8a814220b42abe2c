#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <set>

using namespace pictorant;
using namespace pictorant::test;

namespace {

std::string gifError(const std::vector<std::uint8_t>& bytes) {
    return pictorant::testing::errorOf<PictureError>([&] { DecodeGif(bytes); });
}

// A minimal well-formed GIF: 2 x 1 screen, one 2 x 1 image (LZW: clear, 0, 1, end).
std::vector<std::uint8_t> tinyGif() {
    return makeGif(2, 1, 2, 1, {0x44, 0x0A});
}

} // namespace

TEST(GifDecode, BrokenFilesGiveTheirMessages) {
    const struct {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> damage;
        const char* message;
    } cases[] = {
        {"not a GIF", [](auto& b) { b[0] = 'J'; }, "Invalid GIF signature"},
        {"too short for a signature", [](auto& b) { b.resize(4); }, "Invalid GIF signature"},
        {"version 88a", [](auto& b) { b[4] = '8'; }, "Unsupported GIF version"},
        {"screen cut", [](auto& b) { b.resize(10); }, "Invalid GIF data"},
        {"global table cut", [](auto& b) { b.resize(15); },
         "Invalid number of colors specified in Screen Descriptor"},
        {"local table cut", [](auto& b) { b[28] = 0x87; }, // 256 entries the file lacks
         "Invalid number of colors specified in Image Descriptor"},
        {"unknown block", [](auto& b) { b[19] = 0x99; }, "Unknown GIF block type"},
        {"screen width 0", [](auto& b) { b[6] = 0; }, "Invalid GIF data"},
        {"frame height 0", [](auto& b) { b[26] = 0; }, "Invalid GIF data"},
        {"LZW data cut", [](auto& b) { b.resize(31); }, "Invalid GIF data"},
        {"no image", [](auto& b) { b.erase(b.begin() + 19, b.end() - 1); }, "Invalid GIF data"},
    };
    for (const auto& c : cases) {
        auto bytes = tinyGif();
        c.damage(bytes);
        EXPECT_EQ(gifError(bytes), c.message) << c.what;
    }
    auto noTrailer = tinyGif(); // a missing trailer after an image is accepted
    noTrailer.pop_back();
    const GifImage gif = DecodeGif(noTrailer);
    ASSERT_EQ(gif.frames.size(), 1u);
    EXPECT_EQ(gif.frames[0].pixels, (std::vector<std::uint8_t>{0, 1}));
}

// The first frame sits at its place on the logical screen; the transparent colour and
// everything outside the frame keep the white ground.
TEST(GifRender, FirstFrameAtItsPlaceWithTransparencyOnWhite) {
    // A 2 x 2 frame at 1,1 in the global colours, index 1 transparent.
    Picture picture =
        gifPicture(4, 3, {{255, 0, 0}, {0, 0, 255}}, {1, 1, 2, 2, {}, false, 1, {0, 1, 1, 0}});
    picture.setGif(DecodeGif(EncodeGif(picture.gif()))); // through the file form and back
    const Raster r = rendered(picture);
    const std::uint32_t W = 0xFFFFFF, R = 0xFF0000;
    const std::uint32_t expected[3][4] = {{W, W, W, W}, {W, R, W, W}, {W, W, R, W}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixel(r, x, y), expected[y][x]) << x << "," << y;
}

// The GIF path: JPEG at 100, the 236-colour quantised decode, the table optimised.
TEST(GifWrite, DecodesToTheColoursOfDjpegColors236OfTheQuality100Jpeg) {
    SKIP_WITHOUT("djpeg");
    TempDir dir;
    const Raster picture = syntheticPicture(61, 47, 7);
    writeBytes((dir / "q100.jpg"), EncodeJpeg(picture, 100));
    Raster expected;
    ASSERT_TRUE(djpeg(dir / "q100.jpg", "-colors 236", expected));

    OutputObjects outputs;
    SavePicture(outputs, picture, "GIF", (dir / "out.gif"), 90);
    const auto bytes = readBytes((dir / "out.gif"));
    const Picture written = LoadPicture((dir / "out.gif"));
    EXPECT_TRUE(rendered(written) == expected);

    // GIF87a with a sorted global table, no extension block before the image and no
    // local table; at most 236 colours, each once (their order is the optimiser's).
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 6), "GIF87a");
    EXPECT_EQ(bytes.at(10) & 0x88, 0x88);
    const std::size_t descriptor = 13 + 3 * (std::size_t(2) << (bytes[10] & 7));
    EXPECT_EQ(bytes.at(descriptor), 0x2C);
    EXPECT_EQ(bytes.at(descriptor + 9) & 0x80, 0);
    const GifImage& gif = written.gif();
    EXPECT_EQ(gif.frames[0].transparentIndex, -1);
    std::set<std::uint8_t> used(gif.frames[0].pixels.begin(), gif.frames[0].pixels.end());
    EXPECT_LE(used.size(), 236u);
    EXPECT_EQ(*used.rbegin() + 1u, used.size()); // no unused entry in between
    for (std::size_t i = 0; i < used.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_FALSE(gif.globalColors[i] == gif.globalColors[j]);
}

TEST(GifWrite, TableOptimisationMergesDropsAndSorts) {
    // Entries 1 and 3 are the same colour; entry 2 is never used.
    const GifImage gif = GifFromIndexed(indexedRaster(
        5, 1, {{10, 10, 10}, {20, 20, 20}, {30, 30, 30}, {20, 20, 20}}, {0, 1, 3, 3, 0}));
    ASSERT_EQ(gif.globalColors.size(), 2u);
    EXPECT_EQ(gif.globalColors[0], (PaletteColor{20, 20, 20})); // 3 uses
    EXPECT_EQ(gif.globalColors[1], (PaletteColor{10, 10, 10})); // 2 uses
    EXPECT_EQ(gif.frames[0].pixels, (std::vector<std::uint8_t>{1, 0, 0, 0, 1}));
}
