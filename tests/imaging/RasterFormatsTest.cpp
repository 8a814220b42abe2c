#include <gtest/gtest.h>

#include <filesystem>

#include "imaging/PictureError.h"
#include "imaging/RasterFormats.h"
#include "tests/imaging/TestSupport.h"

namespace pictorant {
namespace {

using namespace test;

// The pictures of devtools/make_format_pictures.sh: every one loads, by its extension, with
// the pixels its format's own tools decode, on white. The same library decodes both
// sides; the white ground under partly transparent pixels is rounded from 8-bit alpha
// here and from 16-bit alpha by the tools, so 2 levels apart at most.
TEST(RasterFormats, SuitePicturesLoadWithTheToolsPixels) {
    int seen = 0;
    for (const char* folder : {"png", "webp", "tiff", "heif"})
        for (const auto& entry : std::filesystem::directory_iterator(dataPath(folder))) {
            const std::string name = entry.path().filename().string();
            Raster expected;
            ASSERT_TRUE(parsePnm(readBytes(dataPath("expected/" + name + ".ppm")), expected))
                << name;
            Picture picture;
            ASSERT_EQ(testing::errorOf<PictureError>(
                          [&] { LoadPicture(entry.path().string(), picture); }),
                      "loaded")
                << name;
            EXPECT_LE(largestDifference(rendered(picture), expected), 2) << name;
            ++seen;
        }
    EXPECT_GE(seen, 20);
}

// Broken files fail with their format's message (and no crash or sanitizer report);
// a picture above the pixel cap fails before it is allocated.
TEST(RasterFormats, BadFilesFailWithTheFormatsMessage) {
    const struct {
        const char* file;
        PictureKind kind;
        const char* message;
    } cases[] = {{"png/rgba16.png", PictureKind::Png, "PNG error: "},
                 {"png/interlaced.png", PictureKind::Png, "PNG error: "},
                 {"webp/lossy.webp", PictureKind::Webp, "WebP picture is not valid"},
                 {"webp/animated.webp", PictureKind::Webp, "WebP picture is not valid"},
                 {"tiff/rgba-lzw.tif", PictureKind::Tiff, "TIFF picture is not valid"},
                 {"tiff/cmyk.tif", PictureKind::Tiff, "TIFF picture is not valid"},
                 {"heif/alpha.heic", PictureKind::Heif, "HEIF picture is not valid"}};
    const auto failure = [](PictureKind kind, std::vector<std::uint8_t> bytes) {
        Picture picture;
        return testing::errorOf<PictureError>([&] { LoadPictureFromBytes(kind, bytes, picture); });
    };
    for (const auto& c : cases) {
        const std::vector<std::uint8_t> whole = readBytes(dataPath(c.file));
        for (const std::size_t kept : {whole.size() * 2 / 3, std::size_t(30), std::size_t(0)}) {
            const std::string message =
                failure(c.kind, std::vector<std::uint8_t>(whole.begin(),
                                                          whole.begin() + std::ptrdiff_t(kept)));
            EXPECT_EQ(message.rfind(c.message, 0), 0u)
                << c.file << " cut at " << kept << ": " << message;
        }
        const std::int64_t cap = MaxPicturePixels();
        SetMaxPicturePixels(32 * 24 - 1);
        const std::string message = failure(c.kind, whole);
        SetMaxPicturePixels(cap);
        EXPECT_EQ(message, "Picture is too large (32 x 24 pixels; the limit is 767)") << c.file;
    }
}

// PNG output is lossless 8-bit RGB: what is written reads back the same, also from a
// palette raster and as the output type of a run.
TEST(RasterFormats, PngOutputReadsBackIdentical) {
    TempDir dir;
    const Raster source = syntheticPicture(41, 17, 7);
    OutputObjects outputs;
    const std::string path = dir / "out.png";
    SavePicture(outputs, source, "PNG", path, 90);
    const std::vector<std::uint8_t> bytes = readBytes(path);
    ASSERT_GT(bytes.size(), 26u);
    EXPECT_EQ(bytes[24], 8) << "bit depth";
    EXPECT_EQ(bytes[25], 2) << "colour type RGB";
    EXPECT_EQ(rendered(LoadPicture(path)), source);

    const Raster indexed = indexedRaster(3, 2, {{10, 20, 30}, {200, 100, 0}}, {0, 1, 0, 1, 0, 1});
    EXPECT_EQ(rendered(pictureFrom(PictureKind::Png, EncodePng(indexed))), rendered(indexed));
    EXPECT_THROW(EncodePng(Raster(0, 5)), PictureError);
}

} // namespace
} // namespace pictorant
