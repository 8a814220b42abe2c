// pictorant-batch run as a program against folders that invite it to lose a file: its
// own sources as targets, links and FIFOs at names, names the system refuses, a full
// file system, unknown types and sizes. After each run: the status, the cause on
// standard error, every original byte for byte, and no temporary file anywhere.

#include "../engine/PictureMaker.h"
#include "../support/FileFaults.h"
#include "BatchRunner.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace pictorant {
namespace {

namespace fs = std::filesystem;
using namespace pictorant::testing;

// Names of the safe writer's temporary files left anywhere under root.
std::vector<std::string> strayTemporaryFiles(const fs::path& root) {
    std::vector<std::string> stray;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.path().filename().string().rfind(".pictorant-", 0) == 0)
            stray.push_back(entry.path().string());
    return stray;
}

void makeJpegs(const fs::path& dir, const std::vector<std::string>& names) {
    for (const auto& name : names)
        makePicture(dir / name, 64, 48);
}

// What must be as it was after the run.
enum class Kept {
    Everything, // nothing written, nothing removed: the folder is as it was
    Originals,  // every regular file that was there has its bytes; new files may appear
    Checked,    // the case's own check says what changed
};

struct FaultCase {
    const char* name;
    std::function<void(const fs::path& dir)> prepare;
    // "{tiny}" stands for a small full-able tmpfs (the case is skipped without one).
    std::vector<std::string> args;
    int status;
    const char* says; // part of standard error; "" for no check
    Kept kept;
    std::function<void(const fs::path& dir, const BatchResult& r)> check; // may be empty
};
void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class BatchFaultTest : public ::testing::TestWithParam<FaultCase> {
protected:
    ScopedStateFolder state_; // a rename's journal goes here, not to the user's
};

TEST_P(BatchFaultTest, NoFileIsLost) {
    const FaultCase& c = GetParam();
    TempFolder dir;
    std::optional<TinyFileSystem> tiny;
    std::vector<std::string> args = c.args;
    for (auto& arg : args) {
        if (arg != "{tiny}")
            continue;
        if (!tiny)
            tiny.emplace(64);
        if (!tiny->mounted())
            GTEST_SKIP() << tiny->skipReason();
        arg = tiny->str();
    }
    c.prepare(dir.path());
    const auto before = folderSnapshot(dir.path());

    BatchProcess process(dir.path(), args);
    const std::optional<BatchResult> r = process.waitFor(20);
    ASSERT_TRUE(r) << "pictorant-batch did not end within 20 seconds";
    EXPECT_EQ(r->status, c.status) << r->out << r->err;
    if (*c.says) {
        EXPECT_NE(r->err.find(c.says), std::string::npos) << r->err;
    }

    const auto after = folderSnapshot(dir.path());
    if (c.kept == Kept::Everything) {
        EXPECT_EQ(after, before);
    } else if (c.kept == Kept::Originals) {
        for (const auto& [name, content] : before) {
            if (content.rfind("file ", 0) != 0)
                continue;
            const auto now = after.find(name);
            ASSERT_NE(now, after.end()) << name << " is gone";
            EXPECT_TRUE(now->second == content) << name << " changed";
        }
    }
    EXPECT_EQ(strayTemporaryFiles(dir.path()), std::vector<std::string>{});
    if (tiny) {
        EXPECT_EQ(namesIn(tiny->str()), std::vector<std::string>{});
    }
    if (c.check)
        c.check(dir.path(), *r);
}

void twoJpegs(const fs::path& dir) {
    makeJpegs(dir, {"a.jpg", "b.jpg"});
}

void twoJpegsAndAnOutputFolder(const fs::path& dir) {
    twoJpegs(dir);
    fs::create_directory(dir / "out");
}

// A link at the first output name pointing to a file outside the output folder.
std::function<void(const fs::path&)> linkAt(const std::string& outputName) {
    return [outputName](const fs::path& dir) {
        twoJpegsAndAnOutputFolder(dir);
        writeFile(dir / "victim.txt", "not a picture");
        fs::create_symlink("../victim.txt", dir / "out" / outputName);
    };
}

// The victim kept its text (Kept::Originals) and the name now holds a real output.
std::function<void(const fs::path&, const BatchResult&)> replacedLink(const std::string& name,
                                                                      const char* type) {
    return [name, type](const fs::path& dir, const BatchResult&) {
        const fs::path output = dir / "out" / name;
        EXPECT_FALSE(fs::is_symlink(output));
        EXPECT_EQ(contentType(output), type);
    };
}

std::function<void(const fs::path&)> fifoNamed(const std::string& name) {
    return [name](const fs::path& dir) {
        fs::create_directory(dir / "out");
        ASSERT_EQ(::mkfifo((dir / name).c_str(), 0644), 0);
    };
}

void settingsWithOtherFolders(const fs::path& dir) {
    twoJpegs(dir);
    fs::create_directory(dir / "stored");
    writeFile(dir / "s.ini", "[Directories]\nInput=/\nOutput=" + (dir / "stored").string() +
                                 "\n[Thumbnails]\nOutput File Qualifier=Small\n");
}

const std::string kLongQualifier(256 - std::string("001.jpg").size(), 'q');

INSTANTIATE_TEST_SUITE_P(
    Table, BatchFaultTest,
    ::testing::Values(
        // Sources as targets.
        FaultCase{"ThumbnailsOverTheirOwnSources",
                  twoJpegs,
                  {"thumbnails", "--naming", "PreName", "--qualifier", "", "a.jpg", "b.jpg"},
                  2,
                  "a.jpg",
                  Kept::Everything,
                  {}},
        FaultCase{"ConvertOverItsOwnSourcesNeedsInPlace",
                  twoJpegs,
                  {"convert", "--naming", "PreName", "--qualifier", "", "a.jpg", "b.jpg"},
                  2,
                  "--in-place",
                  Kept::Everything,
                  {}},
        FaultCase{
            "ConvertInPlaceWhenAsked",
            twoJpegs,
            {"convert", "--in-place", "--naming", "PreName", "--qualifier", "", "--jpeg-quality",
             "10", "a.jpg", "b.jpg"},
            0,
            "",
            Kept::Checked,
            [](const fs::path& dir, const BatchResult&) {
                EXPECT_EQ(pictureSize(dir / "a.jpg"), (Size{64, 48}));
                EXPECT_EQ(namesIn(dir.string()), (std::vector<std::string>{"a.jpg", "b.jpg"}));
            }},
        FaultCase{"InPlaceIsForConvertOnly",
                  twoJpegs,
                  {"copy", "--in-place", "a.jpg"},
                  2,
                  "--in-place",
                  Kept::Everything,
                  {}},
        FaultCase{"CopyOntoItselfLeavesTheFile",
                  twoJpegs,
                  {"copy", "--naming", "PreName", "--qualifier", "", "a.jpg", "b.jpg"},
                  0,
                  "",
                  Kept::Everything,
                  {}},
        FaultCase{"CopyOverASelectedSourceNotYetRead",
                  [](const fs::path& dir) {
                      makeJpegs(dir, {"a.jpg", "Image001.jpg"});
                  },
                  {"copy", "a.jpg", "Image001.jpg"},
                  2,
                  "Image001.jpg",
                  Kept::Everything,
                  {}},
        // Types and sizes.
        FaultCase{"UnknownTypeListsTheTypes",
                  twoJpegs,
                  {"convert", "--type", "png", "a.jpg"},
                  2,
                  "--type must be jpg, gif, bmp, emf, wmf or \"No Conversion\", not png",
                  Kept::Everything,
                  {}},
        FaultCase{"UnknownThumbnailType",
                  twoJpegs,
                  {"thumbnails", "--type", "tiff", "a.jpg"},
                  2,
                  "not tiff",
                  Kept::Everything,
                  {}},
        FaultCase{"TypeInAnyLetterCase",
                  twoJpegsAndAnOutputFolder,
                  {"thumbnails", "--output", "out", "--type", "BMP", "a.jpg"},
                  0,
                  "",
                  Kept::Originals,
                  [](const fs::path& dir, const BatchResult&) {
                      EXPECT_EQ(contentType(dir / "out" / "Thumb001.bmp"), "BMP");
                  }},
        FaultCase{"NoConversionInAnyLetterCase",
                  [](const fs::path& dir) {
                      fs::create_directory(dir / "out");
                      makePicture(dir / "a.gif", 20, 10, "GIF");
                  },
                  {"convert", "--output", "out", "--type", "no conversion", "a.gif"},
                  0,
                  "",
                  Kept::Originals,
                  [](const fs::path& dir, const BatchResult&) {
                      EXPECT_EQ(readFile(dir / "out" / "Image001.gif"), readFile(dir / "a.gif"));
                  }},
        FaultCase{"CopyRefusesType",
                  twoJpegs,
                  {"copy", "--type", "gif", "a.jpg"},
                  2,
                  "--type",
                  Kept::Everything,
                  {}},
        FaultCase{"WidthZero",
                  twoJpegs,
                  {"thumbnails", "--width", "0", "a.jpg"},
                  2,
                  "must be at least 1 pixel (width 0, height 96)",
                  Kept::Everything,
                  {}},
        FaultCase{"NegativeHeight",
                  twoJpegs,
                  {"thumbnails", "--height", "-3", "a.jpg"},
                  2,
                  "must be at least 1 pixel",
                  Kept::Everything,
                  {}},
        FaultCase{"WidthZeroWithTheRatioKept",
                  twoJpegs,
                  {"thumbnails", "--ratio", "--width", "0", "a.jpg"},
                  2,
                  "must be at least 1 pixel (width 0, height 96, ratio kept)",
                  Kept::Everything,
                  {}},
        FaultCase{"HeightZeroFromTheSettingsFile",
                  [](const fs::path& dir) {
                      twoJpegs(dir);
                      writeFile(dir / "s.ini", "[Thumbnails]\nThumb Height=0\n");
                  },
                  {"thumbnails", "--settings", "s.ini", "a.jpg"},
                  2,
                  "must be at least 1 pixel",
                  Kept::Everything,
                  {}},
        FaultCase{"HeightUnreadWithTheRatioKept",
                  [](const fs::path& dir) { makePicture(dir / "a.jpg", 640, 480); },
                  {"thumbnails", "--ratio", "--height", "0", "a.jpg"},
                  0,
                  "",
                  Kept::Originals,
                  [](const fs::path& dir, const BatchResult&) {
                      EXPECT_EQ(pictureSize(dir / "Thumb001.jpg"), (Size{96, 72}));
                  }},
        // Folders of a settings file are not the folders of the command line.
        FaultCase{"SettingsWithBareNames",
                  settingsWithOtherFolders,
                  {"thumbnails", "--settings", "s.ini", "a.jpg", "b.jpg"},
                  0,
                  "",
                  Kept::Originals,
                  [](const fs::path& dir, const BatchResult&) {
                      EXPECT_EQ(pictureSize(dir / "Small001.jpg"), (Size{96, 96}));
                      EXPECT_TRUE(fs::exists(dir / "Small002.jpg"));
                      EXPECT_TRUE(fs::is_empty(dir / "stored"));
                  }},
        // Sources that are not files.
        FaultCase{"FifoSourceOfACopy",
                  fifoNamed("f.jpg"),
                  {"copy", "--output", "out", "f.jpg"},
                  1,
                  "Not a regular file",
                  Kept::Everything,
                  {}},
        FaultCase{"FifoSourceOfThumbnails",
                  fifoNamed("f.jpg"),
                  {"thumbnails", "--output", "out", "f.jpg"},
                  1,
                  "Could not open f.jpg",
                  Kept::Everything,
                  {}},
        // Links at output names are replaced, never written through.
        FaultCase{"LinkAtAThumbnailOneWorker",
                  linkAt("Thumb001.jpg"),
                  {"thumbnails", "--output", "out", "--workers", "1", "a.jpg", "b.jpg"},
                  0,
                  "",
                  Kept::Originals,
                  replacedLink("Thumb001.jpg", "JPG")},
        FaultCase{"LinkAtAThumbnailTwoWorkers",
                  linkAt("Thumb001.jpg"),
                  {"thumbnails", "--output", "out", "--workers", "2", "a.jpg", "b.jpg"},
                  0,
                  "",
                  Kept::Originals,
                  replacedLink("Thumb001.jpg", "JPG")},
        FaultCase{
            "LinkAtAConvertOneWorker",
            linkAt("Image001.bmp"),
            {"convert", "--output", "out", "--type", "bmp", "--workers", "1", "a.jpg", "b.jpg"},
            0,
            "",
            Kept::Originals,
            replacedLink("Image001.bmp", "BMP")},
        FaultCase{
            "LinkAtAConvertTwoWorkers",
            linkAt("Image001.bmp"),
            {"convert", "--output", "out", "--type", "bmp", "--workers", "2", "a.jpg", "b.jpg"},
            0,
            "",
            Kept::Originals,
            replacedLink("Image001.bmp", "BMP")},
        FaultCase{"LinkAtACopy",
                  linkAt("Image001.jpg"),
                  {"copy", "--output", "out", "a.jpg"},
                  0,
                  "",
                  Kept::Originals,
                  replacedLink("Image001.jpg", "JPG")},
        // Names and file systems that refuse the write.
        FaultCase{"OverlongThumbnailName",
                  twoJpegsAndAnOutputFolder,
                  {"thumbnails", "--output", "out", "--qualifier", kLongQualifier, "a.jpg"},
                  1,
                  "name too long",
                  Kept::Everything,
                  {}},
        FaultCase{"OverlongCopyName",
                  twoJpegsAndAnOutputFolder,
                  {"copy", "--output", "out", "--qualifier", kLongQualifier, "a.jpg"},
                  1,
                  "name too long",
                  Kept::Everything,
                  {}},
        FaultCase{"ConvertOntoAFullFileSystem",
                  [](const fs::path& dir) { makePicture(dir / "a.jpg", 640, 480); },
                  {"convert", "--output", "{tiny}", "--type", "bmp", "a.jpg"},
                  1,
                  "No space left on device",
                  Kept::Everything,
                  [](const fs::path&, const BatchResult& r) {
                      EXPECT_EQ(r.err.find("Cannot create"), std::string::npos) << r.err;
                  }},
        FaultCase{"CopyOntoAFullFileSystem",
                  [](const fs::path& dir) { writeFile(dir / "big.jpg", std::string(300000, 'x')); },
                  {"copy", "--output", "{tiny}", "big.jpg"},
                  1,
                  "No space left on device",
                  Kept::Everything,
                  {}},
        // What the run tells.
        FaultCase{"EverySkippedFileIsTold",
                  [](const fs::path& dir) {
                      twoJpegsAndAnOutputFolder(dir);
                      writeFile(dir / "out" / "Thumb002.jpg", "mine");
                  },
                  {"thumbnails", "--output", "out", "--no-overwrite", "a.jpg", "b.jpg"},
                  0,
                  "skipped Thumb002.jpg: exists",
                  Kept::Originals,
                  [](const fs::path& dir, const BatchResult& r) {
                      EXPECT_EQ(r.out, "Operation complete. 2 files processed.\n");
                      EXPECT_EQ(contentType(dir / "out" / "Thumb001.jpg"), "JPG");
                  }},
        FaultCase{"DryRunWritesNothing",
                  twoJpegs,
                  {"thumbnails", "--dry-run", "a.jpg", "b.jpg"},
                  0,
                  "",
                  Kept::Everything,
                  [](const fs::path&, const BatchResult& r) {
                      EXPECT_NE(r.out.find("a.jpg -> Thumb001.jpg"), std::string::npos) << r.out;
                      EXPECT_NE(r.out.find("b.jpg -> Thumb002.jpg"), std::string::npos) << r.out;
                  }},
        FaultCase{"DryRunOfARefusedPlan",
                  twoJpegs,
                  {"convert", "--dry-run", "--naming", "PreName", "--qualifier", "", "a.jpg"},
                  2,
                  "--in-place",
                  Kept::Everything,
                  [](const fs::path&, const BatchResult& r) {
                      EXPECT_NE(r.out.find("a.jpg -> a.jpg"), std::string::npos) << r.out;
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pictorant
