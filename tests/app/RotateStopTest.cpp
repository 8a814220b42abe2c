// SIGINT and SIGTERM sent to a real pictorant-batch rotate while it writes the turned
// picture: the hidden temporary file goes with it and the original stays as it was.

#include "../engine/PictureMaker.h"
#include "../support/FileFaults.h"
#include "BatchRunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <dirent.h>

namespace pictorant {
namespace {

using namespace pictorant::testing;
namespace fs = std::filesystem;

// The name of a temporary file of the safe writer in `folder`, or "".
std::string temporaryIn(const fs::path& folder) {
    std::string found;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d)) {
            const std::string name = e->d_name;
            if (name.starts_with(".pictorant-") && name.ends_with(".tmp"))
                found = name;
        }
        ::closedir(d);
    }
    return found;
}

struct StopCase {
    const char* name;
    int signalNumber;
    int status;
};
void PrintTo(const StopCase& c, std::ostream* os) {
    *os << c.name;
}

class RotateStop : public ::testing::TestWithParam<StopCase> {};

// The signal must land while the temporary file exists. Polling finds it within
// microseconds of its creation while the 36 MB write takes milliseconds, but a signal
// that comes after the rename proves nothing; such a try is made again.
TEST_P(RotateStop, ASignalDuringTheWriteLeavesNoTemporaryFile) {
    const StopCase& c = GetParam();
    TempFolder dir;
    makePicture(dir / "original.bmp", 4000, 3000, "BMP");
    const std::string original = readBytes((dir / "original.bmp").string());
    bool caughtInTheWrite = false;
    for (int attempt = 0; attempt < 10 && !caughtInTheWrite; ++attempt) {
        SCOPED_TRACE(attempt);
        fs::remove_all(dir / "pics");
        fs::create_directory(dir / "pics");
        fs::copy_file(dir / "original.bmp", dir / "pics" / "big.bmp");
        BatchProcess process(dir.path(), {"rotate", "cw", "pics/big.bmp"});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        std::string temporary;
        while (temporary.empty() && std::chrono::steady_clock::now() < deadline)
            temporary = temporaryIn(dir / "pics");
        ASSERT_FALSE(temporary.empty()) << "no temporary file was seen";
        process.signal(c.signalNumber);
        const std::optional<BatchResult> r = process.waitFor(30);
        ASSERT_TRUE(r) << "rotate did not end";
        EXPECT_EQ(namesIn((dir / "pics").string()), std::vector<std::string>{"big.bmp"})
            << "a temporary file stayed";
        const std::string now = readBytes((dir / "pics" / "big.bmp").string());
        if (now == original) {
            // The writer removes its temporary file only on the rename or a failure;
            // neither happened, so the signal handler did.
            EXPECT_EQ(r->status, c.status) << r->err;
            EXPECT_EQ(r->out, "");
            caughtInTheWrite = true;
        } else {
            EXPECT_EQ(pictureSize(dir / "pics" / "big.bmp"), (Size{3000, 4000}));
        }
    }
    EXPECT_TRUE(caughtInTheWrite) << "the signal never came during the write";
}

INSTANTIATE_TEST_SUITE_P(Table, RotateStop,
                         ::testing::Values(StopCase{"Interrupt", SIGINT, 130},
                                           StopCase{"Terminate", SIGTERM, 143}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pictorant
