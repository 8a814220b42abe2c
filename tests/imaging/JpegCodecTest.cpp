#include "imaging/JpegCodec.h"
#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <numeric>

#include <jpeglib.h>

#include <jerror.h>

using namespace pictorant;
using namespace pictorant::test;

namespace {

std::string quoted(const std::string& s) {
    return "'" + s + "'";
}

// The reference codec's output for a file, as a 24-bit raster.
bool djpegRaster(const std::string& file, const std::string& options, Raster& out) {
    int status = 0;
    auto pnm = runCapture("djpeg " + options + " -pnm " + quoted(file) + " 2>/dev/null", &status);
    return status == 0 && parsePnm(pnm, out);
}

} // namespace

class JpegEncodeMatchesCjpeg : public ::testing::TestWithParam<std::tuple<int, int, int>> {};

TEST_P(JpegEncodeMatchesCjpeg, ByteForByte) {
    if (!haveProgram("cjpeg"))
        GTEST_SKIP() << "cjpeg not installed";
    const auto [w, h, quality] = GetParam();
    TempDir dir;
    const Raster picture = syntheticPicture(w, h, unsigned(w * 31 + h));
    ASSERT_TRUE(toImage(picture).save(QString::fromStdString(dir / "in.ppm"), "PPM"));
    auto expected = runCapture("cjpeg -quality " + std::to_string(quality) + " -baseline " +
                               quoted((dir / "in.ppm")));
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
    Raster indexed(4, 2, PixelFormat::Indexed8);
    indexed.palette() = {{255, 0, 0}, {0, 0, 255}};
    for (int i = 0; i < 8; ++i)
        indexed.bits()[i] = std::uint8_t(i % 2);
    Raster expanded;
    RenderToBitmap(indexed, expanded);
    EXPECT_EQ(EncodeJpeg(indexed, 80), EncodeJpeg(expanded, 80));
}

// Every valid colour JPEG of the suites decodes to what djpeg gives (block smoothing on,
// the default upsampling and DCT).
TEST(JpegDecode, MatchesDjpegOnTheSuites) {
    if (!haveProgram("djpeg"))
        GTEST_SKIP() << "djpeg not installed";
    const std::vector<std::string> files = {
        "libjpeg-turbo/testorig.jpg",
        "libjpeg-turbo/testimgint.jpg",
        "libjpeg-turbo/testimgari.jpg",
        "seed-variants/1x1_420.jpg",
        "seed-variants/2x2_410.jpg",
        "seed-variants/8x8_420.jpg",
        "seed-variants/testorig_hflip_2x4_q1_rst16.jpg",
        "seed-variants/testorig_rgb_444_floatdct_q100_test3icc.jpg",
        "seed-variants/testorig_rot270_420_fastdct_q75_prog_rst100.jpg",
        "seed-variants/testorig_rot90_441_q25_scan_script.jpg",
        "../photos/mongolels.jpg",
    };
    for (const auto& name : files) {
        SCOPED_TRACE(name);
        const std::string path = dataPath("jpeg/" + name);
        Raster expected, actual;
        ASSERT_TRUE(djpegRaster(path, "", expected));
        DecodeJpeg(readBytes(path), PixelFormat::Bgr24, actual);
        EXPECT_TRUE(actual == expected);
    }
}

// Greyscale stays greyscale, and the 8-bit decode mode is quantised: at most 236
// levels or colours, as djpeg -colors 236 gives.
TEST(JpegDecode, QuantisedDecodesMatchDjpegColors236) {
    if (!haveProgram("djpeg"))
        GTEST_SKIP() << "djpeg not installed";
    const std::pair<const char*, PixelFormat> cases[] = {
        {"jpeg/seed-variants/testorig_grayscale_q80_rst8.jpg", PixelFormat::Bgr24},
        {"photos/portrait-orientation-6.jpg", PixelFormat::Bgr24},
        {"jpeg/libjpeg-turbo/testorig.jpg", PixelFormat::Indexed8},
    };
    for (const auto& [name, mode] : cases) {
        SCOPED_TRACE(name);
        const std::string path = dataPath(name);
        Raster expected, decoded, actual;
        ASSERT_TRUE(djpegRaster(path, "-colors 236", expected));
        DecodeJpeg(readBytes(path), mode, decoded);
        ASSERT_EQ(decoded.format(), PixelFormat::Indexed8);
        EXPECT_LE(decoded.palette().size(), 236u);
        for (const auto& c : decoded.palette())
            EXPECT_TRUE(mode == PixelFormat::Indexed8 || (c.red == c.green && c.green == c.blue));
        RenderToBitmap(decoded, actual);
        EXPECT_TRUE(actual == expected);
    }
}

// CMYK and YCCK files come out as RGB; the Adobe files store inverted ink, so a plain
// white page must stay white rather than turn black.
TEST(JpegDecode, CmykAndYcckBecomeRgb) {
    Raster out, reference;
    DecodeJpeg(readBytes(dataPath("jpeg/seed-variants/"
                                  "testorig_rot180_cmyk_411_q50_opt_rst1B_test1icc.jpg")),
               PixelFormat::Bgr24, out);
    EXPECT_EQ(out.format(), PixelFormat::Bgr24);
    EXPECT_EQ(out.width(), 227);
    // The same picture as testorig, turned: compare the mean brightness roughly.
    DecodeJpeg(readBytes(dataPath("jpeg/libjpeg-turbo/testorig.jpg")), PixelFormat::Bgr24,
               reference);
    auto mean = [](const Raster& r) {
        const std::size_t n = r.bytesPerLine() * std::size_t(r.height());
        return std::accumulate(r.bits(), r.bits() + n, 0.0) / double(n);
    };
    EXPECT_NEAR(mean(out), mean(reference), 12.0);
}

TEST(JpegDecode, ErrorsCarryLibjpegsMessageCode) {
    const std::pair<std::vector<std::uint8_t>, int> cases[] = {
        {{}, JERR_INPUT_EMPTY},
        {{0x89, 'P', 'N', 'G', 0, 0, 0, 0}, JERR_NO_SOI},
        {{0xFF, 0xD8, 0xFF, 0xD9}, JERR_NO_IMAGE},
    };
    for (const auto& [bytes, code] : cases) {
        try {
            ReadJpegInfo(bytes);
            ADD_FAILURE() << "no error for code " << code;
        } catch (const PictureError& e) {
            EXPECT_EQ(std::string(e.what()), "JPEG error #" + std::to_string(code));
        }
    }
}
