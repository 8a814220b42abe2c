#include "../settings/TempFolder.h"
#include "BatchEngine.h"
#include "FileOps.h"
#include "TestHost.h"

#include <gtest/gtest.h>

namespace pictorant {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::TestHost;
using testing::writeFile;

class FileRunTest : public ::testing::Test {
protected:
    // Files named in `names`, each holding its own name as content.
    void makeFiles(const std::vector<std::string>& names) {
        for (const auto& n : names)
            writeFile(in / n, "content of " + n);
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(in / name); }

    RunOutcome go(int cancelAfter = -1) {
        host = std::make_unique<TestHost>(state, cancelAfter);
        return startRun(job, state, *host, workspace);
    }

    TempFolder in;
    TempFolder out;
    JobSettings job;
    RunState state;
    PictureWorkspace workspace;
    std::unique_ptr<TestHost> host;
};

class RenameRunTest : public FileRunTest {
protected:
    void SetUp() override {
        job.mode = JobMode::RenameCopyConvert;
        job.renameOnly = true;
        job.inputDir = in.str();
        job.outputDir = out.str(); // never used by a rename
        job.qualifier = "Image";
    }
};

TEST_F(RenameRunTest, RenamesInSelectionOrderAndRecordsTheNewPaths) {
    makeFiles({"a.jpg", "b.jpg", "c.jpg"});
    job.sourceFiles = {"a.jpg", "b.jpg", "c.jpg"};
    const RunOutcome r = go();
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(r.closingLine, "Operation complete. 3 files processed.");
    EXPECT_EQ(host->closingLine, r.closingLine);
    EXPECT_EQ(readFile(in / "Image001.jpg"), "content of a.jpg");
    EXPECT_EQ(readFile(in / "Image003.jpg"), "content of c.jpg");
    EXPECT_FALSE(exists("a.jpg"));
    EXPECT_EQ(state.processedCount, 3);
    const ProcessedFile& e = state.ProcessedFileList[1];
    EXPECT_EQ(e.originalPath, (in / "Image002.jpg").string());
    EXPECT_EQ(e.outputPath, e.originalPath);
    EXPECT_EQ(e.originalBytes, 16);
    EXPECT_EQ(e.outputWidth, -1);
    EXPECT_EQ(e.outputHeight, -1);
    EXPECT_EQ(host->progressLines.back(), "3 of 3");
    EXPECT_EQ(host->barMax, 3);
    EXPECT_EQ(host->bar(), 3);
    EXPECT_TRUE(std::filesystem::is_empty(out.path()));
    EXPECT_EQ(state.galleryEntries().size(), 3u);
}

TEST_F(RenameRunTest, ATakenNameStopsTheRunAndEarlierRenamesStay) {
    makeFiles({"a.jpg", "b.jpg", "c.jpg", "Image002.jpg"});
    job.sourceFiles = {"a.jpg", "b.jpg", "c.jpg"};
    const RunOutcome r = go();
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.closingLine, "Operation Incomplete. 1 files processed.");
    ASSERT_EQ(host->messages.size(), 1u);
    EXPECT_EQ(host->messages[0], "Error - duplicate name in folder.  Rename Operation stopped.");
    EXPECT_EQ(host->messageIds[0], RunMessage::DuplicateName);
    EXPECT_TRUE(exists("Image001.jpg"));
    EXPECT_TRUE(exists("b.jpg"));
    EXPECT_TRUE(exists("c.jpg"));
    EXPECT_EQ(readFile(in / "Image002.jpg"), "content of Image002.jpg");
    EXPECT_TRUE(state.stopRequested);
    EXPECT_EQ(host->progressLines.back(), "2 of 3");
    ASSERT_EQ(state.galleryEntries().size(), 1u);
    EXPECT_EQ(state.galleryEntries()[0].outputPath, (in / "Image001.jpg").string());
}

TEST_F(RenameRunTest, ALaterSelectedFileHoldingTheNewNameCollides) {
    makeFiles({"a.jpg", "Image001.jpg"});
    job.sourceFiles = {"a.jpg", "Image001.jpg"};
    EXPECT_EQ(go().closingLine, "Operation Incomplete. 0 files processed.");
    EXPECT_TRUE(exists("a.jpg"));
    EXPECT_EQ(readFile(in / "Image001.jpg"), "content of Image001.jpg");
}

TEST_F(RenameRunTest, AnEarlierFileFreesTheNameOfALaterOne) {
    makeFiles({"Image002.jpg", "x.jpg"});
    job.sourceFiles = {"Image002.jpg", "x.jpg"};
    EXPECT_TRUE(go().complete);
    EXPECT_EQ(readFile(in / "Image001.jpg"), "content of Image002.jpg");
    EXPECT_EQ(readFile(in / "Image002.jpg"), "content of x.jpg");
}

TEST_F(RenameRunTest, ANameLeftUnchangedCountsAsTaken) {
    makeFiles({"Image001.jpg"});
    job.sourceFiles = {"Image001.jpg"};
    EXPECT_FALSE(go().complete);
    EXPECT_EQ(state.processedCount, 0);
}

TEST_F(RenameRunTest, SufNameKeepsTheCaseOfTheExtension) {
    makeFiles({"Beach.JPG"});
    job.sourceFiles = {"Beach.JPG"};
    job.namingOption = NamingOption::SufName;
    job.qualifier = "_old";
    EXPECT_TRUE(go().complete);
    EXPECT_TRUE(exists("Beach_old.JPG"));
}

TEST_F(RenameRunTest, CancelDuringTheSecondFileOfFive) {
    makeFiles({"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"});
    job.sourceFiles = {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"};
    const RunOutcome r = go(/*cancelAfter=*/2);
    EXPECT_EQ(r.closingLine, "Operation Incomplete. 2 files processed.");
    EXPECT_TRUE(exists("Image002.jpg"));
    EXPECT_TRUE(exists("c.jpg"));
    EXPECT_FALSE(exists("Image003.jpg"));
    EXPECT_EQ(host->progressLines.back(), "2 of 5");
    EXPECT_EQ(host->bar(), 2);
}

TEST_F(RenameRunTest, ARefusedRenameEndsTheRunAsAFailure) {
    makeFiles({"a.jpg", "b.jpg", "c.jpg"});
    job.sourceFiles = {"a.jpg", "b.jpg", "c.jpg"};
    // A name longer than 255 bytes is refused by the file system, even for root.
    job.namingOption = NamingOption::SufSeq;
    job.qualifier = std::string(260, 'q');
    const RunOutcome r = go();
    EXPECT_FALSE(r.complete);
    EXPECT_TRUE(state.runFailed);
    EXPECT_EQ(host->messages, std::vector<std::string>{"Error during processing!"});
    EXPECT_EQ(host->messageIds[0], RunMessage::ErrorDuringProcessing);
    EXPECT_EQ(r.closingLine, "Operation Incomplete. 0 files processed.");
    EXPECT_TRUE(exists("a.jpg"));
    EXPECT_TRUE(state.galleryEntries().empty());
}

TEST_F(RenameRunTest, RenamesBeforeARefusalKeepTheirNames) {
    makeFiles({"a.jpg", "c.jpg"});
    job.sourceFiles = {"a.jpg", "missing.jpg", "c.jpg"};
    const RunOutcome r = go();
    EXPECT_EQ(r.closingLine, "Operation Incomplete. 1 files processed.");
    EXPECT_EQ(host->messages, std::vector<std::string>{"Error during processing!"});
    EXPECT_TRUE(exists("Image001.jpg"));
    EXPECT_TRUE(exists("c.jpg"));
    EXPECT_EQ(state.galleryEntries().size(), 1u);
}

TEST_F(RenameRunTest, ANameWithASeparatorFailsWithoutLeavingTheFolder) {
    std::filesystem::create_directory(in / "sub");
    makeFiles({"a.jpg"});
    job.sourceFiles = {"a.jpg"};
    job.namingOption = NamingOption::PreName;
    job.qualifier = "sub/";
    EXPECT_FALSE(go().complete);
    EXPECT_TRUE(state.runFailed);
    EXPECT_TRUE(exists("a.jpg"));
    EXPECT_TRUE(std::filesystem::is_empty(in / "sub"));
}

TEST_F(RenameRunTest, ASequenceStartThatIsNotANumberFailsBeforeAnyRename) {
    makeFiles({"a.jpg"});
    job.sourceFiles = {"a.jpg"};
    job.seqStart = "1a";
    const RunOutcome r = go();
    EXPECT_EQ(r.closingLine, "Operation Incomplete. 0 files processed.");
    EXPECT_EQ(host->messages, std::vector<std::string>{"Error during processing!"});
    EXPECT_TRUE(exists("a.jpg"));
}

TEST_F(RenameRunTest, NoFilesIsACompleteRunOfNothing) {
    EXPECT_EQ(go().closingLine, "Operation complete. 0 files processed.");
    EXPECT_TRUE(state.galleryEntries().empty());
}

class CopyRunTest : public FileRunTest {
protected:
    void SetUp() override {
        job.mode = JobMode::RenameCopyConvert;
        job.renameOnly = false;
        job.convertTo = "No Conversion";
        job.inputDir = in.str();
        job.outputDir = out.str();
        job.qualifier = "Image";
    }
};

TEST_F(CopyRunTest, CopiesByteForByteUnderNewNames) {
    std::string big;
    for (int i = 0; i < 5000; ++i)
        big.push_back(static_cast<char>(i * 7 + i / 256));
    writeFile(in / "Beach.JPG", big);
    writeFile(in / "Dune.bmp", "");
    job.sourceFiles = {"Beach.JPG", "Dune.bmp"};
    const RunOutcome r = go();
    EXPECT_EQ(r.closingLine, "Operation complete. 2 files processed.");
    EXPECT_EQ(readFile(out / "Image001.JPG"), big);
    EXPECT_TRUE(std::filesystem::exists(out / "Image002.bmp"));
    EXPECT_EQ(std::filesystem::file_size(out / "Image002.bmp"), 0u);
    EXPECT_EQ(readFile(in / "Beach.JPG"), big);
    const ProcessedFile& e = state.ProcessedFileList[0];
    EXPECT_EQ(e.originalBytes, 5000);
    EXPECT_EQ(e.originalPath, (in / "Beach.JPG").string());
    EXPECT_EQ(e.outputPath, (out / "Image001.JPG").string());
    EXPECT_EQ(e.outputWidth, -1);
}

TEST(CopyFileBytesTest, MovesTwoThousandFortyEightBytesPerRead) {
    TempFolder dir;
    writeFile(dir / "src", std::string(5000, 'x'));
    std::vector<std::size_t> reads;
    copyFileBytes((dir / "src").string(), (dir / "dst").string(),
                  [&](std::size_t n) { reads.push_back(n); });
    EXPECT_EQ(reads, (std::vector<std::size_t>{2048, 2048, 904}));
    EXPECT_EQ(readFile(dir / "dst"), std::string(5000, 'x'));
}

TEST_F(CopyRunTest, OverwriteOffKeepsTheTargetAndDoesNotCountIt) {
    makeFiles({"a.jpg", "b.jpg"});
    writeFile(out / "Image002.jpg", "older");
    job.sourceFiles = {"a.jpg", "b.jpg"};
    job.overwrite = false;
    const RunOutcome r = go();
    EXPECT_EQ(r.closingLine, "Operation complete. 2 files processed.");
    EXPECT_EQ(state.processedCount, 1);
    EXPECT_EQ(readFile(out / "Image002.jpg"), "older");
    // The kept file is still a picture of this run for the gallery.
    EXPECT_EQ(state.galleryEntries().size(), 2u);
}

TEST_F(CopyRunTest, OverwriteOnReplacesTheTarget) {
    makeFiles({"a.jpg"});
    writeFile(out / "Image001.jpg", "older and longer than the new content");
    job.sourceFiles = {"a.jpg"};
    EXPECT_TRUE(go().complete);
    EXPECT_EQ(state.processedCount, 1);
    EXPECT_EQ(readFile(out / "Image001.jpg"), "content of a.jpg");
}

TEST_F(CopyRunTest, ACopyOntoItselfLeavesTheFileIntact) {
    makeFiles({"a.jpg"});
    job.outputDir = in.str() + "/"; // the same folder, spelt differently
    job.namingOption = NamingOption::PreName;
    job.qualifier = "";
    job.sourceFiles = {"a.jpg"};
    EXPECT_EQ(go().closingLine, "Operation complete. 1 files processed.");
    EXPECT_EQ(state.processedCount, 1);
    EXPECT_EQ(readFile(in / "a.jpg"), "content of a.jpg");
}

TEST_F(CopyRunTest, AFailedReadEndsTheRunAndCountsTheCopiesBeforeIt) {
    makeFiles({"a.jpg", "c.jpg"});
    job.sourceFiles = {"a.jpg", "gone.jpg", "c.jpg"};
    const RunOutcome r = go();
    EXPECT_EQ(r.closingLine, "Operation Incomplete. 1 files processed.");
    EXPECT_EQ(host->messages, std::vector<std::string>{"Error during processing!"});
    EXPECT_FALSE(std::filesystem::exists(out / "Image003.jpg"));
    EXPECT_EQ(state.galleryEntries().size(), 1u);
    EXPECT_GE(host->paneRereads, 1);
}

TEST_F(CopyRunTest, AMissingOutputFolderFailsTheRun) {
    makeFiles({"a.jpg"});
    job.outputDir = (out / "plain").string();
    writeFile(out / "plain", "x"); // a path through a regular file
    job.sourceFiles = {"a.jpg"};
    EXPECT_EQ(go().closingLine, "Operation Incomplete. 0 files processed.");
    EXPECT_TRUE(state.runFailed);
}

TEST_F(CopyRunTest, ANameWithASeparatorWritesNothingOutsideTheFolder) {
    makeFiles({"a.jpg"});
    std::filesystem::create_directory(out / "sub");
    job.sourceFiles = {"a.jpg"};
    job.namingOption = NamingOption::PreName;
    job.qualifier = "sub/";
    EXPECT_FALSE(go().complete);
    EXPECT_TRUE(std::filesystem::is_empty(out / "sub"));
}

TEST_F(CopyRunTest, ALinkAtTheTargetNameIsReplacedNotWrittenThrough) {
    makeFiles({"a.jpg"});
    TempFolder elsewhere;
    writeFile(elsewhere / "victim", "untouched");
    std::filesystem::create_symlink(elsewhere / "victim", out / "Image001.jpg");
    job.sourceFiles = {"a.jpg"};
    EXPECT_TRUE(go().complete);
    EXPECT_EQ(readFile(elsewhere / "victim"), "untouched");
    EXPECT_FALSE(std::filesystem::is_symlink(out / "Image001.jpg"));
    EXPECT_EQ(readFile(out / "Image001.jpg"), "content of a.jpg");
}

TEST_F(CopyRunTest, CancelAfterTheSecondFile) {
    makeFiles({"a.jpg", "b.jpg", "c.jpg"});
    job.sourceFiles = {"a.jpg", "b.jpg", "c.jpg"};
    EXPECT_EQ(go(2).closingLine, "Operation Incomplete. 2 files processed.");
    EXPECT_FALSE(std::filesystem::exists(out / "Image003.jpg"));
    EXPECT_FALSE(state.ProcessedFileList[2].reached);
}

TEST_F(CopyRunTest, CancelDuringTheLastFileStillMakesTheRunIncomplete) {
    makeFiles({"a.jpg", "b.jpg"});
    job.sourceFiles = {"a.jpg", "b.jpg"};
    EXPECT_EQ(go(2).closingLine, "Operation Incomplete. 2 files processed.");
}

TEST_F(CopyRunTest, ANewRunReplacesTheRecordOfTheLastOne) {
    makeFiles({"a.jpg", "b.jpg", "c.jpg"});
    job.sourceFiles = {"a.jpg", "b.jpg", "c.jpg"};
    go();
    startOver(job);
    EXPECT_TRUE(job.sourceFiles.empty());
    EXPECT_EQ(state.processedCount, 3); // "OK!" leaves the run for the gallery
    job.sourceFiles = {"c.jpg"};
    job.qualifier = "Again";
    go();
    ASSERT_EQ(state.ProcessedFileList.size(), 1u);
    ASSERT_EQ(state.galleryEntries().size(), 1u);
    EXPECT_EQ(state.galleryEntries()[0].outputPath, (out / "Again001.jpg").string());
    EXPECT_EQ(host->barPositions.front(), 1);
}

} // namespace
} // namespace pictorant
