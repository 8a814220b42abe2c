#include "files/SafeFile.h"
#include "support/FileFaults.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pictorant {
namespace {

using testing::namesIn;
using testing::readBytes;
using testing::ScratchFolder;
using testing::writeBytes;
using Step = SafeWriteError::Step;
namespace fs = std::filesystem;

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

// Runs a write that must fail and returns its error.
template <typename Write> SafeWriteError failureOf(Write write) {
    try {
        write();
    } catch (const SafeWriteError& e) {
        return e;
    }
    ADD_FAILURE() << "the write did not fail";
    return SafeWriteError(Step::Write, "", 0);
}

TEST(SafeFileNew, WritesTheBytesWithTheUsualModeAndLeavesNothingElse) {
    ScratchFolder folder;
    const mode_t old = ::umask(022);
    writeFileSafely(folder / "a.txt", "hello");
    ::umask(old);
    EXPECT_EQ(readBytes(folder / "a.txt"), "hello");
    EXPECT_EQ(modeOf(folder / "a.txt"), 0644u);
    EXPECT_EQ(namesIn(folder.str()), std::vector<std::string>{"a.txt"});
}

TEST(SafeFileNew, ReplacesWhatStandsAtTheNameWithoutWritingThroughIt) {
    ScratchFolder folder;
    writeBytes(folder / "victim.txt", "keep me");
    fs::create_symlink(folder / "victim.txt", folder / "link.jpg");
    ASSERT_EQ(::mkfifo((folder / "pipe.jpg").c_str(), 0644), 0);

    writeFileSafely(folder / "link.jpg", "new picture");
    writeFileSafely(folder / "pipe.jpg", "another");

    EXPECT_EQ(readBytes(folder / "victim.txt"), "keep me");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / "link.jpg")));
    EXPECT_EQ(readBytes(folder / "link.jpg"), "new picture");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / "pipe.jpg")));
    EXPECT_EQ(readBytes(folder / "pipe.jpg"), "another");
}

TEST(SafeFileNew, AFullFileSystemLeavesTheOldFileAndNoTemporaryFile) {
    testing::TinyFileSystem disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << disk.skipReason();
    writeBytes(disk / "out.bmp", "old output");
    const SafeWriteError error =
        failureOf([&] { writeFileSafely(disk / "out.bmp", std::string(200 * 1024, 'x')); });
    EXPECT_EQ(error.step(), Step::Write);
    EXPECT_EQ(error.error(), ENOSPC);
    EXPECT_EQ(std::string(error.what()),
              "Cannot write " + (disk / "out.bmp") + ": No space left on device");
    EXPECT_EQ(readBytes(disk / "out.bmp"), "old output");
    EXPECT_EQ(namesIn(disk.str()), std::vector<std::string>{"out.bmp"});
}

TEST(SafeFileNew, NamesTheSystemRefusesFailAtCreateWithTheirCause) {
    ScratchFolder folder;
    writeBytes(folder / "plain", "a file, not a folder");
    fs::create_directory(folder / "taken");

    const struct {
        std::string path;
        Step step;
        int error;
    } cases[] = {
        {folder / testing::overlongName(), Step::Create, ENAMETOOLONG},
        {folder / "plain/inside.jpg", Step::Create, ENOTDIR},
        {folder / "missing/inside.jpg", Step::Create, ENOENT},
        {folder / "taken", Step::Replace, EISDIR},
    };
    for (const auto& c : cases) {
        const SafeWriteError error = failureOf([&] { writeFileSafely(c.path, "bytes"); });
        EXPECT_EQ(error.step(), c.step) << c.path;
        EXPECT_EQ(error.error(), c.error) << c.path;
    }
    EXPECT_EQ((std::vector<std::string>{"plain", "taken"}), namesIn(folder.str()));
    EXPECT_TRUE(fs::is_empty(folder / "taken"));
}

TEST(SafeFileNew, AnUnfinishedWriteLeavesNoTrace) {
    ScratchFolder folder;
    writeBytes(folder / "a.txt", "before");
    {
        SafeFileWriter writer(folder / "a.txt");
        writer.write("half of it");
        EXPECT_EQ(namesIn(folder.str()).size(), 2u);
    }
    EXPECT_EQ(readBytes(folder / "a.txt"), "before");
    EXPECT_EQ(namesIn(folder.str()), std::vector<std::string>{"a.txt"});

    SafeFileWriter writer(folder / "b.txt");
    writer.write("in flight");
    removeTemporaryFilesNow();
    EXPECT_EQ(namesIn(folder.str()), std::vector<std::string>{"a.txt"});
}

TEST(SafeFileRewrite, KeepsModeAndOwnerAndFollowsALink) {
    ScratchFolder folder;
    writeBytes(folder / "photo.jpg", "old");
    ::chmod((folder / "photo.jpg").c_str(), 0640);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown((folder / "photo.jpg").c_str(), 1234, 4321), 0);
    }
    fs::create_symlink("photo.jpg", folder / "link.jpg");

    writeFileSafely(folder / "link.jpg", "turned", WriteMode::Rewrite);

    EXPECT_TRUE(fs::is_symlink(folder / "link.jpg"));
    EXPECT_EQ(readBytes(folder / "photo.jpg"), "turned");
    EXPECT_EQ(modeOf(folder / "photo.jpg"), 0640u);
    if (root) {
        struct stat st {};
        ::stat((folder / "photo.jpg").c_str(), &st);
        EXPECT_EQ(st.st_uid, 1234u);
        EXPECT_EQ(st.st_gid, 4321u);
    }
    EXPECT_EQ((std::vector<std::string>{"link.jpg", "photo.jpg"}), namesIn(folder.str()));
}

TEST(SafeFileRewrite, RefusesAFileWithoutWriteBitsEvenForRoot) {
    ScratchFolder folder;
    writeBytes(folder / "locked.jpg", "original");
    ::chmod((folder / "locked.jpg").c_str(), 0444);
    EXPECT_EQ(rewriteRefusal(folder / "locked.jpg"), EACCES);
    const SafeWriteError error =
        failureOf([&] { writeFileSafely(folder / "locked.jpg", "changed", WriteMode::Rewrite); });
    EXPECT_EQ(error.step(), Step::Create);
    EXPECT_EQ(error.error(), EACCES);
    EXPECT_EQ(readBytes(folder / "locked.jpg"), "original");
    EXPECT_EQ(rewriteRefusal(folder / "missing.jpg"), ENOENT);
    EXPECT_EQ(namesIn(folder.str()), std::vector<std::string>{"locked.jpg"});
}

} // namespace
} // namespace pictorant
