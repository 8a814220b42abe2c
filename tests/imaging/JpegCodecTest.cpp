#include "imaging/JpegCodec.h"
#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "tests/imaging/TestSupport.h"
#include "tests/support/PhotoMaker.h"

#include <gtest/gtest.h>

#include <array>

using namespace pictorant;
using namespace pictorant::test;

class JpegEncodeMatchesCjpeg : public ::testing::TestWithParam<std::tuple<int, int, int>> {};

TEST_P(JpegEncodeMatchesCjpeg, ByteForByte) {
    SKIP_WITHOUT("cjpeg");
    const auto [w, h, quality] = GetParam();
    TempDir dir;
    const Raster picture = syntheticPicture(w, h, unsigned(w * 31 + h));
    ASSERT_TRUE(toImage(picture).save(QString::fromStdString(dir / "in.ppm"), "PPM"));
    const auto expected = runCapture("cjpeg -quality " + std::to_string(quality) + " -baseline '" +
                                     (dir / "in.ppm") + "'");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(EncodeJpeg(picture, quality), expected);
}

// Odd sizes cross the 8 and 16 pixel MCU edges; qualities span the table scaling.
INSTANTIATE_TEST_SUITE_P(Sizes, JpegEncodeMatchesCjpeg,
                         ::testing::Values(std::tuple{1, 1, 90}, std::tuple{17, 9, 90},
                                           std::tuple{64, 48, 10}, std::tuple{33, 65, 75},
                                           std::tuple{40, 30, 100}, std::tuple{200, 3, 50},
                                           std::tuple{127, 129, 25}));

TEST(JpegEncode, IndexedRasterIsEncodedThroughItsPalette) {
    const Raster indexed =
        indexedRaster(4, 2, {{255, 0, 0}, {0, 0, 255}}, {0, 1, 0, 1, 1, 0, 1, 0});
    EXPECT_EQ(EncodeJpeg(indexed, 80), EncodeJpeg(rendered(indexed), 80));
}

// Every valid colour JPEG of the suites decodes to what djpeg gives (block smoothing on,
// the default upsampling and DCT). Greyscale stays greyscale, and the 8-bit decode mode
// is quantised: at most 236 levels or colours, as djpeg -colors 236 gives.
TEST(JpegDecode, MatchesDjpegOnTheSuites) {
    SKIP_WITHOUT("djpeg");
    const std::vector<std::string> groups[3] = {
        {"jpeg/libjpeg-turbo/testorig.jpg", "jpeg/libjpeg-turbo/testimgint.jpg",
         "jpeg/libjpeg-turbo/testimgari.jpg", "jpeg/seed-variants/1x1_420.jpg",
         "jpeg/seed-variants/2x2_410.jpg", "jpeg/seed-variants/8x8_420.jpg",
         "jpeg/seed-variants/testorig_hflip_2x4_q1_rst16.jpg",
         "jpeg/seed-variants/testorig_rgb_444_floatdct_q100_test3icc.jpg",
         "jpeg/seed-variants/testorig_rot270_420_fastdct_q75_prog_rst100.jpg",
         "jpeg/seed-variants/testorig_rot90_441_q25_scan_script.jpg", "photos/mongolels.jpg"},
        {"jpeg/seed-variants/testorig_grayscale_q80_rst8.jpg", "photos/portrait-orientation-6.jpg"},
        {"jpeg/libjpeg-turbo/testorig.jpg"}};
    for (int g = 0; g < 3; ++g)
        for (const std::string& name : groups[g]) {
            SCOPED_TRACE(name);
            const std::string path = dataPath(name);
            Raster decoded, expected;
            DecodeJpeg(readBytes(path), g == 2 ? PixelFormat::Indexed8 : PixelFormat::Bgr24,
                       decoded);
            ASSERT_EQ(decoded.format(), g ? PixelFormat::Indexed8 : PixelFormat::Bgr24);
            ASSERT_TRUE(djpeg(path, g ? "-colors 236" : "", expected));
            EXPECT_LE(decoded.palette().size(), 236u);
            for (const auto& c : decoded.palette())
                EXPECT_TRUE(g != 1 || (c.red == c.green && c.green == c.blue));
            EXPECT_TRUE(rendered(decoded) == expected);
        }
}

// CMYK comes out as RGB; Adobe's files store the ink inverted, so no ink stays white
// rather than turning black.
TEST(JpegDecode, CmykInkBecomesRgb) {
    const std::pair<std::array<std::uint8_t, 4>, std::uint32_t> cases[] = {
        {{0, 0, 0, 0}, 0xFFFFFF},
        {{255, 0, 0, 0}, 0x00FFFF},
        {{0, 0, 0, 255}, 0x000000},
        {{0, 128, 0, 64}, 0xBF5FBF},
    };
    for (const auto& [ink, rgb] : cases) {
        Raster out;
        DecodeJpeg(pictorant::testing::flatCmykJpeg(16, 16, ink.data()), PixelFormat::Bgr24, out);
        ASSERT_EQ(out.format(), PixelFormat::Bgr24);
        for (int shift : {0, 8, 16})
            EXPECT_NEAR(pixel(out, 7, 7) >> shift & 255, rgb >> shift & 255, 3)
                << std::hex << rgb << " at " << shift;
    }
}
