// Runs against file systems that fail: whatever goes wrong, no source changes, no
// half-written output and no temporary file is left, and the cause is named.

#include "BatchEngine.h"
#include "PictureMaker.h"
#include "RunPlan.h"
#include "TestHost.h"
#include "support/FileFaults.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace pictorant {
namespace {

using testing::namesIn;
using testing::readBytes;
using testing::ScratchFolder;
using testing::TestHost;
using testing::writeBytes;
namespace fs = std::filesystem;

enum class Kind { Thumbnails, Copy, Convert };

struct FaultCase {
    const char* label;
    Kind kind;
    int workers;
};

class RunFaults : public ::testing::TestWithParam<FaultCase> {
protected:
    void SetUp() override {
        const FaultCase& c = GetParam();
        job.mode =
            c.kind == Kind::Thumbnails ? JobMode::CreateThumbnails : JobMode::RenameCopyConvert;
        job.renameOnly = false;
        job.convertTo = c.kind == Kind::Copy ? "No Conversion" : "bmp";
        job.thumbWidth = job.thumbHeight = "300";
        job.inputDir = in.str();
        job.qualifier = "Out";
        job.sourceFiles = {"a.jpg", "b.jpg", "c.jpg"};
        for (const std::string& name : job.sourceFiles)
            testing::makePicture(in / name, 240, 180);
        sourcesBefore = snapshotSources();
    }

    std::vector<std::string> snapshotSources() const {
        std::vector<std::string> bytes;
        for (const std::string& name : job.sourceFiles)
            bytes.push_back(readBytes(in / name));
        return bytes;
    }

    RunOutcome go() {
        workspace.workers = GetParam().workers;
        host = std::make_unique<TestHost>(state);
        return startRun(job, state, *host, workspace);
    }

    std::string targetName(int p) const { return planRun(job).files[std::size_t(p)].targetName; }

    ScratchFolder in;
    JobSettings job;
    RunState state;
    PictureWorkspace workspace;
    std::unique_ptr<TestHost> host;
    std::vector<std::string> sourcesBefore;
};

TEST_P(RunFaults, AFullFileSystemLeavesNoPartialOutput) {
    // Room for one output but not two: a 240 x 180 BMP takes 32 pages, a copy the pages of
    // its source.
    const int pages = GetParam().kind == Kind::Copy ? int(sourcesBefore[0].size() + 4095) / 4096
                                                    : (54 + 240 * 180 * 3 + 4095) / 4096;
    testing::TinyFileSystem disk(pages * 4 + 8);
    if (!disk.mounted())
        GTEST_SKIP() << disk.skipReason();
    job.outputDir = disk.str();
    const RunOutcome outcome = go();

    EXPECT_FALSE(outcome.complete);
    EXPECT_EQ(host->messages, std::vector<std::string>{"Error during processing!"});
    ASSERT_EQ(host->failures.size(), 1u);
    EXPECT_NE(host->failures[0].find("No space left on device"), std::string::npos)
        << host->failures[0];
    EXPECT_EQ(host->failures[0].find("Cannot create"), std::string::npos) << host->failures[0];
    // Only whole outputs stand: the ones the run counted.
    const auto names = namesIn(disk.str());
    EXPECT_EQ(int(names.size()), state.processedCount);
    for (const std::string& name : names)
        EXPECT_EQ(name.rfind("Out", 0), 0u) << name;
    for (int p = 0; p < state.processedCount; ++p)
        EXPECT_EQ(testing::fileBytes(disk / names[std::size_t(p)]).size(),
                  GetParam().kind == Kind::Copy ? sourcesBefore[std::size_t(p)].size()
                                                : 54u + 240u * 180u * 3u);
    EXPECT_TRUE(snapshotSources() == sourcesBefore);
}

TEST_P(RunFaults, ALinkAtATargetNameIsReplacedNotWrittenThrough) {
    ScratchFolder out, elsewhere;
    writeBytes(elsewhere / "victim.txt", "not a picture");
    job.outputDir = out.str();
    fs::create_symlink(elsewhere / "victim.txt", out / targetName(1));

    EXPECT_TRUE(go().complete);
    EXPECT_TRUE(readBytes(elsewhere / "victim.txt") == "not a picture");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(out / targetName(1))));
    EXPECT_EQ(namesIn(out.str()).size(), 3u);
}

TEST_P(RunFaults, ANameTooLongFailsThatFileAndLeavesNothingStray) {
    ScratchFolder out;
    job.outputDir = out.str();
    job.namingOption = NamingOption::PreName;
    job.qualifier = std::string(252, 'q'); // with "a" and an extension: 257 bytes
    EXPECT_EQ(plannedActionText(planRun(job).files[0]), "refused: name too long");

    EXPECT_FALSE(go().complete);
    EXPECT_EQ(host->messages, std::vector<std::string>{"Error during processing!"});
    ASSERT_EQ(host->failures.size(), 1u);
    EXPECT_NE(host->failures[0].find("File name too long"), std::string::npos) << host->failures[0];
    EXPECT_TRUE(namesIn(out.str()).empty());
}

TEST_P(RunFaults, ASourceDeletedAfterThePlanStopsTheRunThere) {
    ScratchFolder out;
    job.outputDir = out.str();
    const RunPlan plan = planRun(job);
    ASSERT_FALSE(plan.refusal);
    fs::remove(in / "b.jpg");

    EXPECT_FALSE(go().complete);
    EXPECT_EQ(state.processedCount, 1);
    EXPECT_EQ(namesIn(out.str()), std::vector<std::string>{plan.files[0].targetName});
    EXPECT_TRUE(readBytes(in / "a.jpg") == sourcesBefore[0]);
}

TEST_P(RunFaults, AFifoSourceFailsAtOnceInsteadOfWaiting) {
    ScratchFolder out;
    job.outputDir = out.str();
    fs::remove(in / "b.jpg");
    ASSERT_EQ(::mkfifo((in / "b.jpg").c_str(), 0644), 0);
    auto finished = std::async(std::launch::async, [&] { return go(); });
    if (finished.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        // Let the stuck reader go, so the test ends with the failure.
        ::close(::open((in / "b.jpg").c_str(), O_WRONLY | O_NONBLOCK));
        finished.wait();
        FAIL() << "the run waited on the FIFO";
    }
    EXPECT_FALSE(finished.get().complete);
    EXPECT_EQ(state.processedCount, 1);
    const std::string said = host->messages.empty() ? "" : host->messages[0];
    const std::string detail = host->failures.empty() ? "" : host->failures[0];
    EXPECT_EQ(said,
              GetParam().kind == Kind::Copy ? "Error during processing!" : "Could not open b.jpg");
    EXPECT_NE(detail.find("Not a regular file"), std::string::npos) << detail;
    EXPECT_EQ(namesIn(out.str()).size(), 1u);
}

const FaultCase kFaultCases[] = {
    {"Thumbnails", Kind::Thumbnails, 1},
    {"ThumbnailsAhead", Kind::Thumbnails, 2},
    {"Convert", Kind::Convert, 1},
    {"ConvertAhead", Kind::Convert, 2},
    {"Copy", Kind::Copy, 1},
};
INSTANTIATE_TEST_SUITE_P(Runs, RunFaults, ::testing::ValuesIn(kFaultCases),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace pictorant
