// A run that keeps going: a file that cannot be read or written is reported and counted,
// the files after it are still done, and the run ends incomplete. Without the option the
// same folder stops the run at that file.
#include "../settings/TempFolder.h"
#include "BatchEngine.h"
#include "PictureMaker.h"
#include "Runs.h"
#include "TestHost.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pictorant {
namespace {

using namespace pictorant::testing;
namespace fs = std::filesystem;

enum class Fault {
    Unreadable, // the middle source is no picture (a folder, for the copy run)
    Unwritable, // the middle output name is taken by a folder, so the write fails
};

struct KeepGoingCase {
    const char* name;
    JobMode mode;
    bool renameOnly;
    const char* convertTo;
    int workers;
    Fault fault;
    const char* middleOutput; // the output name of the middle file
};
void PrintTo(const KeepGoingCase& c, std::ostream* os) {
    *os << c.name;
}

const KeepGoingCase kCases[] = {
    {"ThumbnailsBrokenSource", JobMode::CreateThumbnails, false, "jpg", 1, Fault::Unreadable,
     "Thumbb.jpg"},
    {"ThumbnailsAheadBrokenSource", JobMode::CreateThumbnails, false, "jpg", 2, Fault::Unreadable,
     "Thumbb.jpg"},
    {"ThumbnailsOutputTaken", JobMode::CreateThumbnails, false, "jpg", 1, Fault::Unwritable,
     "Thumbb.jpg"},
    {"ThumbnailsAheadOutputTaken", JobMode::CreateThumbnails, false, "jpg", 2, Fault::Unwritable,
     "Thumbb.jpg"},
    {"ConvertBrokenSource", JobMode::RenameCopyConvert, false, "gif", 1, Fault::Unreadable,
     "Thumbb.gif"},
    {"ConvertAheadOutputTaken", JobMode::RenameCopyConvert, false, "gif", 2, Fault::Unwritable,
     "Thumbb.gif"},
    {"CopySourceIsAFolder", JobMode::RenameCopyConvert, false, "No Conversion", 1,
     Fault::Unreadable, "Thumbb.bmp"},
    {"CopyOutputTaken", JobMode::RenameCopyConvert, false, "No Conversion", 1, Fault::Unwritable,
     "Thumbb.bmp"},
};

class KeepGoing : public ::testing::TestWithParam<KeepGoingCase> {
protected:
    void SetUp() override {
        const KeepGoingCase& c = GetParam();
        makePicture(in / "a.bmp", 40, 30, "BMP");
        if (c.fault == Fault::Unreadable && std::string(c.convertTo) == "No Conversion")
            fs::create_directory(in / "b.bmp");
        else if (c.fault == Fault::Unreadable)
            writeFile(in / "b.bmp", "BM but not a bitmap at all");
        else
            makePicture(in / "b.bmp", 20, 50, "BMP");
        makePicture(in / "c.bmp", 60, 10, "BMP");
        if (c.fault == Fault::Unwritable)
            fs::create_directory(out / c.middleOutput);

        job.mode = c.mode;
        job.renameOnly = c.renameOnly;
        job.convertTo = c.convertTo;
        job.qualifier = "Thumb";
        job.namingOption = NamingOption::PreName;
        job.inputDir = in.str();
        job.outputDir = out.str();
        job.sourceFiles = {"a.bmp", "b.bmp", "c.bmp"};
        workspace.workers = c.workers;
        workspace.renameJournalPath.clear();
    }

    std::string output(const char* stem) const {
        std::string type = GetParam().convertTo;
        if (type == "No Conversion")
            type = "bmp";
        return std::string("Thumb") + stem + "." + type;
    }

    TempFolder in, out;
    JobSettings job;
    RunState state;
    PictureWorkspace workspace;
};

TEST_P(KeepGoing, ReportsTheFailedFileAndDoesTheOthers) {
    job.keepGoing = true;
    TestHost host(state);
    const RunOutcome outcome = startRun(job, state, host, workspace);

    EXPECT_TRUE(fs::is_regular_file(out / output("a")));
    EXPECT_TRUE(fs::is_regular_file(out / output("c"))) << "the file after the failure";
    EXPECT_FALSE(outcome.complete);
    EXPECT_FALSE(state.runFailed);
    EXPECT_EQ(outcome.closingLine, "Operation Incomplete. 2 files processed.");
    EXPECT_EQ(state.failedCount, 1);
    ASSERT_EQ(host.failedFiles, std::vector<std::string>{"b.bmp"});
    EXPECT_FALSE(host.failedWhy.front().empty());
    if (GetParam().fault == Fault::Unreadable &&
        std::string(GetParam().convertTo) != "No Conversion") {
        EXPECT_EQ(host.failedWhy.front().rfind(kCouldNotOpen, 0), 0u) << host.failedWhy.front();
    }
    // The failure is this run's report, not a message box that waits for OK.
    EXPECT_TRUE(host.messages.empty()) << host.messages.front();
    // The gallery shows the two written files only.
    const auto entries = state.galleryEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(fs::path(entries[0].outputPath).filename(), output("a"));
    EXPECT_EQ(fs::path(entries[1].outputPath).filename(), output("c"));
    EXPECT_EQ(host.progressLines.back(), "3 of 3");
    // No temporary file is left by the failed write.
    for (const auto& e : fs::directory_iterator(out.path()))
        EXPECT_EQ(e.path().filename().string().find(".pictorant-"), std::string::npos);
}

TEST_P(KeepGoing, WithoutItTheRunEndsAtTheFailedFile) {
    TestHost host(state);
    const RunOutcome outcome = startRun(job, state, host, workspace);

    EXPECT_TRUE(fs::is_regular_file(out / output("a")));
    EXPECT_FALSE(fs::exists(out / output("c")));
    EXPECT_FALSE(outcome.complete);
    EXPECT_EQ(outcome.closingLine, "Operation Incomplete. 1 files processed.");
    EXPECT_EQ(state.failedCount, 0);
    EXPECT_TRUE(host.failedFiles.empty());
    EXPECT_FALSE(host.messages.empty()) << "the window's message for the failure";
}

INSTANTIATE_TEST_SUITE_P(Runs, KeepGoing, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A run with nothing failing is complete whatever the option says.
TEST(KeepGoingRun, CompleteWhenNothingFails) {
    TempFolder in, out;
    makePicture(in / "a.bmp", 10, 10, "BMP");
    makePicture(in / "b.bmp", 12, 10, "BMP");
    JobSettings job;
    job.keepGoing = true;
    job.inputDir = in.str();
    job.outputDir = out.str();
    job.sourceFiles = {"a.bmp", "b.bmp"};
    RunState state;
    state.failedCount = 5; // left from an earlier run
    PictureWorkspace workspace;
    TestHost host(state);
    const RunOutcome outcome = startRun(job, state, host, workspace);
    EXPECT_TRUE(outcome.complete);
    EXPECT_EQ(state.failedCount, 0);
    EXPECT_EQ(outcome.closingLine, "Operation complete. 2 files processed.");
}

} // namespace
} // namespace pictorant
