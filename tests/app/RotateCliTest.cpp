// pictorant-batch rotate on files that must be rewritten in place, or refused.

#include "../engine/PictureMaker.h"
#include "../settings/TempFolder.h"
#include "BatchRunner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pictorant {
namespace {

using namespace pictorant::testing;
namespace fs = std::filesystem;

// A folder with pics/a.bmp (40 x 30) and pics/b.bmp (40 x 30); `prepare` changes it,
// the command turns `files` clockwise, and `check` looks at the folder afterwards.
struct RotateCase {
    const char* name;
    std::function<void(const fs::path& dir)> prepare;
    std::vector<std::string> files;
    int status;
    const char* err; // standard error, exactly
    std::function<void(const fs::path& dir)> check;
    const char* fifo = nullptr; // a FIFO the command must not wait on
};
void PrintTo(const RotateCase& c, std::ostream* os) {
    *os << c.name;
}

class RotateCli : public ::testing::TestWithParam<RotateCase> {};

TEST_P(RotateCli, RewritesInPlaceOrRefuses) {
    const RotateCase& c = GetParam();
    TempFolder dir;
    fs::create_directory(dir / "pics");
    makePicture(dir / "pics" / "a.bmp", 40, 30, "BMP");
    makePicture(dir / "pics" / "b.bmp", 40, 30, "BMP");
    c.prepare(dir.path());
    std::vector<std::string> args = {"rotate", "cw"};
    args.insert(args.end(), c.files.begin(), c.files.end());
    // Should the command wait on the FIFO, a writer that comes and goes ends the wait, so
    // the fault shows as a failure instead of a test that never ends.
    std::atomic<bool> finished{false}, released{false};
    std::thread watchdog([&] {
        if (!c.fifo)
            return;
        for (int i = 0; i < 200 && !finished; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        while (!finished) {
            const int fd = ::open((dir / c.fifo).c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                released = true;
                ::close(fd);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    });
    const BatchResult r = runBatch(dir.path(), args);
    finished = true;
    watchdog.join();
    EXPECT_FALSE(released) << "the command waited on the FIFO";
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.err, c.err);
    c.check(dir.path());
}

mode_t modeOf(const fs::path& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

const Size kTurned{30, 40};
const Size kUpright{40, 30};

const RotateCase kCases[] = {
    {"ReadOnlyFileIsRefusedAndUnchanged",
     [](const fs::path& dir) { fs::permissions(dir / "pics" / "a.bmp", fs::perms(0444)); },
     {"pics/a.bmp"},
     1,
     "pics/a.bmp: Cannot create file \"pics/a.bmp\". Permission denied\n",
     [](const fs::path& dir) {
         EXPECT_EQ(fileBytes(dir / "pics" / "a.bmp"), fileBytes(dir / "pics" / "b.bmp"));
         EXPECT_EQ(modeOf(dir / "pics" / "a.bmp"), 0444u);
     }},
    {"ARefusedFileDoesNotStopTheNextOne",
     [](const fs::path& dir) { fs::permissions(dir / "pics" / "a.bmp", fs::perms(0555)); },
     {"pics/a.bmp", "pics/b.bmp"},
     1,
     "pics/a.bmp: Cannot create file \"pics/a.bmp\". Permission denied\n",
     [](const fs::path& dir) {
         EXPECT_EQ(pictureSize(dir / "pics" / "a.bmp"), kUpright);
         EXPECT_EQ(pictureSize(dir / "pics" / "b.bmp"), kTurned);
     }},
    {"ALinkIsFollowedAndStaysALink",
     [](const fs::path& dir) { fs::create_symlink("pics/a.bmp", dir / "link.bmp"); },
     {"link.bmp"},
     0,
     "",
     [](const fs::path& dir) {
         EXPECT_TRUE(fs::is_symlink(dir / "link.bmp"));
         EXPECT_EQ(fs::read_symlink(dir / "link.bmp"), "pics/a.bmp");
         EXPECT_EQ(pictureSize(dir / "pics" / "a.bmp"), kTurned);
     }},
    {"OwnerGroupAndModeAreKept",
     [](const fs::path& dir) {
         fs::permissions(dir / "pics" / "a.bmp", fs::perms(0604));
         if (::geteuid() == 0) {
             ASSERT_EQ(::chown((dir / "pics" / "a.bmp").c_str(), 2345, 3456), 0);
         }
     },
     {"pics/a.bmp"},
     0,
     "",
     [](const fs::path& dir) {
         struct stat st {};
         ASSERT_EQ(::stat((dir / "pics" / "a.bmp").c_str(), &st), 0);
         EXPECT_EQ(st.st_mode & 07777, 0604u);
         if (::geteuid() == 0) {
             EXPECT_EQ(st.st_uid, 2345u);
             EXPECT_EQ(st.st_gid, 3456u);
         }
         EXPECT_EQ(pictureSize(dir / "pics" / "a.bmp"), kTurned);
         int files = 0;
         for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir / "pics"))
             ++files;
         EXPECT_EQ(files, 2) << "no temporary file left";
     }},
    {"AFifoFailsAtOnce",
     [](const fs::path& dir) { ASSERT_EQ(::mkfifo((dir / "pipe.bmp").c_str(), 0644), 0); },
     {"pipe.bmp", "pics/b.bmp"},
     1,
     "pipe.bmp: Cannot open file \"pipe.bmp\". Not a regular file\n",
     [](const fs::path& dir) {
         EXPECT_EQ(fs::status(dir / "pipe.bmp").type(), fs::file_type::fifo);
         EXPECT_EQ(pictureSize(dir / "pics" / "b.bmp"), kTurned);
     },
     "pipe.bmp"},
};

INSTANTIATE_TEST_SUITE_P(Rotate, RotateCli, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pictorant
