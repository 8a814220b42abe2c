#include "imaging/Rotate.h"
#include "imaging/BmpCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace pictorant;
using namespace pictorant::test;
using pictorant::testing::namesIn;
using pictorant::testing::statusOf;
namespace fs = std::filesystem;

namespace {

// Turns the picture at `path` clockwise and returns the error text, or "written".
std::string turn(const std::string& path, int quality = 90) {
    Picture p = LoadPicture(path);
    return pictorant::testing::errorOf<PictureError>(
        [&] { RotateFile(p, RotateDirection::Clockwise, path, quality); }, "written");
}

} // namespace

TEST(RotateRaster, EveryPixelGoesWhereItShouldEitherWay) {
    const Raster s = syntheticPicture(4, 3, 5);
    Raster cw, ccw;
    RotateRaster(s, RotateDirection::Clockwise, cw);
    RotateRaster(s, RotateDirection::CounterClockwise, ccw);
    ASSERT_EQ(std::pair(cw.width(), cw.height()), std::pair(3, 4));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(pixel(cw, 2 - y, x), pixel(s, x, y));
            EXPECT_EQ(pixel(ccw, y, 3 - x), pixel(s, x, y));
        }
    Picture p(PictureKind::Bitmap);
    p.setBitmap(s);
    RotateQuarter(p, RotateDirection::CounterClockwise);
    EXPECT_TRUE(p.raster() == ccw);
}

TEST(RotateFile, EachKindIsWrittenBackInItsOwnForm) {
    TempDir dir;
    fs::copy_file(dataPath("bmp/bmpsuite/g/pal8.bmp"), dir / "p.bmp");
    fs::copy_file(dataPath("photos/mongolels.jpg"), dir / "m.jpg"); // camera data, a comment
    fs::copy_file(dataPath("gif/giflib/x-trans.gif"), dir / "x.gif");
    for (const char* name : {"p.bmp", "m.jpg"}) {
        SCOPED_TRACE(name);
        Raster expected;
        RotateRaster(rendered(LoadPicture(dir / name)), RotateDirection::Clockwise, expected);
        ASSERT_EQ(turn(dir / name, 60), "written");
        const auto bytes = readBytes(dir / name);
        if (name[0] == 'p') { // an 8-bit bitmap comes back at 24 bits
            int bits = 0;
            EXPECT_TRUE(DecodeBmp(bytes, &bits) == expected);
            EXPECT_EQ(bits, 24);
        } else { // at the slider's quality, plain JFIF: APP0 straight after SOI
            EXPECT_EQ(bytes, EncodeJpeg(expected, 60));
            EXPECT_EQ(bytes.at(3), 0xE0);
        }
    }
    const Picture gif = LoadPicture(dir / "x.gif");
    ASSERT_EQ(turn(dir / "x.gif"), "written");
    const Picture back = LoadPicture(dir / "x.gif");
    EXPECT_EQ(back.width(), gif.height());
    EXPECT_EQ(back.gif().frameCount, 1);
    EXPECT_EQ(back.gif().frames.at(0).transparentIndex, -1); // on white, no transparency
}

// Rotation writes the same document again: it goes where a link points, keeps what the
// file's owner set, and refuses a file marked as not to be changed.
TEST(RotateInPlace, ReadOnlyIsRefusedOwnerAndModeAreKeptLinksFollowed) {
    TempDir dir;
    fs::create_directory(dir / "pics");
    const std::string real = dir / "pics/r.bmp";
    const auto original = readBytes(dataPath("bmp/bmpsuite/g/rgb24.bmp"));
    writeBytes(real, original);
    fs::create_symlink("pics/r.bmp", dir / "relative.bmp");
    fs::create_symlink(real, dir / "absolute.bmp");
    fs::create_symlink("relative.bmp", dir / "chain.bmp");
    for (const mode_t mode : {0444, 0400, 0555}) {
        ASSERT_EQ(::chmod(real.c_str(), mode), 0);
        for (const char* name : {"pics/r.bmp", "chain.bmp"}) {
            EXPECT_EQ(turn(dir / name),
                      "Cannot create file \"" + (dir / name) + "\". Permission denied");
            EXPECT_EQ(readBytes(real), original) << mode;
            EXPECT_EQ(statusOf(real).st_mode & 07777, mode);
            EXPECT_EQ(namesIn(dir / "pics").size(), 1u) << "no temporary file";
        }
    }
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    ASSERT_EQ(::chown(real.c_str(), 4321, 8765), 0); // the tests run as root
    struct stat before = statusOf(real);
    int turns = 0;
    for (const char* link : {"relative.bmp", "absolute.bmp", "chain.bmp"}) {
        const std::string target = fs::read_symlink(dir / link).string();
        ASSERT_EQ(turn(dir / link), "written") << link;
        EXPECT_EQ(fs::read_symlink(dir / link).string(), target) << link;
        EXPECT_EQ(LoadPicture(real).width(), ++turns % 2 ? 64 : 127) << link;
        const struct stat after = statusOf(real);
        EXPECT_EQ(after.st_mode & 07777, 0640u);
        EXPECT_EQ(std::pair(after.st_uid, after.st_gid), std::pair(4321u, 8765u));
        EXPECT_NE(after.st_ino, before.st_ino) << "replaced through a temporary file";
        before = after;
        EXPECT_EQ(namesIn(dir / "pics").size(), 1u) << link;
    }
    EXPECT_EQ(namesIn(dir.str()).size(), 4u); // pics and the three links, nothing else
}

// A turned metafile keeps its physical frame, whatever its reference device.
TEST(RotateMetafile, FrameKeepsItsPhysicalSizeTurned) {
    // 1200 pixels per inch and a square frame; the 96-dpi display file; a WMF.
    for (const char* file : {"metafile/emf/pillow-drawing.emf", "metafile/emf/emf2svg-test-092.emf",
                             "metafile/wmf/libwmf-arrow01.wmf"}) {
        SCOPED_TRACE(file);
        Picture picture = LoadPicture(dataPath(file));
        auto mmW = picture.metafile().mmWidth(), mmH = picture.metafile().mmHeight();
        // One device pixel of rounding at most (2.2 hundredths of a mm at 1200 dpi,
        // 26 at 96).
        const auto near = [](std::int64_t a, std::int64_t b) { return std::llabs(a - b) <= 27; };
        for (auto direction : {RotateDirection::Clockwise, RotateDirection::CounterClockwise}) {
            RotateQuarter(picture, direction, 90);
            std::swap(mmW, mmH);
            EXPECT_PRED2(near, picture.metafile().mmWidth(), mmW);
            EXPECT_PRED2(near, picture.metafile().mmHeight(), mmH);
        }
    }
}
