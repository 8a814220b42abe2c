// The runs through startRun: what each records and shows, and how a failure ends it.
#include "tests/support/PictureMaker.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

namespace pictorant {
namespace {

using namespace pictorant::testing;

class Runs : public ::testing::Test, protected RunSetup {
protected:
    void files(const std::vector<std::string>& names) {
        for (const auto& n : names)
            writeBytes(in / n, "content of " + n);
        job.sourceFiles = names;
    }
    void mode(JobMode m, bool renameOnly = false, Conversion c = Conversion::Jpg) {
        job.mode = m;
        job.renameOnly = renameOnly;
        job.convertTo = c;
        job.qualifier = m == JobMode::CreateThumbnails ? "Thumb" : "Image";
    }
};

TEST_F(Runs, RenameRecordsNewPathsAndBarInSelectionOrder) {
    mode(JobMode::RenameCopyConvert, true);
    files({"a.jpg", "b.jpg", "c.jpg"});
    const RunOutcome r = go();
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.closingLine, "Operation complete. 3 files processed.");
    EXPECT_EQ(readBytes(in / "Image003.jpg"), "content of c.jpg");
    EXPECT_EQ(namesIn(in.str()),
              (std::vector<std::string>{"Image001.jpg", "Image002.jpg", "Image003.jpg"}));
    const ProcessedFile& e = state.ProcessedFileList[1];
    EXPECT_EQ(e.originalPath, in / "Image002.jpg");
    EXPECT_EQ(e.outputPath, e.originalPath);
    EXPECT_EQ(e.originalBytes, 16);
    EXPECT_EQ(host->progressLines,
              (std::vector<std::string>{"1 of 3", "1 of 3", "2 of 3", "3 of 3"}));
    EXPECT_EQ(host->barMax, 3);
    EXPECT_EQ(host->bar, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(host->paneRereads, 1);
    EXPECT_EQ(state.galleryEntries().size(), 3u);
}

TEST_F(Runs, RenameStopsAtATakenNameAndKeepsEarlierRenames) {
    mode(JobMode::RenameCopyConvert, true);
    files({"a.jpg", "b.jpg", "c.jpg"});
    writeBytes(in / "Image002.jpg", "taken");
    const RunOutcome r = go();
    EXPECT_EQ(r.closingLine, "Operation Incomplete. 1 files processed.");
    EXPECT_EQ(host->messages, std::vector<std::string>{
                                  "Error - duplicate name in folder.  Rename Operation stopped."});
    EXPECT_EQ(host->messageIds, std::vector<RunMessage>{RunMessage::DuplicateName});
    EXPECT_EQ(namesIn(in.str()),
              (std::vector<std::string>{"Image001.jpg", "Image002.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(readBytes(in / "Image002.jpg"), "taken");
    // The bar starts again and shows the one file; the panes are read at the stop and
    // at the end.
    EXPECT_EQ(host->bar, (std::vector<int>{1, 0, 1}));
    EXPECT_EQ(host->paneRereads, 2);
    ASSERT_EQ(state.galleryEntries().size(), 1u);
    EXPECT_FALSE(state.ProcessedFileList[2].reached);
}

// Failures nobody planned for end the run with the one message, whatever the run; a
// rename's end it even when the run keeps going.
TEST_F(Runs, AnUnexpectedFailureEndsTheRunWithErrorDuringProcessing) {
    const struct {
        JobMode mode;
        bool renameOnly, keepGoing;
        const char *width, *seqStart, *second; // a second source, or ""
        int processed;
    } cases[] = {{JobMode::CreateThumbnails, false, true, "big", "001", "", 0},
                 {JobMode::RenameCopyConvert, true, true, "96", "1a", "", 0},
                 {JobMode::RenameCopyConvert, true, true, "96", "001", "gone.jpg", 1},
                 {JobMode::RenameCopyConvert, false, false, "96", "001", "gone.jpg", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.width) + c.seqStart + c.second);
        ScratchFolder from;
        makePicture(from / "a.jpg", 16, 12);
        job.inputDir = from.str();
        mode(c.mode, c.renameOnly, Conversion::NoConversion);
        job.keepGoing = c.keepGoing;
        job.thumbWidth = c.width;
        job.seqStart = c.seqStart;
        job.sourceFiles = {"a.jpg"};
        if (*c.second)
            job.sourceFiles.push_back(c.second);
        const RunOutcome r = go();
        EXPECT_EQ(r.closingLine,
                  "Operation Incomplete. " + std::to_string(c.processed) + " files processed.");
        EXPECT_TRUE(state.runFailed);
        EXPECT_EQ(host->messageIds, std::vector<RunMessage>{RunMessage::ErrorDuringProcessing});
        EXPECT_EQ(host->messages, std::vector<std::string>{"Error during processing!"});
        EXPECT_TRUE(host->failedFiles.empty());
        EXPECT_EQ(host->paneRereads, 1);
        EXPECT_EQ(state.galleryEntries().size(), std::size_t(c.processed));
    }
}

} // namespace
} // namespace pictorant
