// Runs against file systems that fail: no source changes, no half-written output or
// temporary file is left, the cause is named, and a run that keeps going goes on.
#include "engine/RunPlan.h"
#include "engine/Runs.h"
#include "tests/support/PictureMaker.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace pictorant {
namespace {

using namespace pictorant::testing;
namespace fs = std::filesystem;

struct FaultCase {
    const char* label;
    RunKind kind;
    int workers;
};

class RunFaults : public ::testing::TestWithParam<FaultCase>, protected RunSetup {
protected:
    void SetUp() override {
        job.mode =
            kind() == RunKind::Thumbnails ? JobMode::CreateThumbnails : JobMode::RenameCopyConvert;
        job.renameOnly = false;
        job.convertTo = kind() == RunKind::Copy ? Conversion::NoConversion : Conversion::Bmp;
        job.thumbWidth = job.thumbHeight = "300";
        workspace.workers = GetParam().workers;
        job.qualifier = "Out";
        job.sourceFiles = {"a.jpg", "b.jpg", "c.jpg"};
        for (const std::string& name : job.sourceFiles)
            makePicture(in / name, 240, 180);
        sourcesBefore = sources();
    }
    RunKind kind() const { return GetParam().kind; }
    std::vector<std::string> sources() const {
        std::vector<std::string> bytes;
        for (const std::string& name : job.sourceFiles)
            bytes.push_back(readBytes(in / name));
        return bytes;
    }
    void expectFailure(const std::string& cause) {
        EXPECT_EQ(host->messages, std::vector<std::string>{"Error during processing!"});
        ASSERT_EQ(host->failures.size(), 1u);
        EXPECT_NE(host->failures[0].find(cause), std::string::npos) << host->failures[0];
        EXPECT_TRUE(sources() == sourcesBefore);
    }

    std::vector<std::string> sourcesBefore;
};

TEST_P(RunFaults, AFullFileSystemLeavesOnlyWholeOutputs) {
    // Room for one output but not two: a 240 x 180 BMP takes 32 pages, a copy the pages
    // of its source.
    const std::size_t size =
        kind() == RunKind::Copy ? sourcesBefore[0].size() : 54u + 240u * 180u * 3u;
    TinyFileSystem disk(int(size + 4095) / 4096 * 4 + 8);
    if (!disk.mounted())
        GTEST_SKIP() << disk.skipReason();
    job.outputDir = disk.str();
    EXPECT_FALSE(go().complete);
    expectFailure("No space left on device");
    EXPECT_EQ(host->failures[0].find("Cannot create"), std::string::npos) << host->failures[0];
    const auto names = namesIn(disk.str());
    ASSERT_EQ(int(names.size()), state.processedCount);
    for (const std::string& name : names)
        EXPECT_EQ(readBytes(disk / name).size(),
                  kind() == RunKind::Copy ? sourcesBefore[0].size() : size)
            << name;
}

TEST_P(RunFaults, ANameTooLongFailsAndLeavesNothingStray) {
    job.namingOption = NamingOption::PreName;
    job.qualifier = std::string(252, 'q'); // with "a" and an extension: 257 bytes
    EXPECT_FALSE(go().complete);
    expectFailure("File name too long");
    EXPECT_TRUE(namesIn(out.str()).empty());
}

TEST_P(RunFaults, AFifoSourceStopsTheRunThereAtOnce) {
    fs::remove(in / "b.jpg");
    ASSERT_EQ(::mkfifo((in / "b.jpg").c_str(), 0644), 0);
    auto finished = std::async(std::launch::async, [&] { return go(); });
    if (finished.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        ::close(::open((in / "b.jpg").c_str(), O_WRONLY | O_NONBLOCK)); // let it go
        finished.wait();
        FAIL() << "the run waited on the FIFO";
    }
    EXPECT_FALSE(finished.get().complete);
    EXPECT_EQ(namesIn(out.str()), std::vector<std::string>{planRun(job).files[0].targetName});
    ASSERT_EQ(host->failures.size(), 1u);
    EXPECT_NE(host->failures[0].find("Not a regular file"), std::string::npos);
    EXPECT_EQ(host->messages,
              std::vector<std::string>{kind() == RunKind::Copy ? "Error during processing!"
                                                               : "Could not open b.jpg"});
}

// The middle file cannot be read (a folder, or no picture) or written (its output name
// is a folder): with keepGoing the failure is reported and the other two are done.
TEST_P(RunFaults, KeepGoingDoesTheOtherFiles) {
    job.keepGoing = true;
    for (bool unreadable : {true, false}) {
        SCOPED_TRACE(unreadable);
        ScratchFolder to;
        job.outputDir = to.str();
        fs::remove_all(in / "b.jpg");
        if (!unreadable)
            makePicture(in / "b.jpg", 20, 50);
        else if (kind() == RunKind::Copy)
            fs::create_directory(in / "b.jpg");
        else
            writeBytes(in / "b.jpg", "\xFF\xD8\xFF but not a picture");
        const RunPlan plan = planRun(job);
        if (!unreadable)
            fs::create_directory(plan.files[1].targetPath);
        const RunOutcome r = go();
        EXPECT_FALSE(r.complete || state.runFailed);
        EXPECT_EQ(r.closingLine, "Operation Incomplete. 2 files processed.");
        EXPECT_EQ(state.failedCount, 1);
        EXPECT_TRUE(host->messages.empty()) << host->messages.front();
        ASSERT_EQ(host->failedFiles.size(), 1u);
        const bool opening = unreadable && kind() != RunKind::Copy;
        EXPECT_EQ(host->failedFiles[0].rfind(opening ? "b.jpg: Could not open: " : "b.jpg: ", 0),
                  0u)
            << host->failedFiles[0];
        EXPECT_EQ(host->progressLines.back(), "3 of 3");
        ASSERT_EQ(state.galleryEntries().size(), 2u);
        EXPECT_EQ(state.galleryEntries()[1].outputPath, plan.files[2].targetPath);
        EXPECT_EQ(namesIn(to.str()).size(), unreadable ? 2u : 3u); // nothing stray
    }
}

const FaultCase kFaultCases[] = {
    {"Thumbnails", RunKind::Thumbnails, 1},
    {"ThumbnailsAhead", RunKind::Thumbnails, 2},
    {"Convert", RunKind::Convert, 1},
    {"ConvertAhead", RunKind::Convert, 2},
    {"Copy", RunKind::Copy, 1},
};
INSTANTIATE_TEST_SUITE_P(Runs, RunFaults, ::testing::ValuesIn(kFaultCases),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
} // namespace pictorant
