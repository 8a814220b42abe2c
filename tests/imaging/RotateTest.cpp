#include "Rotate.h"
#include "BmpCodec.h"
#include "JpegCodec.h"
#include "Picture.h"
#include "PictureError.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace pictorant;
using namespace pictorant::test;
namespace fs = std::filesystem;

namespace {

int rgb(const Raster& r, int x, int y) {
    const std::uint8_t* p = r.scanLine(y) + 3 * x;
    return p[2] << 16 | p[1] << 8 | p[0];
}

std::size_t fileCount(const fs::path& folder) {
    return std::size_t(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

} // namespace

TEST(RotateRaster, CornersGoWhereTheyShould) {
    const Raster s = syntheticPicture(4, 3, 5);
    Raster cw, ccw;
    RotateRaster(s, RotateDirection::Clockwise, cw);
    RotateRaster(s, RotateDirection::CounterClockwise, ccw);
    ASSERT_EQ(cw.width(), 3);
    ASSERT_EQ(cw.height(), 4);
    EXPECT_EQ(rgb(cw, 2, 0), rgb(s, 0, 0));  // top-left to top-right
    EXPECT_EQ(rgb(ccw, 0, 3), rgb(s, 0, 0)); // top-left to bottom-left
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(rgb(cw, 2 - y, x), rgb(s, x, y));
            EXPECT_EQ(rgb(ccw, y, 3 - x), rgb(s, x, y));
        }
}

TEST(RotateQuarter, FourTurnsAndATurnBackRestoreABitmap) {
    Picture p(PictureKind::Bitmap);
    const Raster original = syntheticPicture(400, 300, 2);
    p.setBitmap(original);
    RotateQuarter(p, RotateDirection::Clockwise);
    EXPECT_EQ(p.width(), 300);
    EXPECT_EQ(p.height(), 400);
    for (int i = 0; i < 3; ++i)
        RotateQuarter(p, RotateDirection::Clockwise);
    EXPECT_TRUE(p.raster() == original);
    RotateQuarter(p, RotateDirection::Clockwise);
    RotateQuarter(p, RotateDirection::CounterClockwise);
    EXPECT_TRUE(p.raster() == original);
}

TEST(RotateFile, EightBitBitmapComesBackAs24Bits) {
    TempDir dir;
    fs::copy_file(dataPath("bmp/bmpsuite/g/pal8.bmp"), dir.file("p.bmp"));
    Picture p = LoadPicture(dir.file("p.bmp"));
    Raster before;
    RenderToBitmap(p, before);
    RotateFile(p, RotateDirection::CounterClockwise, dir.file("p.bmp"), 90);
    int bits = 0;
    Raster after = DecodeBmp(readBytes(dir.file("p.bmp")), &bits);
    EXPECT_EQ(bits, 24);
    Raster expected;
    RotateRaster(before, RotateDirection::CounterClockwise, expected);
    EXPECT_TRUE(after == expected);
}

TEST(RotateFile, JpegIsWrittenAtTheSlidersQualityAsPlainJfif) {
    TempDir dir;
    // A file with camera data and a comment: none of it survives.
    fs::copy_file(dataPath("photos/mongolels.jpg"), dir.file("m.jpg"));
    Picture p = LoadPicture(dir.file("m.jpg"));
    Raster before;
    RenderToBitmap(p, before);
    RotateFile(p, RotateDirection::Clockwise, dir.file("m.jpg"), 60);
    Raster turned;
    RotateRaster(before, RotateDirection::Clockwise, turned);
    const auto bytes = readBytes(dir.file("m.jpg"));
    EXPECT_EQ(bytes, EncodeJpeg(turned, 60));
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(bytes[2], 0xFF);
    EXPECT_EQ(bytes[3], 0xE0); // JFIF APP0 straight after SOI, no EXIF
}

TEST(RotateFile, GifKeepsItsFirstFrameOnWhiteWithoutTransparency) {
    TempDir dir;
    fs::copy_file(dataPath("gif/giflib/x-trans.gif"), dir.file("x.gif"));
    Picture p = LoadPicture(dir.file("x.gif"));
    const int w = p.width(), h = p.height();
    RotateFile(p, RotateDirection::Clockwise, dir.file("x.gif"), 90);
    Picture back = LoadPicture(dir.file("x.gif"));
    EXPECT_EQ(back.width(), h);
    EXPECT_EQ(back.height(), w);
    EXPECT_EQ(back.gif().frameCount, 1);
    EXPECT_EQ(back.gif().frames.at(0).transparentIndex, -1);
}

TEST(RotateFile, AFailedWriteLeavesTheOriginalAndNoTemporaryFile) {
    TempDir dir;
    fs::copy_file(dataPath("bmp/bmpsuite/g/rgb24.bmp"), dir.file("r.bmp"));
    Picture p = LoadPicture(dir.file("r.bmp"));
    // A folder stands where the file should be replaced: the rename must fail.
    fs::create_directory(dir.file("d.bmp"));
    writeBytes(dir.file("d.bmp/keep"), {1, 2, 3});
    const std::size_t before = fileCount(dir.path());
    try {
        RotateFile(p, RotateDirection::Clockwise, dir.file("d.bmp"), 90);
        ADD_FAILURE() << "written";
    } catch (const PictureError& e) {
        EXPECT_EQ(
            std::string(e.what()).rfind("Cannot create file \"" + dir.file("d.bmp") + "\". ", 0),
            0u)
            << e.what();
    }
    EXPECT_EQ(fileCount(dir.path()), before);
    EXPECT_EQ(readBytes(dir.file("d.bmp/keep")), (std::vector<std::uint8_t>{1, 2, 3}));
    // A path through a regular file cannot even get its temporary file.
    const std::string through = dir.file("r.bmp/x.bmp");
    EXPECT_THROW(RotateFile(p, RotateDirection::Clockwise, through, 90), PictureError);
    EXPECT_EQ(readBytes(dir.file("r.bmp")), readBytes(dataPath("bmp/bmpsuite/g/rgb24.bmp")));
}

TEST(RotateFile, TheReplacedFileKeepsItsPermissions) {
    TempDir dir;
    fs::copy_file(dataPath("bmp/bmpsuite/g/rgb24.bmp"), dir.file("r.bmp"));
    ::chmod(dir.file("r.bmp").c_str(), 0640);
    Picture p = LoadPicture(dir.file("r.bmp"));
    RotateFile(p, RotateDirection::Clockwise, dir.file("r.bmp"), 90);
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("r.bmp").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(LoadPicture(dir.file("r.bmp")).width(), 64);
}

// Rotation writes the same document again: it goes where a link points, keeps what the
// file's owner set, and refuses a file marked as not to be changed.
class RotateInPlace : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(dir.path() / "pics");
        original = readBytes(dataPath("bmp/bmpsuite/g/rgb24.bmp"));
        writeBytes(real, original);
    }
    // Turns the picture at `path` clockwise and returns the error text, or "written".
    std::string turn(const std::string& path) {
        Picture p = LoadPicture(path);
        try {
            RotateFile(p, RotateDirection::Clockwise, path, 90);
        } catch (const PictureError& e) {
            return e.what();
        }
        return "written";
    }
    struct stat statusOf(const std::string& path) {
        struct stat st {};
        EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
        return st;
    }

    TempDir dir;
    std::string real = dir.file("pics/r.bmp");
    std::vector<std::uint8_t> original;
};

TEST_F(RotateInPlace, AFileWithoutWriteBitsIsRefusedAndLeftAsItWas) {
    for (const mode_t mode : {0444, 0400, 0555}) {
        ASSERT_EQ(::chmod(real.c_str(), mode), 0);
        EXPECT_EQ(turn(real), "Cannot create file \"" + real + "\". Permission denied") << mode;
        EXPECT_EQ(readBytes(real), original) << mode;
        EXPECT_EQ(statusOf(real).st_mode & 07777, mode);
        EXPECT_EQ(fileCount(dir.path() / "pics"), 1u) << "no temporary file";
    }
}

TEST_F(RotateInPlace, OwnerGroupAndModeAreKept) {
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    // Only root can give the file away; anyone else checks the mode alone.
    if (root) {
        ASSERT_EQ(::chown(real.c_str(), 4321, 8765), 0);
    }
    const struct stat before = statusOf(real);
    EXPECT_EQ(turn(real), "written");
    const struct stat after = statusOf(real);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_NE(after.st_ino, before.st_ino) << "replaced through a temporary file";
    EXPECT_EQ(LoadPicture(real).width(), 64);
    if (root) {
        EXPECT_EQ(after.st_uid, 4321u);
        EXPECT_EQ(after.st_gid, 8765u);
    }
}

TEST_F(RotateInPlace, ALinkIsFollowedAndStaysALink) {
    const struct {
        const char* name;
        std::string target;
    } links[] = {
        {"relative.bmp", "pics/r.bmp"},
        {"absolute.bmp", real},
        {"chain.bmp", "relative.bmp"},
    };
    for (const auto& link : links)
        fs::create_symlink(link.target, dir.path() / link.name);
    const int width = LoadPicture(real).width(), height = LoadPicture(real).height();
    int turns = 0;
    for (const auto& link : links) {
        const std::string path = dir.file(link.name);
        ASSERT_EQ(turn(path), "written") << link.name;
        ++turns;
        EXPECT_TRUE(fs::is_symlink(path)) << link.name;
        EXPECT_EQ(fs::read_symlink(path).string(), link.target) << link.name;
        const Picture turned = LoadPicture(real);
        EXPECT_EQ(turned.width(), turns % 2 ? height : width) << link.name;
        EXPECT_EQ(fileCount(dir.path() / "pics"), 1u) << link.name;
    }
    EXPECT_EQ(fileCount(dir.path()), 4u); // pics and the three links, nothing else
}

TEST_F(RotateInPlace, AReadOnlyFileBehindALinkIsRefusedToo) {
    ASSERT_EQ(::chmod(real.c_str(), 0444), 0);
    fs::create_symlink("pics/r.bmp", dir.path() / "link.bmp");
    EXPECT_EQ(turn(dir.file("link.bmp")),
              "Cannot create file \"" + dir.file("link.bmp") + "\". Permission denied");
    EXPECT_EQ(readBytes(real), original);
    EXPECT_TRUE(fs::is_symlink(dir.path() / "link.bmp"));
}
