// The one safe writer: a failure at any step leaves the target as it was and no
// temporary file; a link or FIFO at the name is replaced, never written through; a
// rewrite follows a link, keeps owner, group and mode, and refuses a file without write
// bits even for root.
#include "files/SafeFile.h"
#include "tests/support/FileFaults.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace pictorant {
namespace {

using namespace pictorant::testing;
namespace fs = std::filesystem;

// The error text names the failing step and the system's reason for it.
std::string failureOf(const std::string& path, const std::string& bytes,
                      WriteMode mode = WriteMode::NewFile) {
    return errorOf<SafeWriteError>([&] { writeFileSafely(path, bytes, mode); }, "written");
}

TEST(SafeFileNew, ReplacesWhatStandsAtTheNameWithTheUsualMode) {
    ScratchFolder folder;
    writeBytes(folder / "victim.txt", "keep me");
    fs::create_symlink(folder / "victim.txt", folder / "link.jpg");
    ASSERT_EQ(::mkfifo((folder / "pipe.jpg").c_str(), 0644), 0);
    const mode_t old = ::umask(022);
    for (const char* name : {"new.jpg", "link.jpg", "pipe.jpg"})
        writeFileSafely(folder / name, name);
    ::umask(old);
    EXPECT_EQ(readBytes(folder / "victim.txt"), "keep me");
    for (const char* name : {"new.jpg", "link.jpg", "pipe.jpg"}) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / name))) << name;
        EXPECT_EQ(readBytes(folder / name), name);
        EXPECT_EQ(statusOf(folder / name).st_mode & 07777, 0644u) << name;
    }
    EXPECT_EQ(namesIn(folder.str()).size(), 4u);
}

TEST(SafeFileNew, EveryFailingStepLeavesTheTargetAndNoTemporaryFile) {
    ScratchFolder folder;
    writeBytes(folder / "plain", "a file, not a folder");
    fs::create_directory(folder / "taken");
    const std::pair<std::string, std::string> cases[] = {
        {folder / overlongName(), "Cannot create %: File name too long"},
        {folder / "plain/inside.jpg", "Cannot create %: Not a directory"},
        {folder / "missing/inside.jpg", "Cannot create %: No such file or directory"},
        {folder / "taken", "Cannot replace %: Is a directory"}};
    for (auto [path, message] : cases)
        EXPECT_EQ(failureOf(path, "bytes"), message.replace(message.find('%'), 1, path));
    EXPECT_EQ(namesIn(folder.str()), (std::vector<std::string>{"plain", "taken"}));
    EXPECT_TRUE(fs::is_empty(folder / "taken"));

    // An unfinished write, and one whose temporary file the stop handler removes.
    writeBytes(folder / "a.txt", "before");
    {
        SafeFileWriter writer(folder / "a.txt");
        writer.write("half of it");
        EXPECT_EQ(namesIn(folder.str()).size(), 4u);
    }
    EXPECT_EQ(readBytes(folder / "a.txt"), "before");
    SafeFileWriter writer(folder / "b.txt");
    writer.write("in flight");
    removeTemporaryFilesNow();
    EXPECT_EQ(namesIn(folder.str()), (std::vector<std::string>{"a.txt", "plain", "taken"}));

    TinyFileSystem disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << disk.skipReason();
    writeBytes(disk / "out.bmp", "old output");
    EXPECT_EQ(failureOf(disk / "out.bmp", std::string(200 * 1024, 'x')),
              "Cannot write " + (disk / "out.bmp") + ": No space left on device");
    EXPECT_EQ(readBytes(disk / "out.bmp"), "old output");
    EXPECT_EQ(namesIn(disk.str()), std::vector<std::string>{"out.bmp"});
}

TEST(SafeFileRewrite, KeepsModeFollowsALinkAndRefusesNoWriteBits) {
    ScratchFolder folder;
    writeBytes(folder / "photo.jpg", "old");
    ::chmod((folder / "photo.jpg").c_str(), 0640);
    fs::create_symlink("photo.jpg", folder / "link.jpg");
    writeFileSafely(folder / "link.jpg", "turned", WriteMode::Rewrite);
    EXPECT_TRUE(fs::is_symlink(folder / "link.jpg"));
    EXPECT_EQ(readBytes(folder / "photo.jpg"), "turned");
    EXPECT_EQ(statusOf(folder / "photo.jpg").st_mode & 07777, 0640u);

    ::chmod((folder / "photo.jpg").c_str(), 0444);
    EXPECT_EQ(rewriteRefusal(folder / "photo.jpg"), EACCES);
    EXPECT_EQ(failureOf(folder / "photo.jpg", "changed", WriteMode::Rewrite),
              "Cannot create " + (folder / "photo.jpg") + ": Permission denied");
    EXPECT_EQ(readBytes(folder / "photo.jpg"), "turned");
    EXPECT_EQ(rewriteRefusal(folder / "missing.jpg"), ENOENT);
    EXPECT_EQ(namesIn(folder.str()), (std::vector<std::string>{"link.jpg", "photo.jpg"}));
}

} // namespace
} // namespace pictorant
