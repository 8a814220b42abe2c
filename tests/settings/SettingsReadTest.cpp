// Settings files that are odd or hostile: refused, not files at all, marked, huge.

#include "SettingsFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <functional>
#include <future>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pictorant {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;
namespace fs = std::filesystem;

// What is made at `path`, and what a load of it must show.
struct ReadCase {
    const char* name;
    std::function<void(const fs::path& path)> make;
    const char* reason;         // after "Cannot read settings file PATH: ", or "" for none
    const char* width;          // [Thumbnails] Thumb Width as read
    const char* longValue = ""; // the first bytes of [T] long, when the case has it
    std::size_t longSize = 0;   // and its length as read
};
void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string kPlain = "[Thumbnails]\nThumb Width=120\n";

class SettingsRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(SettingsRead, ReadsWhatCanBeReadAndNamesWhatCannot) {
    const ReadCase& c = GetParam();
    TempFolder dir;
    const fs::path path = dir / "Pictorant.ini";
    c.make(path);
    // A FIFO must never hold the load; a writer that comes and goes would end the wait.
    auto load = std::async(std::launch::async, [&] { return SettingsFile(path); });
    if (load.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
        FAIL() << "the load waited on " << path;
    }
    SettingsFile f = load.get();
    const std::string expected =
        *c.reason ? "Cannot read settings file " + path.string() + ": " + c.reason : "";
    EXPECT_EQ(f.readError(), expected);
    EXPECT_EQ(f.readText("Thumbnails", "Thumb Width", "96"), c.width);
    if (c.longSize > 0) {
        const std::string value = f.readText("T", "long", "");
        EXPECT_EQ(value.size(), c.longSize);
        EXPECT_EQ(value.substr(0, std::string(c.longValue).size()), c.longValue);
        EXPECT_EQ(f.readText("T", "after", ""), "1") << "the line after a long one is lost";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsRead,
    ::testing::Values(
        ReadCase{"Plain", [](const fs::path& p) { writeFile(p, kPlain); }, "", "120"},
        ReadCase{"Missing", [](const fs::path&) {}, "", "96"},
        ReadCase{"ByteOrderMark", [](const fs::path& p) { writeFile(p, "\xEF\xBB\xBF" + kPlain); },
                 "", "120"},
        ReadCase{"MarkBeforeBlankLines",
                 [](const fs::path& p) { writeFile(p, "\xEF\xBB\xBF\r\n\r\n" + kPlain); }, "",
                 "120"},
        ReadCase{"Folder", [](const fs::path& p) { fs::create_directory(p); }, "not a regular file",
                 "96"},
        ReadCase{"Fifo", [](const fs::path& p) { ::mkfifo(p.c_str(), 0644); }, "not a regular file",
                 "96"},
        ReadCase{"Device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); },
                 "not a regular file", "96"},
        ReadCase{"LinkToAFolder",
                 [](const fs::path& p) { fs::create_directory_symlink(p.parent_path(), p); },
                 "not a regular file", "96"},
        // 3 MB on one line: the value reads as its first 2047 characters, and the lines
        // around it as usual.
        ReadCase{"HugeLine",
                 [](const fs::path& p) {
                     writeFile(p,
                               kPlain + "[T]\nlong=ab" + std::string(3 << 20, 'x') + "\nafter=1\n");
                 },
                 "", "120", "abxx", 2047},
        // The cut at the line limit never splits a letter: 8191 bytes, then two-byte
        // letters over the limit, then the rest of the line skipped.
        ReadCase{"LetterAtTheLineLimit",
                 [](const fs::path& p) {
                     std::string letters;
                     for (int i = 0; i < 5000; ++i)
                         letters += "\xC3\xA9";
                     writeFile(p, "[T]\nlong=" + std::string(8186, 'y') + letters + "\nafter=1\n");
                 },
                 "", "96", "yyyy", 2047}),
    [](const auto& info) { return std::string(info.param.name); });

// A long line kept by a save stays within the limit and whole letters.
TEST(SettingsReadLimit, ASavedLongLineIsCutAtTheLimit) {
    TempFolder dir;
    const fs::path path = dir / "Pictorant.ini";
    std::string letters;
    for (int i = 0; i < 6000; ++i)
        letters += "\xC3\xA9";
    writeFile(path, "[T]\nlong=" + letters + "\n");
    SettingsFile f(path);
    f.writeText("T", "other", "2");
    f.save();
    const std::string saved = readFile(path);
    const std::string line = saved.substr(4, saved.find('\n', 4) - 4);
    EXPECT_EQ(line, "long=" + letters.substr(0, 8186)) << "5 + 4093 letters fit in 8192";
    EXPECT_NE(saved.find("other=2\n"), std::string::npos);
}

// A file that could not be read is never replaced: a save keeps it as it was.
TEST(SettingsReadRefusal, AFileThatCouldNotBeReadIsNotReplaced) {
    TempFolder dir;
    const fs::path folder = dir / "Pictorant.ini";
    fs::create_directory(folder);
    writeFile(folder / "inside", "kept");
    SettingsFile f(folder);
    f.writeText("Thumbnails", "Thumb Width", "300");
    EXPECT_NO_THROW(f.save());
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(readFile(folder / "inside"), "kept");

    // Mended while the program runs: read again, but still not replaced by the session
    // that began without it.
    fs::remove_all(folder);
    writeFile(folder, "[Thumbnails]\nThumb Width=120\n");
    f.reload();
    EXPECT_EQ(f.readError(), "");
    EXPECT_EQ(f.readText("Thumbnails", "Thumb Width", "96"), "120");
    f.writeText("Thumbnails", "Thumb Width", "300");
    f.save();
    EXPECT_EQ(readFile(folder), "[Thumbnails]\nThumb Width=120\n");
}

// Mode 000 stops anyone but root; as root the load runs in a child that has given up
// root for nobody, so the refusal is the system's own.
TEST(SettingsReadRefusal, AnUnreadableFileIsAnErrorAndIsNotReplaced) {
    TempFolder dir;
    ::chmod(dir.path().c_str(), 0755);
    const fs::path path = dir / "Pictorant.ini";
    writeFile(path, kPlain);
    ::chmod(path.c_str(), 0);
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(3);
        SettingsFile f(path);
        const std::string width = f.readText("Thumbnails", "Thumb Width", "96");
        f.writeText("Thumbnails", "Thumb Width", "300");
        bool saved = true;
        try {
            f.save();
        } catch (...) {
            saved = false;
        }
        const std::string report = f.readError() + "|" + width + (saved ? "|quiet" : "|threw");
        [[maybe_unused]] auto w = ::write(pipeEnds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(pipeEnds[1]);
    std::string report;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, std::size_t(got));
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    EXPECT_EQ(report,
              "Cannot read settings file " + path.string() + ": Permission denied|96|quiet");
    ::chmod(path.c_str(), 0644);
    EXPECT_EQ(readFile(path), kPlain);
}

} // namespace
} // namespace pictorant
