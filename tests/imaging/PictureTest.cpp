// Loading by extension, the loaders' messages, and which types a save writes.
#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

using namespace pictorant;
using namespace pictorant::test;

TEST(LoadPicture, KindComesFromTheExtensionAndFailuresHaveTheirMessages) {
    TempDir dir;
    const std::pair<const char*, const char*> copies[] = {
        {"photo.JPEG", "jpeg/libjpeg-turbo/testorig.jpg"},
        {"Beach.jpg", "jpeg/libjpeg-turbo/testorig.jpg"},
        {"pal.Bmp", "bmp/bmpsuite/g/pal8.bmp"},
        {"trees.GIF", "gif/giflib/treescap.gif"}};
    for (const auto& [name, source] : copies)
        writeBytes(dir / name, readBytes(dataPath(source)));
    writeBytes(dir / "a.psd", {1, 2, 3});
    writeBytes(dir / "noext", {1, 2, 3});
    writeBytes(dir / "bad.bmp", {'B', 'M', 0});
    writeBytes(dir / "bad.gif", {'G', 'I', 'F'});
    writeBytes(dir / "bad.emf", {1, 2, 3, 4});
    const std::pair<std::string, std::string> cases[] = {
        {"photo.JPEG", "Jpeg 227 x 149"},
        {"Beach.jpg", "Jpeg 227 x 149"},
        {"pal.Bmp", "Bitmap 127 x 64"},
        {"trees.GIF", "Gif 40 x 40"},
        {"a.psd", "Unknown picture file extension (.psd)"},
        {"noext", "Unknown picture file extension (.)"},
        {"x.tar.gz", "Unknown picture file extension (.gz)"},
        {"missing.jpg",
         "Cannot open file \"" + (dir / "missing.jpg") + "\". No such file or directory"},
        {"bad.bmp", "Bitmap image is not valid"},
        {"bad.gif", "Invalid GIF signature"},
        {"bad.emf", "Metafile is not valid"},
    };
    const char* kinds[] = {"Jpeg", "Gif", "Bitmap", "Metafile"};
    for (const auto& [name, expected] : cases) {
        std::string got;
        try {
            const Picture p = LoadPicture(dir / name);
            got = std::string(kinds[int(p.kind())]) + " " + std::to_string(p.width()) + " x " +
                  std::to_string(p.height());
        } catch (const PictureError& e) {
            got = e.what();
        }
        EXPECT_EQ(got, expected) << name;
    }
    // A failed load leaves the picture as it was.
    Picture p = LoadPicture(dir / "photo.JPEG");
    EXPECT_THROW(LoadPicture(dir / "bad.bmp", p), PictureError);
    EXPECT_EQ(p.kind(), PictureKind::Jpeg);
    EXPECT_EQ(p.width(), 227);
}

// Each known type reading back at its size is proved with the fault tests.
TEST(SavePicture, UnknownTypesWriteNothing) {
    TempDir dir;
    OutputObjects out;
    const Raster r = syntheticPicture(30, 20);
    SavePicture(out, r, "BMP", dir / "a.bmp", 90);
    SavePicture(out, r, "TIF", dir / "a.tif", 90);
    SavePicture(out, r, "jpg", dir / "b.jpg", 90); // types are compared exactly
    EXPECT_EQ(pictorant::testing::namesIn(dir.str()), std::vector<std::string>{"a.bmp"});
}
