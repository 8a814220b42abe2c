#include "../settings/TempFolder.h"
#include "BatchRunner.h"

#include <gtest/gtest.h>

namespace pictorant {
namespace {

using testing::readFile;
using testing::runBatch;
using testing::TempFolder;
using testing::writeFile;

class BatchCliTest : public ::testing::Test {
protected:
    void makeFiles(const std::vector<std::string>& names) {
        for (const auto& n : names)
            writeFile(dir / n, "content of " + n);
    }
    bool exists(const std::string& name) const { return std::filesystem::exists(dir / name); }

    TempFolder dir;
};

TEST_F(BatchCliTest, RenameInAFolder) {
    makeFiles({"a.jpg", "b.jpg", "c.jpg"});
    const auto r = runBatch(dir.path(), {"rename", "--input", dir.str(), "--qualifier", "Image",
                                         "a.jpg", "b.jpg", "c.jpg"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Operation complete. 3 files processed.\n");
    EXPECT_EQ(r.err, "") << "no progress where standard error is no terminal";
    EXPECT_TRUE(exists("Image001.jpg"));
    EXPECT_TRUE(exists("Image002.jpg"));
    EXPECT_EQ(readFile(dir / "Image003.jpg"), "content of c.jpg");
}

TEST_F(BatchCliTest, FilesGivenAsPathsNameTheirFolder) {
    makeFiles({"Beach.JPG"});
    TempFolder elsewhere;
    const auto r = runBatch(elsewhere.path(), {"rename", "--naming", "SufName", "--qualifier",
                                               "_old", (dir / "Beach.JPG").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(exists("Beach_old.JPG"));
}

TEST_F(BatchCliTest, ATakenNameEndsIncompleteWithStatusOne) {
    makeFiles({"a.jpg", "b.jpg", "Image002.jpg"});
    const auto r = runBatch(dir.path(), {"rename", "a.jpg", "b.jpg"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Operation Incomplete. 1 files processed.\n");
    EXPECT_NE(r.err.find("Error - duplicate name in folder.  Rename Operation stopped."),
              std::string::npos);
}

TEST_F(BatchCliTest, CopyIntoAnOutputFolderWithOverwriteOff) {
    makeFiles({"a.jpg", "b.gif"});
    std::filesystem::create_directory(dir / "out");
    writeFile(dir / "out" / "Pic2.gif", "keep");
    const auto r = runBatch(dir.path(), {"copy", "--output", "out", "--qualifier", "Pic", "--seq",
                                         "1", "--no-overwrite", "a.jpg", "b.gif"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Operation complete. 2 files processed.\n");
    EXPECT_EQ(readFile(dir / "out" / "Pic1.jpg"), "content of a.jpg");
    EXPECT_EQ(readFile(dir / "out" / "Pic2.gif"), "keep");
}

TEST_F(BatchCliTest, AFailedCopyIsReportedAndEndsWithStatusOne) {
    makeFiles({"a.jpg"});
    const auto r = runBatch(
        dir.path(), {"copy", "--output", dir.str(), "--qualifier", std::string(300, 'q'), "a.jpg"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Operation Incomplete. 0 files processed.\n");
    EXPECT_NE(r.err.find("Error during processing!"), std::string::npos);
}

TEST_F(BatchCliTest, SettingsFileGivesTheKeptOptionsAndFlagsStillWin) {
    makeFiles({"a.jpg", "b.jpg"});
    std::filesystem::create_directory(dir / "stored");
    // The stored folders are the window's; bare names here are the user's, and output
    // goes beside them.
    writeFile(dir / "s.ini", "[Directories]\nInput=/\nOutput=" + (dir / "stored").string() +
                                 "\n[Thumbnails]\nNaming Option=SufSeq\n"
                                 "Output File Qualifier=_kept\nOverwrite Files=0\n");
    writeFile(dir / "002_x.jpg", "old");
    // The kept qualifier is the thumbnail one; copy uses the image qualifier.
    auto r = runBatch(dir.path(), {"copy", "--settings", "s.ini", "a.jpg"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readFile(dir / "001Image.jpg"), "content of a.jpg");
    r = runBatch(dir.path(), {"copy", "--settings", "s.ini", "--qualifier", "_x", "--naming",
                              "SufSeq", "a.jpg", "b.jpg"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(exists("001_x.jpg"));
    EXPECT_EQ(readFile(dir / "002_x.jpg"), "old"); // overwrite off from the file
    EXPECT_TRUE(std::filesystem::is_empty(dir / "stored"));
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* says; // part of the message
};
void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.name;
}

class BatchUsageTest : public ::testing::TestWithParam<UsageCase> {};

TEST_P(BatchUsageTest, AWrongCommandLineIsStatusTwoWithAMessage) {
    TempFolder dir;
    writeFile(dir / "a.jpg", "x");
    const auto r = runBatch(dir.path(), GetParam().args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(GetParam().says), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(std::filesystem::exists(dir / "a.jpg"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, BatchUsageTest,
    ::testing::Values(
        UsageCase{"NoArguments", {}, "Usage:"},
        UsageCase{"UnknownCommand", {"shrink", "a.jpg"}, "unknown command shrink"},
        UsageCase{"UnknownOption", {"rename", "--fast", "a.jpg"}, "Unknown option 'fast'."},
        UsageCase{"NoFiles", {"copy", "--output", "."}, "no files given"},
        UsageCase{"MissingValue",
                  {"rename", "a.jpg", "--qualifier"},
                  "Missing value after '--qualifier'."},
        UsageCase{"BadNaming", {"rename", "--naming", "preseq", "a.jpg"}, "--naming must be"},
        UsageCase{"BadQuality", {"copy", "--jpeg-quality", "5", "a.jpg"}, "10 to 100"},
        UsageCase{"BadResize", {"thumbnails", "--resize", "slow", "a.jpg"}, "--resize must be"},
        UsageCase{"BothForces",
                  {"thumbnails", "--force-width", "--force-height", "a.jpg"},
                  "exclude each other"},
        UsageCase{"MissingOutputFolder", {"copy", "--output", "nowhere", "a.jpg"}, "not found"},
        UsageCase{"TwoFolders", {"rename", "x/a.jpg", "y/b.jpg"}, "one folder"},
        UsageCase{"MissingSettings", {"copy", "--settings", "none.ini", "a.jpg"}, "not found"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BatchHelpTest, HelpListsTheCommandsAndTheExitStatuses) {
    TempFolder dir;
    const auto r = runBatch(dir.path(), {"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* says :
         {"rename [OPTIONS] FILE...", "copy [OPTIONS] FILE...", "thumbnails [OPTIONS] FILE...",
          "Copies each file byte for byte", "Makes a small picture of each file", "  undo\n",
          "info [OPTIONS] FILE...", "rotate cw|ccw [OPTIONS] FILE...",
          "'pictorant-batch COMMAND --help'", "0  complete", "1  incomplete or failed", "2  usage",
          "130, 143"})
        EXPECT_NE(r.out.find(says), std::string::npos) << says;
}

TEST(BatchHelpTest, EachRunCommandListsItsOptions) {
    TempFolder dir;
    const auto r = runBatch(dir.path(), {"convert", "--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* says :
         {"Usage: pictorant-batch convert [OPTIONS] FILE...", "--settings <FILE>",
          "Output goes to the folder of the files unless --output is given", "--dry-run",
          "--in-place", "hidden .pictorant-*.tmp beside its target", "--keep-going", "-q, --quiet",
          "--progress", "--files-from <FILE>", "-0, --null", "--no-ratio", "--overwrite",
          "--gallery <PATH>", "Exit status:", "2  usage"})
        EXPECT_NE(r.out.find(says), std::string::npos) << says;
}

} // namespace
} // namespace pictorant
