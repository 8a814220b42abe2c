// Picture files: the kind taken from the extension, the loaders' messages, which types a
// save writes, and file systems that fail or hold the wrong kind of file (a full disk, a
// link at an output's name, sources that are not regular files, empty pictures).

#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "tests/imaging/TestSupport.h"
#include "tests/support/FileFaults.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

using namespace pictorant;
namespace fs = std::filesystem;
using namespace pictorant::testing;
using Names = std::vector<std::string>;

namespace {

// The output types and their extensions; the last three are written uncompressed.
const std::pair<const char*, std::string> kTypes[] = {
    {"JPG", ".jpg"}, {"GIF", ".gif"}, {"BMP", ".bmp"}, {"EMF", ".emf"}, {"WMF", ".wmf"}};

} // namespace

// For every type: a side of 0 (a 1000 x 5 picture at 96 gives 96 x 0) is refused
// before any file is made, and an older file at the name stays; a link at an output's
// name is replaced by the picture, and the file it pointed to, outside the chosen
// folder, is never written. The runs hand the work raster over to the writer: the file
// is the one written from a lent raster.
TEST(EveryType, RefusesASideOfZeroReplacesALinkAndTakesARasterHandedOver) {
    OutputObjects out; // still usable after each refusal
    for (const auto& [type, ext] : kTypes) {
        SCOPED_TRACE(type);
        ScratchFolder folder;
        const std::string older = folder / ("old" + ext);
        writeBytes(older, "an older output");
        for (const auto& [w, h] : {std::pair{0, 7}, {7, 0}, {0, 0}}) {
            EXPECT_THROW(SavePicture(out, Raster(w, h), type, folder / ("new" + ext), 90),
                         PictureError)
                << w << " x " << h;
            EXPECT_THROW(SavePicture(out, Raster(w, h), type, older, 90), PictureError);
        }
        EXPECT_EQ(namesIn(folder.str()), Names{"old" + ext});
        EXPECT_EQ(readBytes(older), "an older output");

        fs::create_directory(folder / "out");
        writeBytes(folder / "victim.txt", "not a picture");
        const std::string link = folder / ("out/Thumb001" + ext);
        fs::create_symlink("../victim.txt", link);
        SavePicture(out, test::syntheticPicture(6, 4), type, link, 90);
        EXPECT_EQ(readBytes(folder / "victim.txt"), "not a picture");
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(link)));
        const Picture back = LoadPicture(link);
        EXPECT_EQ(std::pair(back.width(), back.height()), std::pair(6, 4));
        EXPECT_EQ(namesIn(folder / "out"), Names{"Thumb001" + ext});
        Raster handed = test::syntheticPicture(6, 4);
        SavePicture(out, std::move(handed), type, folder / ("moved" + ext), 90);
        EXPECT_EQ(readBytes(folder / ("moved" + ext)), readBytes(link));
        EXPECT_TRUE(handed.isEmpty());
        EXPECT_EQ(handed.storageBytes(), 0u);
    }
    // Unknown types write nothing; types are compared exactly.
    ScratchFolder folder;
    for (const char* type : {"TIF", "jpg"})
        SavePicture(out, test::syntheticPicture(3, 2), type, folder / "a", 90);
    EXPECT_TRUE(namesIn(folder.str()).empty());
}

// A disk that fills half way through: the old output stays whole, no partial or
// temporary file is left, and the message names the step that failed and its cause.
TEST(FullDisk, AWriteThatRunsOutOfSpaceLeavesTheOldFileAndSaysWhy) {
    TinyFileSystem disk(200);
    if (!disk.mounted())
        GTEST_SKIP() << disk.skipReason();
    // 300 x 400 at 24 bits: a BMP of 360,054 bytes, the metafiles a little more.
    const Raster big = test::syntheticPicture(300, 400);
    OutputObjects out;
    for (const auto& [type, ext] : std::span(kTypes).last(3)) {
        const std::string path = disk / ("Thumb001" + ext);
        writeBytes(path, "old output");
        EXPECT_EQ(errorOf<PictureError>([&] { SavePicture(out, big, type, path, 90); }),
                  "Cannot write file \"" + path + "\". No space left on device")
            << type;
        EXPECT_EQ(readBytes(path), "old output") << type;
        EXPECT_EQ(namesIn(disk.str()), Names{"Thumb001" + ext}) << type;
        fs::remove(path);
    }
}

// Sources that are not regular files fail at once with the open error; a FIFO without a
// writer would otherwise hold the run in open() for ever.
TEST(NotARegularFile, FifoFolderAndDeviceFailAtOnce) {
    ScratchFolder folder;
    const std::string fifo = folder / "pipe.jpg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    fs::create_directory(folder / "folder.bmp");
    // A device that ends at once: an endless one would only show a fault by filling memory.
    fs::create_symlink("/dev/null", folder / "device.gif");
    fs::create_symlink("pipe.jpg", folder / "link-to-pipe.jpg");

    for (const char* name : {"pipe.jpg", "folder.bmp", "device.gif", "link-to-pipe.jpg"}) {
        const std::string path = folder / name;
        auto load = std::async(std::launch::async, [path] {
            return errorOf<PictureError>([&] { LoadPicture(path); });
        });
        if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ADD_FAILURE() << name << ": the load is still waiting";
            // Give the blocked open() its writer, so the test can end.
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
            load.wait();
            continue;
        }
        EXPECT_EQ(load.get(), "Cannot open file \"" + path + "\". Not a regular file") << name;
    }
}

TEST(LoadPicture, KindComesFromTheExtensionAndFailuresHaveTheirMessages) {
    test::TempDir dir;
    const auto jpeg = test::readBytes(test::dataPath("jpeg/libjpeg-turbo/testorig.jpg"));
    const struct {
        std::string name;
        std::vector<std::uint8_t> bytes; // none: no file
        std::string expected;
    } cases[] = {
        {"photo.JPEG", jpeg, "Jpeg 227 x 149"},
        {"Beach.jpg", jpeg, "Jpeg 227 x 149"},
        {"pal.Bmp", test::readBytes(test::dataPath("bmp/bmpsuite/g/pal8.bmp")), "Bitmap 127 x 64"},
        {"trees.GIF", test::readBytes(test::dataPath("gif/giflib/treescap.gif")), "Gif 40 x 40"},
        {"a.psd", {1, 2, 3}, "Unknown picture file extension (.psd)"},
        {"noext", {1, 2, 3}, "Unknown picture file extension (.)"},
        {"x.tar.gz", {}, "Unknown picture file extension (.gz)"},
        {"missing.jpg",
         {},
         "Cannot open file \"" + (dir / "missing.jpg") + "\". No such file or directory"},
        {"bad.bmp", {'B', 'M', 0}, "Bitmap image is not valid"},
        {"bad.gif", {'G', 'I', 'F'}, "Invalid GIF signature"},
        {"bad.emf", {1, 2, 3, 4}, "Metafile is not valid"},
    };
    const char* kinds[] = {"Jpeg", "Gif", "Bitmap", "Metafile"};
    for (const auto& [name, bytes, expected] : cases) {
        if (!bytes.empty())
            test::writeBytes(dir / name, bytes);
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
