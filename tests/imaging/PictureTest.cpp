#include "Picture.h"
#include "BmpCodec.h"
#include "JpegCodec.h"
#include "PictureError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pictorant;
using namespace pictorant::test;
namespace fs = std::filesystem;

namespace {

std::string loadError(const std::string& path) {
    try {
        LoadPicture(path);
    } catch (const PictureError& e) {
        return e.what();
    }
    return "loaded";
}

std::string saveError(OutputObjects& out, const Raster& r, const char* type,
                      const std::string& path) {
    try {
        SavePicture(out, r, type, path, 90);
    } catch (const PictureError& e) {
        return e.what();
    }
    return "saved";
}

} // namespace

TEST(LoadPicture, KindComesFromTheExtensionWithoutRegardToCase) {
    TempDir dir;
    const auto jpeg = readBytes(dataPath("jpeg/libjpeg-turbo/testorig.jpg"));
    const auto bmp = readBytes(dataPath("bmp/bmpsuite/g/pal8.bmp"));
    const auto gif = readBytes(dataPath("gif/giflib/treescap.gif"));
    struct Case {
        const char* name;
        const std::vector<std::uint8_t>* bytes;
        PictureKind kind;
        int width, height;
    };
    const Case cases[] = {
        {"photo.JPEG", &jpeg, PictureKind::Jpeg, 227, 149},
        {"photo.jpg", &jpeg, PictureKind::Jpeg, 227, 149},
        {"Beach.JPG", &jpeg, PictureKind::Jpeg, 227, 149},
        {"pal.Bmp", &bmp, PictureKind::Bitmap, 127, 64},
        {"trees.GIF", &gif, PictureKind::Gif, 40, 40},
    };
    for (const auto& c : cases) {
        writeBytes(dir.file(c.name), *c.bytes);
        Picture p = LoadPicture(dir.file(c.name));
        EXPECT_EQ(p.kind(), c.kind) << c.name;
        EXPECT_EQ(p.width(), c.width) << c.name;
        EXPECT_EQ(p.height(), c.height) << c.name;
    }
}

TEST(LoadPicture, FailuresHaveTheirMessages) {
    TempDir dir;
    writeBytes(dir.file("a.png"), {1, 2, 3});
    writeBytes(dir.file("noext"), {1, 2, 3});
    writeBytes(dir.file("bad.bmp"), {'B', 'M', 0});
    writeBytes(dir.file("bad.gif"), {'G', 'I', 'F'});
    writeBytes(dir.file("bad.emf"), {1, 2, 3, 4});
    fs::create_directory(dir.file("folder.jpg"));
    const std::pair<std::string, std::string> cases[] = {
        {"a.png", "Unknown picture file extension (.png)"},
        {"noext", "Unknown picture file extension (.)"},
        {"x.tar.gz", "Unknown picture file extension (.gz)"},
        {"missing.jpg",
         "Cannot open file \"" + dir.file("missing.jpg") + "\". No such file or directory"},
        {"folder.jpg", "Cannot open file \"" + dir.file("folder.jpg") + "\". Not a regular file"},
        {"bad.bmp", "Bitmap image is not valid"},
        {"bad.gif", "Invalid GIF signature"},
        {"bad.emf", "Metafile is not valid"},
    };
    for (const auto& [name, message] : cases)
        EXPECT_EQ(loadError(dir.file(name)), message) << name;
}

TEST(LoadPicture, AFailedLoadLeavesThePictureAsItWas) {
    Picture p;
    LoadPicture(dataPath("jpeg/libjpeg-turbo/testorig.jpg"), p);
    EXPECT_THROW(LoadPicture(dataPath("nothing-here.bmp"), p), PictureError);
    EXPECT_EQ(p.kind(), PictureKind::Jpeg);
    EXPECT_EQ(p.width(), 227);
}

TEST(SavePicture, JpegIsDecodedAndEncodedAgainAtTheSlidersQuality) {
    TempDir dir;
    const std::string source = dataPath("jpeg/libjpeg-turbo/testorig.jpg");
    Picture p = LoadPicture(source);
    OutputObjects out;
    RenderToBitmap(p, out.WorkBitmap);
    SavePicture(out, out.WorkBitmap, "JPG", dir.file("t.jpg"), 75);
    const auto written = readBytes(dir.file("t.jpg"));
    EXPECT_NE(written, readBytes(source));
    EXPECT_EQ(written, EncodeJpeg(out.WorkBitmap, 75));
    EXPECT_EQ(out.jpegOutput.jpegQuality(), 75);
}

TEST(SavePicture, EachTypeWritesItsFormatAndUnknownTypesNothing) {
    TempDir dir;
    OutputObjects out;
    const Raster r = syntheticPicture(30, 20);
    SavePicture(out, r, "BMP", dir.file("a.bmp"), 90);
    SavePicture(out, r, "GIF", dir.file("a.gif"), 90);
    SavePicture(out, r, "JPG", dir.file("a.jpg"), 90);
    SavePicture(out, r, "PNG", dir.file("a.png"), 90);
    SavePicture(out, r, "jpg", dir.file("b.jpg"), 90); // types are compared exactly
    EXPECT_TRUE(LoadPicture(dir.file("a.bmp")).raster() == r);
    EXPECT_EQ(LoadPicture(dir.file("a.gif")).width(), 30);
    EXPECT_EQ(LoadPicture(dir.file("a.jpg")).height(), 20);
    EXPECT_FALSE(fs::exists(dir.file("a.png")));
    EXPECT_FALSE(fs::exists(dir.file("b.jpg")));
}

TEST(SavePicture, OutputObjectsKeepNothingOfTheFileBefore) {
    TempDir dir;
    OutputObjects out;
    SavePicture(out, syntheticPicture(40, 40, 9), "GIF", dir.file("1.gif"), 90);
    Raster plain(10, 5);
    plain.fill(0, 0, 255);
    SavePicture(out, plain, "GIF", dir.file("2.gif"), 90);
    Picture second = LoadPicture(dir.file("2.gif"));
    EXPECT_EQ(second.width(), 10);
    Raster rendered;
    RenderToBitmap(second, rendered);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_GT(rendered.scanLine(y)[3 * x], 240) << x << "," << y; // blue everywhere
}

TEST(SavePicture, WriteFailuresNameThePathAndTheReason) {
    TempDir dir;
    writeBytes(dir.file("plain"), {1});
    OutputObjects out;
    const Raster r = syntheticPicture(8, 8);
    const std::string throughFile = dir.file("plain/t.jpg");
    EXPECT_EQ(saveError(out, r, "JPG", throughFile),
              "Cannot create file \"" + throughFile + "\". Not a directory");
    const std::string tooLong = dir.file(std::string(300, 'x') + ".bmp");
    EXPECT_EQ(saveError(out, r, "BMP", tooLong),
              "Cannot create file \"" + tooLong + "\". File name too long");
    const std::string missingFolder = dir.file("nope/t.gif");
    EXPECT_EQ(saveError(out, r, "GIF", missingFolder),
              "Cannot create file \"" + missingFolder + "\". No such file or directory");
}

TEST(SavePicture, AnEmptyThumbnailIsRefusedWithoutLeavingAFile) {
    TempDir dir;
    OutputObjects out;
    Raster empty(0, 7);
    EXPECT_NE(saveError(out, empty, "JPG", dir.file("e.jpg")), "saved");
    EXPECT_NE(saveError(out, empty, "GIF", dir.file("e.gif")), "saved");
    EXPECT_FALSE(fs::exists(dir.file("e.jpg")));
    EXPECT_FALSE(fs::exists(dir.file("e.gif")));
}

TEST(Picture, JpegDecodeModeSelectsTheQuantisedRaster) {
    Picture p = LoadPicture(dataPath("jpeg/libjpeg-turbo/testorig.jpg"));
    EXPECT_EQ(p.raster().format(), PixelFormat::Bgr24);
    p.setJpegDecodeFormat(PixelFormat::Indexed8);
    EXPECT_EQ(p.raster().format(), PixelFormat::Indexed8);
    EXPECT_LE(p.raster().palette().size(), 236u);
}

TEST(Picture, ConvertedBitmapOfAnyDepthIsWrittenAt24Bits) {
    TempDir dir;
    Picture p = LoadPicture(dataPath("bmp/bmpsuite/g/pal4.bmp"));
    OutputObjects out;
    RenderToBitmap(p, out.WorkBitmap);
    SavePicture(out, out.WorkBitmap, "BMP", dir.file("c.bmp"), 90);
    int bits = 0;
    Raster back = DecodeBmp(readBytes(dir.file("c.bmp")), &bits);
    EXPECT_EQ(bits, 24);
    EXPECT_TRUE(back == out.WorkBitmap);
}
