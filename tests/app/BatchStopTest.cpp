// SIGINT and SIGTERM sent to a real pictorant-batch in the middle of a long run: one
// stops it after the file in hand, a second ends it at once. Either way every output
// left is a whole picture and no temporary file stays behind.

#include "../engine/PictureMaker.h"
#include "../support/FileFaults.h"
#include "BatchRunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <thread>

namespace pictorant {
namespace {

namespace fs = std::filesystem;
using namespace pictorant::testing;

struct StopCase {
    const char* name;
    int signalNumber;
    int signalsSent;
    const char* workers;
    int status;
};
void PrintTo(const StopCase& c, std::ostream* os) {
    *os << c.name;
}

class BatchStopTest : public ::testing::TestWithParam<StopCase> {};

// Polls until `ready` holds, at most 30 seconds.
bool waitUntil(const std::function<bool()>& ready) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

constexpr int kFiles = 120;

TEST_P(BatchStopTest, StopsBetweenFilesOrAtOnce) {
    const StopCase& c = GetParam();
    TempFolder dir;
    fs::create_directory(dir / "out");
    // Big enough that one file takes a while, copied so that setting up stays quick.
    makePicture(dir / "source.jpg", 1600, 1200);
    std::vector<std::string> args = {"thumbnails", "--output", "out",      "--workers", c.workers,
                                     "--width",    "1200",     "--height", "900"};
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "p" + std::to_string(i) + ".jpg";
        fs::copy_file(dir / "source.jpg", dir / name);
        args.push_back(name);
    }

    BatchProcess process(dir.path(), args);
    ASSERT_TRUE(waitUntil([&] { return fs::exists(dir / "out" / "Thumb001.jpg"); }))
        << "the run wrote nothing";
    process.signal(c.signalNumber);
    if (c.signalsSent == 2) {
        // Two signals sent together would merge into one; the second must come after
        // the first was taken.
        ASSERT_TRUE(
            waitUntil([&] { return process.errorSoFar().find("stopping") != std::string::npos; }));
        process.signal(c.signalNumber);
    }
    const std::optional<BatchResult> r = process.waitFor(60);
    ASSERT_TRUE(r) << "the run did not end";
    EXPECT_EQ(r->status, c.status) << r->err;

    const auto written = namesIn((dir / "out").string());
    EXPECT_LT(written.size(), std::size_t(kFiles));
    for (const auto& name : written) {
        ASSERT_EQ(name.rfind("Thumb", 0), 0u) << "stray file " << name;
        EXPECT_EQ(pictureSize(dir / "out" / name), (Size{1200, 900})) << name;
    }
    if (c.signalsSent == 1) {
        EXPECT_EQ(r->out, "Operation Incomplete. " + std::to_string(written.size()) +
                              " files processed.\n");
    } else {
        EXPECT_EQ(r->out, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, BatchStopTest,
                         ::testing::Values(StopCase{"OneInterrupt", SIGINT, 1, "1", 1},
                                           StopCase{"OneTerminate", SIGTERM, 1, "2", 1},
                                           StopCase{"TwoInterrupts", SIGINT, 2, "2", 130},
                                           StopCase{"TwoTerminates", SIGTERM, 2, "1", 143}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pictorant
