// pictorant-batch in scripts: the parser's rules, names from standard input, a run that
// keeps going past a broken file, and what --quiet and --progress leave on standard error.

#include "../engine/PictureMaker.h"
#include "../settings/TempFolder.h"
#include "BatchRunner.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pictorant {
namespace {

using namespace pictorant::testing;
namespace fs = std::filesystem;

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The folder every case starts from: two pictures and a text file.
void makeFolder(const fs::path& dir) {
    makePicture(dir / "a.bmp", 40, 20, "BMP");
    makePicture(dir / "b.bmp", 30, 30, "BMP");
    writeFile(dir / "notes.txt", "not a picture");
}

struct FlagCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* out;     // part of standard output ("" for no check)
    const char* err;     // part of standard error ("" for none at all)
    const char* written; // a file the run must have written ("" for no check)
};
void PrintTo(const FlagCase& c, std::ostream* os) {
    *os << c.name;
}

const FlagCase kFlags[] = {
    {"Version", {"--version"}, 0, "pictorant-batch " PICTORANT_VERSION "\n", "", ""},
    {"ShortHelpOfACommand", {"info", "-h"}, 0, "Usage: pictorant-batch info", "", ""},
    {"HelpOfUndo", {"undo", "--help"}, 0, "Usage: pictorant-batch undo", "", ""},
    // A value that looks like an option is the option's value.
    {"HelpAsAValue",
     {"copy", "--qualifier", "--help", "a.bmp"},
     0,
     "Operation complete.",
     "",
     "--help001.bmp"},
    // Options come after the command word and between the files.
    {"QuietAfterTheCommand",
     {"copy", "-q", "a.bmp", "--qualifier", "x", "b.bmp"},
     0,
     "Operation complete. 2 files processed.",
     "",
     "x002.bmp"},
    {"CompactedShortOptions", {"info", "-q0", "a.bmp"}, 2, "", "Unknown option 'q'.", ""},
    {"DoubleDashEndsOptions", {"info", "--", "-q"}, 1, "-q: ", "", ""},
    {"UnknownShortOption", {"copy", "-x", "a.bmp"}, 2, "", "Unknown option 'x'.", ""},
    {"UnknownProgramOption",
     {"--frobnicate", "info", "a.bmp"},
     2,
     "",
     "Unknown option 'frobnicate'.",
     ""},
    {"FlagWithAValue",
     {"copy", "--dry-run=yes", "a.bmp"},
     2,
     "",
     "Unexpected value after '--dry-run'.",
     ""},
    {"RatioBothWays",
     {"thumbnails", "--ratio", "--no-ratio", "a.bmp"},
     2,
     "",
     "--ratio and --no-ratio exclude each other",
     ""},
    {"OverwriteBothWays",
     {"copy", "--overwrite", "--no-overwrite", "a.bmp"},
     2,
     "",
     "--overwrite and --no-overwrite exclude each other",
     ""},
    {"QuietAndProgress",
     {"copy", "-q", "--progress", "a.bmp"},
     2,
     "",
     "--quiet and --progress exclude each other",
     ""},
    {"NullWithoutFilesFrom",
     {"info", "-0", "a.bmp"},
     2,
     "",
     "-0 is for the names of --files-from",
     ""},
    {"FilesFromMissingFile",
     {"info", "--files-from", "none.txt"},
     2,
     "",
     "--files-from: cannot read none.txt",
     ""},
    {"FilesFromEmptyInput", {"copy", "--files-from", "-"}, 2, "", "no files given", ""},
    {"LastValueWins",
     {"copy", "--qualifier", "p", "--qualifier", "q", "a.bmp"},
     0,
     "",
     "",
     "q001.bmp"},
    {"UsageNamesTheCommandHelp",
     {"rotate", "--bogus"},
     2,
     "",
     "(see pictorant-batch rotate --help)",
     ""},
};

class Flags : public ::testing::TestWithParam<FlagCase> {};

TEST_P(Flags, ParseAsScriptsExpect) {
    const FlagCase& c = GetParam();
    TempFolder dir;
    makeFolder(dir.path());
    const BatchResult r = runBatch(dir.path(), c.args);
    EXPECT_EQ(r.status, c.status) << r.out << r.err;
    EXPECT_TRUE(has(r.out, c.out)) << r.out;
    if (*c.err) {
        EXPECT_TRUE(has(r.err, c.err)) << r.err;
    } else {
        EXPECT_EQ(r.err, "");
    }
    if (*c.written) {
        EXPECT_TRUE(fs::is_regular_file(dir / c.written)) << c.written;
    }
    if (c.status == 2) { // a wrong command line writes nothing
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 3);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Flags, ::testing::ValuesIn(kFlags),
                         [](const auto& info) { return std::string(info.param.name); });

// --files-from: names with spaces, tabs and line ends reach the run whole and in order.
struct FilesFromCase {
    const char* name;
    std::vector<std::string> args; // after "info"
    std::string input;             // standard input
    std::vector<std::string> listed;
};
void PrintTo(const FilesFromCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string kSpace = "with space.bmp", kNewline = "two\nlines.bmp", kTab = "tab\there.bmp";

const FilesFromCase kFilesFrom[] = {
    {"NulSeparated",
     {"--files-from", "-", "-0"},
     kSpace + '\0' + kNewline + '\0' + kTab + '\0',
     {kSpace, kNewline, kTab}},
    {"NulSeparatedWithoutTheLastNul",
     {"-0", "--files-from=-"},
     kNewline + '\0' + kSpace,
     {kNewline, kSpace}},
    {"LongNullOption",
     {"--null", "--files-from", "-"},
     kTab + '\0' + '\0' + kSpace + '\0',
     {kTab, kSpace}},
    {"OneALine", {"--files-from", "-"}, kSpace + "\n" + kTab + "\n\n", {kSpace, kTab}},
    {"AfterTheNamedFiles", {"--files-from", "-", "-0", kTab}, kSpace + '\0', {kTab, kSpace}},
};

class FilesFrom : public ::testing::TestWithParam<FilesFromCase> {};

TEST_P(FilesFrom, InfoListsEveryName) {
    const FilesFromCase& c = GetParam();
    TempFolder dir;
    // Sides 5, 6 and 7 tell the pictures apart in the listing.
    makePicture(dir / kSpace, 5, 5, "BMP");
    makePicture(dir / kNewline, 6, 6, "BMP");
    makePicture(dir / kTab, 7, 7, "BMP");
    std::string expected;
    for (const std::string& name : c.listed) {
        const int s = name == kSpace ? 5 : name == kNewline ? 6 : 7;
        expected += name + ": Bitmap " + std::to_string(s) + " x " + std::to_string(s) + "\n";
    }
    std::vector<std::string> args = {"info"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const BatchResult r = runBatch(dir.path(), args, c.input);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected);
}

INSTANTIATE_TEST_SUITE_P(Table, FilesFrom, ::testing::ValuesIn(kFilesFrom),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FilesFromRun, ThumbnailsOfNamesFromAFile) {
    TempFolder dir;
    fs::create_directory(dir / "pictures");
    makePicture(dir / "pictures" / kSpace, 40, 30, "BMP");
    makePicture(dir / "pictures" / kNewline, 30, 40, "BMP");
    writeFile(dir / "list", "pictures/" + kNewline + '\0' + "pictures/" + kSpace + '\0');
    fs::create_directory(dir / "out");
    const BatchResult r =
        runBatch(dir.path(), {"thumbnails", "--files-from", "list", "-0", "--output", "out",
                              "--naming", "SufName", "--qualifier", "_t"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Operation complete. 2 files processed.\n");
    EXPECT_TRUE(fs::is_regular_file(dir / "out" / "two\nlines_t.jpg"));
    EXPECT_TRUE(fs::is_regular_file(dir / "out" / "with space_t.jpg"));
}

// --keep-going over a folder with a broken file in the middle.
struct KeepGoingCase {
    const char* name;
    std::vector<std::string> args; // before the files
    const char* first;             // what the run writes for a.bmp and c.bmp
    const char* last;
};
void PrintTo(const KeepGoingCase& c, std::ostream* os) {
    *os << c.name;
}

const KeepGoingCase kKeepGoing[] = {
    {"Thumbnails", {"thumbnails", "--workers", "1"}, "Thumb001.jpg", "Thumb003.jpg"},
    {"ThumbnailsAhead", {"thumbnails", "--workers", "2"}, "Thumb001.jpg", "Thumb003.jpg"},
    {"ConvertToGif", {"convert", "--type", "gif"}, "Image001.gif", "Image003.gif"},
    {"Copy", {"copy"}, "Image001.bmp", "Image003.bmp"},
};

class KeepGoing : public ::testing::TestWithParam<KeepGoingCase> {
protected:
    void SetUp() override {
        makePicture(dir / "a.bmp", 40, 20, "BMP");
        // A copy fails on a folder; the picture runs on a file that is no picture.
        if (std::string(GetParam().name) == "Copy")
            fs::create_directory(dir / "b.bmp");
        else
            writeFile(dir / "b.bmp", "BM, and then nothing a bitmap has");
        makePicture(dir / "c.bmp", 20, 40, "BMP");
        fs::create_directory(dir / "out");
    }
    BatchResult run(std::vector<std::string> extra) {
        std::vector<std::string> args = GetParam().args;
        args.insert(args.end(), {"--output", "out"});
        args.insert(args.end(), extra.begin(), extra.end());
        args.insert(args.end(), {"a.bmp", "b.bmp", "c.bmp"});
        return runBatch(dir.path(), args);
    }
    TempFolder dir;
};

TEST_P(KeepGoing, TheOtherFilesAreWrittenAndTheFailureNamed) {
    const BatchResult r = run({"--keep-going"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Operation Incomplete. 2 files processed.\n");
    EXPECT_TRUE(fs::is_regular_file(dir / "out" / GetParam().first));
    EXPECT_TRUE(fs::is_regular_file(dir / "out" / GetParam().last));
    EXPECT_TRUE(has(r.err, "pictorant-batch: b.bmp: ")) << r.err;
    // The count is the last line.
    EXPECT_TRUE(r.err.ends_with("pictorant-batch: 1 file failed, 0 warnings\n")) << r.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "out"), {}), 2);
}

TEST_P(KeepGoing, WithoutItTheRunStopsAtTheBrokenFile) {
    const BatchResult r = run({});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "Operation Incomplete. 1 files processed.\n");
    EXPECT_TRUE(fs::is_regular_file(dir / "out" / GetParam().first));
    EXPECT_FALSE(fs::exists(dir / "out" / GetParam().last));
    EXPECT_FALSE(has(r.err, "failed,")) << r.err;
}

TEST_P(KeepGoing, QuietKeepsTheErrors) {
    const BatchResult r = run({"--keep-going", "-q"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.err, "pictorant-batch: b.bmp: ")) << r.err;
    EXPECT_TRUE(has(r.err, "1 file failed")) << r.err;
    EXPECT_FALSE(has(r.err, " of 3")) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Table, KeepGoing, ::testing::ValuesIn(kKeepGoing),
                         [](const auto& info) { return std::string(info.param.name); });

// Progress: none without a terminal, one line rewritten in place with --progress, and an
// error breaks out of it onto a line of its own.
TEST(Progress, OneLineRewrittenInPlace) {
    TempFolder dir;
    makeFolder(dir.path());
    makePicture(dir / "c.bmp", 10, 10, "BMP");
    const BatchResult r =
        runBatch(dir.path(), {"thumbnails", "--progress", "a.bmp", "b.bmp", "c.bmp"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(has(r.err, "\r1 of 3")) << r.err;
    EXPECT_TRUE(has(r.err, "\r2 of 3")) << r.err;
    EXPECT_TRUE(has(r.err, "\r3 of 3")) << r.err;
    EXPECT_EQ(r.err.find('\n'), std::string::npos) << "one line, never a new one";
    // The line is wiped at the end, so the shell's prompt starts clean.
    EXPECT_TRUE(r.err.ends_with("\r      \r")) << r.err;
}

TEST(Progress, AnErrorGetsALineOfItsOwn) {
    TempFolder dir;
    makePicture(dir / "a.bmp", 40, 20, "BMP");
    writeFile(dir / "b.bmp", "BM, not a bitmap");
    const BatchResult r =
        runBatch(dir.path(), {"thumbnails", "--progress", "--workers", "1", "a.bmp", "b.bmp"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.err, "\r2 of 2\r      \rpictorant-batch: ")) << r.err;
    EXPECT_TRUE(has(r.err, "\nCould not open b.bmp\n")) << r.err;
}

TEST(Progress, QuietRunSaysNothing) {
    TempFolder dir;
    makeFolder(dir.path());
    const BatchResult r = runBatch(dir.path(), {"thumbnails", "--quiet", "a.bmp", "b.bmp"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "Operation complete. 2 files processed.\n");
}

// The opposite flags undo what a settings file turns on: the run with the settings and
// the opposite flag gives what the run without the settings gives.
struct OppositeCase {
    const char* name;
    const char* settings; // lines of the [Thumbnails] group
    const char* opposite;
    int width, height;              // of the picture
    std::vector<std::string> plain; // the options that give the settings without the flag
};
void PrintTo(const OppositeCase& c, std::ostream* os) {
    *os << c.name;
}

const OppositeCase kOpposites[] = {
    {"Ratio", "Maintain Ratio=1", "--no-ratio", 80, 20, {}},
    // A forced side counts where the ratio is kept: a tall picture for the width, a wide
    // one for the height, so forcing changes the thumbnail.
    {"ForceWidth", "Maintain Ratio=1\nForce Width=1", "--no-force-width", 20, 80, {"--ratio"}},
    {"ForceHeight", "Maintain Ratio=1\nForce Height=1", "--no-force-height", 80, 20, {"--ratio"}},
};

class Opposite : public ::testing::TestWithParam<OppositeCase> {};

TEST_P(Opposite, UndoesTheSettingsFile) {
    const OppositeCase& c = GetParam();
    TempFolder dir;
    makePicture(dir / "wide.bmp", c.width, c.height, "BMP");
    writeFile(dir / "s.ini",
              std::string("[Thumbnails]\nThumb Width=16\nThumb Height=16\n") + c.settings + "\n");
    auto sizeOf = [&](std::vector<std::string> options) {
        std::vector<std::string> args = {"thumbnails", "--type", "bmp", "--qualifier", "t_"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back("wide.bmp");
        const BatchResult r = runBatch(dir.path(), args);
        EXPECT_EQ(r.status, 0) << r.err;
        return runBatch(dir.path(), {"info", "t_001.bmp"}).out;
    };
    std::vector<std::string> plainOptions = {"--width", "16", "--height", "16"};
    plainOptions.insert(plainOptions.end(), c.plain.begin(), c.plain.end());
    const std::string plain = sizeOf(plainOptions);
    const std::string withSettings = sizeOf({"--settings", "s.ini"});
    const std::string undone = sizeOf({"--settings", "s.ini", c.opposite});
    EXPECT_NE(withSettings, plain) << "the setting changes the thumbnail";
    EXPECT_EQ(undone, plain);
}

INSTANTIATE_TEST_SUITE_P(Table, Opposite, ::testing::ValuesIn(kOpposites),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Opposite, OverwriteUndoesTheSettingsFile) {
    TempFolder dir;
    writeFile(dir / "a.jpg", "new");
    writeFile(dir / "Image001.jpg", "old");
    writeFile(dir / "s.ini", "[Thumbnails]\nOverwrite Files=0\n");
    const BatchResult kept = runBatch(dir.path(), {"copy", "--settings", "s.ini", "a.jpg"});
    EXPECT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(readFile(dir / "Image001.jpg"), "old");
    EXPECT_TRUE(has(kept.err, "skipped Image001.jpg: exists")) << kept.err;
    const BatchResult replaced =
        runBatch(dir.path(), {"copy", "--settings", "s.ini", "--overwrite", "a.jpg"});
    EXPECT_EQ(replaced.status, 0) << replaced.err;
    EXPECT_EQ(readFile(dir / "Image001.jpg"), "new");
}

} // namespace
} // namespace pictorant
