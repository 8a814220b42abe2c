// The dry run against the run that follows it, and the undo of a rename run, through
// the tool.

#include "../engine/PictureMaker.h"
#include "../support/FileFaults.h"
#include "BatchRunner.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace pictorant {
namespace {

namespace fs = std::filesystem;
using namespace pictorant::testing;

struct PlannedLine {
    std::string source, target, action;
};

// "a.jpg -> Thumb001.jpg  new" lines, up to the closing count line.
std::vector<PlannedLine> parsePlan(const std::string& out) {
    std::vector<PlannedLine> lines;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line)) {
        const auto arrow = line.find(" -> ");
        const auto gap = line.find("  ", arrow == std::string::npos ? 0 : arrow + 4);
        if (arrow == std::string::npos || gap == std::string::npos)
            continue;
        lines.push_back(
            {line.substr(0, arrow), line.substr(arrow + 4, gap - arrow - 4), line.substr(gap + 2)});
    }
    return lines;
}

struct AgreementCase {
    const char* name;
    std::function<void(const fs::path& dir)> prepare;
    std::vector<std::string> args;    // without --dry-run
    std::string folder;               // where the targets are, relative to the folder
    std::vector<std::string> actions; // the plan's words, in selection order
};
void PrintTo(const AgreementCase& c, std::ostream* os) {
    *os << c.name;
}

class BatchDryRunTest : public ::testing::TestWithParam<AgreementCase> {
protected:
    ScopedStateFolder state_;
};

// The plan, then the run: every file the plan calls new or replaced is written,
// every skipped or unchanged one keeps its bytes, every renamed one carries its old
// bytes under the new name.
TEST_P(BatchDryRunTest, TheRunDoesWhatTheDryRunSaid) {
    const AgreementCase& c = GetParam();
    TempFolder dir;
    c.prepare(dir.path());
    const auto start = folderSnapshot(dir.path());

    std::vector<std::string> dryArgs = c.args;
    dryArgs.insert(dryArgs.begin() + 1, "--dry-run");
    const BatchResult dry = runBatch(dir.path(), dryArgs);
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(folderSnapshot(dir.path()), start) << "the dry run wrote";
    const std::vector<PlannedLine> plan = parsePlan(dry.out);
    ASSERT_EQ(plan.size(), c.actions.size()) << dry.out;

    const BatchResult run = runBatch(dir.path(), c.args);
    ASSERT_EQ(run.status, 0) << run.err;
    const auto end = folderSnapshot(dir.path());
    const std::string prefix = c.folder.empty() ? "" : c.folder + "/";
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const PlannedLine& file = plan[i];
        SCOPED_TRACE(file.source + " -> " + file.target + "  " + file.action);
        EXPECT_EQ(file.action.rfind(c.actions[i], 0), 0u);
        const auto before = start.find(prefix + file.target);
        const auto after = end.find(prefix + file.target);
        ASSERT_NE(after, end.end()) << "no file at the target";
        if (c.actions[i] == "new") {
            EXPECT_EQ(before, start.end());
        } else if (c.actions[i] == "replaces") {
            ASSERT_NE(before, start.end());
            EXPECT_NE(after->second, before->second);
        } else if (c.actions[i] == "skipped" || c.actions[i] == "unchanged") {
            ASSERT_NE(before, start.end());
            EXPECT_EQ(after->second, before->second);
        } else if (c.actions[i] == "renamed") {
            EXPECT_EQ(after->second, start.at(file.source));
        }
    }
}

void threeFiles(const fs::path& dir) {
    makePicture(dir / "a.jpg", 40, 30);
    makePicture(dir / "b.jpg", 30, 40);
    makePicture(dir / "c.jpg", 20, 20);
    fs::create_directory(dir / "out");
}

void threeFilesAndTarget(const fs::path& dir, const std::string& name) {
    threeFiles(dir);
    writeFile(dir / "out" / name, "was here");
}

INSTANTIATE_TEST_SUITE_P(
    Table, BatchDryRunTest,
    ::testing::Values(
        AgreementCase{
            "ThumbnailsOverwriteOff",
            [](const fs::path& d) { threeFilesAndTarget(d, "Thumb002.jpg"); },
            {"thumbnails", "--output", "out", "--no-overwrite", "a.jpg", "b.jpg", "c.jpg"},
            "out",
            {"new", "skipped", "new"}},
        AgreementCase{"ThumbnailsOverwriteOn",
                      [](const fs::path& d) { threeFilesAndTarget(d, "Thumb002.jpg"); },
                      {"thumbnails", "--output", "out", "a.jpg", "b.jpg", "c.jpg"},
                      "out",
                      {"new", "replaces", "new"}},
        AgreementCase{"ConvertBySuffixNames",
                      [](const fs::path& d) { threeFilesAndTarget(d, "c_g.gif"); },
                      {"convert", "--output", "out", "--type", "gif", "--naming", "SufName",
                       "--qualifier", "_g", "a.jpg", "b.jpg", "c.jpg"},
                      "out",
                      {"new", "new", "replaces"}},
        AgreementCase{"CopyOverwriteOff",
                      [](const fs::path& d) { threeFilesAndTarget(d, "Image001.jpg"); },
                      {"copy", "--output", "out", "--no-overwrite", "a.jpg", "b.jpg"},
                      "out",
                      {"skipped", "new"}},
        AgreementCase{"CopyOntoItself",
                      threeFiles,
                      {"copy", "--naming", "PreName", "--qualifier", "", "a.jpg", "b.jpg"},
                      "",
                      {"unchanged", "unchanged"}},
        AgreementCase{"RenameWhereSourcesCarryLaterNames",
                      [](const fs::path& d) {
                          makePicture(d / "Image002.jpg", 10, 10);
                          makePicture(d / "x.jpg", 12, 12);
                      },
                      {"rename", "Image002.jpg", "x.jpg"},
                      "",
                      {"renamed", "renamed"}}),
    [](const auto& info) { return std::string(info.param.name); });

class BatchUndoTest : public ::testing::Test {
protected:
    ScopedStateFolder state_;
    TempFolder dir_;
};

TEST_F(BatchUndoTest, TwentyRenamesAreUndoneExactly) {
    std::vector<std::string> args = {"rename", "--naming", "SufSeq", "--qualifier", "_r"};
    for (int i = 0; i < 20; ++i) {
        const std::string name = "photo" + std::to_string(i) + ".jpg";
        writeFile(dir_ / name, "bytes of picture " + std::to_string(i));
        args.push_back(name);
    }
    const auto before = folderSnapshot(dir_.path());
    const BatchResult rename = runBatch(dir_.path(), args);
    ASSERT_EQ(rename.status, 0) << rename.err;
    ASSERT_TRUE(fs::exists(dir_ / "020_r.jpg"));

    const BatchResult undo = runBatch(dir_.path(), {"undo"});
    EXPECT_EQ(undo.status, 0) << undo.out << undo.err;
    EXPECT_NE(undo.out.find("20"), std::string::npos) << undo.out;
    EXPECT_EQ(folderSnapshot(dir_.path()), before);

    // Done once: a second undo finds nothing to do and changes nothing.
    const BatchResult again = runBatch(dir_.path(), {"undo"});
    EXPECT_EQ(again.status, 1);
    EXPECT_EQ(folderSnapshot(dir_.path()), before);
}

TEST_F(BatchUndoTest, StopsAtANameTakenSinceAndSaysWhich) {
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        writeFile(dir_ / name, std::string("content of ") + name);
    ASSERT_EQ(runBatch(dir_.path(), {"rename", "a.jpg", "b.jpg", "c.jpg"}).status, 0);
    writeFile(dir_ / "b.jpg", "a new file");

    const BatchResult undo = runBatch(dir_.path(), {"undo"});
    EXPECT_EQ(undo.status, 1);
    EXPECT_NE(undo.out.find("b.jpg"), std::string::npos) << undo.out;
    // Undone in reverse order: c.jpg is back, then b.jpg's name is taken.
    EXPECT_EQ(readFile(dir_ / "c.jpg"), "content of c.jpg");
    EXPECT_EQ(readFile(dir_ / "b.jpg"), "a new file");
    EXPECT_EQ(readFile(dir_ / "Image002.jpg"), "content of b.jpg");
    EXPECT_EQ(readFile(dir_ / "Image001.jpg"), "content of a.jpg");
}

TEST_F(BatchUndoTest, NothingToUndoIsStatusOne) {
    const BatchResult undo = runBatch(dir_.path(), {"undo"});
    EXPECT_EQ(undo.status, 1);
    EXPECT_FALSE(undo.out.empty());
}

TEST_F(BatchUndoTest, UndoTakesNoArguments) {
    EXPECT_EQ(runBatch(dir_.path(), {"undo", "a.jpg"}).status, 2);
}

} // namespace
} // namespace pictorant
