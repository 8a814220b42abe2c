// pictorant-batch run as a program in a folder of pictures: each command line's status,
// what it says, and what it leaves. Every file not named in a case keeps its bytes, and
// nothing stray (a temporary file above all) is left anywhere.
#include "tests/support/PictureMaker.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <chrono>
#include <csignal>
#include <functional>
#include <map>
#include <optional>
#include <sys/stat.h>

namespace pictorant {
namespace {

using namespace pictorant::testing;
namespace fs = std::filesystem;

struct BatchResult {
    int status = -1; // exit status; -1 when the process ended by a signal
    std::string out, err;
};

// pictorant-batch started with `args` in the folder `cwd`, standard input holding
// `input`; standard error goes to a file, readable while the run goes on.
class BatchProcess : public QProcess {
public:
    BatchProcess(const std::string& cwd, const std::vector<std::string>& args,
                 const std::string& input = {}) {
        writeBytes(capture_ / "in", input);
        setWorkingDirectory(QString::fromStdString(cwd));
        setStandardInputFile(QString::fromStdString(capture_ / "in"));
        setStandardErrorFile(QString::fromStdString(capture_ / "err"));
        QStringList words;
        for (const std::string& arg : args)
            words << QString::fromStdString(arg);
        start(PICTORANT_BATCH_EXE, words);
    }
    void signal(int signalNumber) const {
        if (processId() > 0) // never -1, which would reach every process
            ::kill(pid_t(processId()), signalNumber);
    }
    std::string errorSoFar() const { return readBytes(capture_ / "err"); }

    // The result once the process has ended, waiting at most `seconds`; one still running
    // is killed when this goes.
    std::optional<BatchResult> waitFor(double seconds) {
        if (!waitForFinished(int(seconds * 1000)))
            return std::nullopt;
        return BatchResult{exitStatus() == NormalExit ? exitCode() : -1,
                           readAllStandardOutput().toStdString(), errorSoFar()};
    }

private:
    ScratchFolder capture_;
};

BatchResult runBatch(const std::string& cwd, const std::vector<std::string>& args,
                     const std::string& input) {
    BatchProcess process(cwd, args, input);
    return process.waitFor(60).value_or(BatchResult{-2, "", "did not end within a minute"});
}

// What a folder holds, deep: files by a hash of their bytes, links by their target.
std::map<std::string, std::string> folderSnapshot(const std::string& root) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const auto status = fs::symlink_status(entry.path());
        std::string& seen = entries[entry.path().lexically_relative(root).string()];
        if (fs::is_symlink(status))
            seen = "link to " + fs::read_symlink(entry.path()).string();
        else if (fs::is_regular_file(status))
            seen = std::to_string(std::hash<std::string>{}(readBytes(entry.path().string())));
        else
            seen = fs::is_directory(status) ? "folder" : "special";
    }
    return entries;
}

// a.jpg and b.jpg (64 x 48), a cut and an oversized JPEG, c.bmp (40 x 30), a metafile, a text, a
// read-only bitmap, a link, a FIFO, a settings file, a list of names, and out/ holding
// Image001.jpg.
void makeFolder(const ScratchFolder& dir) {
    makePicture(dir / "a.jpg", 64, 48);
    makePicture(dir / "b.jpg", 64, 48);
    makePicture(dir / "c.bmp", 40, 30, "BMP");
    makePicture(dir / "ro.bmp", 40, 30, "BMP");
    ::chmod((dir / "ro.bmp").c_str(), 0444);
    fs::copy_file(testData("metafile/emf/emf2svg-test-001.emf"), dir / "chart.emf");
    writeBytes(dir / "notes.txt", "not a picture");
    fs::create_symlink("c.bmp", dir / "link.bmp");
    ::mkfifo((dir / "pipe.bmp").c_str(), 0644);
    writeBytes(dir / "s.ini", "[Directories]\nOutput=/\n[Thumbnails]\nNaming Option=SufName\n"
                              "Output File Qualifier=_s\nMaintain Ratio=1\nThumb Width=20\n"
                              "Create As=bmp\nOverwrite Files=0\n");
    writeBytes(dir / "list", "c.bmp\nb.jpg\n");
    // A JPEG whose frame claims 60000 x 60000 pixels, and one cut short.
    std::string jpeg = readBytes(dir / "a.jpg");
    writeBytes(dir / "cut.jpg", jpeg.substr(0, jpeg.size() * 2 / 3));
    writeBytes(dir / "huge.jpg", jpeg.replace(jpeg.find("\xff\xc0") + 5, 4, "\xea\x60\xea\x60"));
    fs::create_directory(dir / "out");
    writeBytes(dir / "out/Image001.jpg", "mine");
}

struct CliCase {
    std::vector<std::string> args;
    int status;
    std::string says; // part of standard output or error; "": standard error stays empty
    // What changes: "name" or "name WxH" a new file (of that picture size), "~name" a
    // file that changes, "-name" a file that goes.
    std::vector<std::string> after;
    std::string input = {}; // standard input
};

class BatchCli : public ::testing::TestWithParam<CliCase> {
protected:
    void SetUp() override {
        ::setenv("XDG_STATE_HOME", state.str().c_str(), 1); // a rename's journal goes here
        makeFolder(dir);
    }
    ScratchFolder state, dir;
};

TEST_P(BatchCli, DoesWhatItSaysAndNothingElse) {
    const CliCase& c = GetParam();
    const auto before = folderSnapshot(dir.str());
    const BatchResult r = runBatch(dir.str(), c.args, c.input);
    EXPECT_EQ(r.status, c.status) << r.out << r.err;
    if (c.says.empty())
        EXPECT_EQ(r.err, "");
    else
        EXPECT_NE((r.out + r.err).find(c.says), std::string::npos) << r.out << r.err;
    const auto now = folderSnapshot(dir.str());
    auto expected = before;
    for (const std::string& item : c.after) {
        const std::string name = item.substr(item[0] == '~' || item[0] == '-', item.find(' '));
        if (item[0] == '-') {
            expected.erase(name);
            continue;
        }
        ASSERT_TRUE(now.count(name)) << name << " is missing";
        EXPECT_EQ(item[0] == '~', before.count(name) == 1) << name;
        if (item[0] == '~') {
            EXPECT_NE(now.at(name), before.at(name)) << name << " did not change";
        }
        expected[name] = now.at(name);
        if (const auto x = item.find('x'); item.find(' ') != std::string::npos) {
            EXPECT_EQ(pictureSize(dir / name), (Size{std::stoi(item.substr(item.find(' ') + 1)),
                                                     std::stoi(item.substr(x + 1))}))
                << name;
        }
    }
    EXPECT_EQ(now, expected);
}

const std::string kSize = " (at most 65535 pixels a side and 268435456 pixels in all).";
const std::string kTooLarge = "Picture is too large (60000 x 60000 pixels; the limit is 268435456)";

INSTANTIATE_TEST_SUITE_P(
    Table, BatchCli,
    // clang-format off
    ::testing::Values(
        // A wrong command line: status 2, the reason, nothing done.
        CliCase{{}, 2, "Usage:", {}},
        CliCase{{"shrink", "a.jpg"}, 2, "unknown command shrink", {}},
        CliCase{{"copy", "-q", "--progress", "a.jpg"}, 2, "--quiet and --progress exclude each other", {}},
        CliCase{{"copy", "--settings", "none.ini", "a.jpg"}, 2, "pictorant-batch: settings file none.ini not found\n(see pictorant-batch copy --help)\n", {}},
        CliCase{{"copy", "--settings", "pipe.bmp", "a.jpg"}, 2, "Cannot read settings file pipe.bmp: not a regular file", {}},
        CliCase{{"convert", "--type", "tif", "a.jpg"}, 2, "--type must be jpg, gif, bmp, emf, wmf, \"No Conversion\" or png, not tif", {}},
        CliCase{{"copy", "--in-place", "a.jpg"}, 2, "--in-place is for convert only", {}},
        CliCase{{"convert", "--naming", "PreName", "--qualifier", "", "a.jpg"}, 2, "--in-place", {}},
        CliCase{{"thumbnails", "--naming", "PreName", "--qualifier", "", "a.jpg"}, 2, "\"a.jpg\" is that file itself", {}},
        CliCase{{"thumbnails", "--width", "0", "a.jpg"}, 2, "must be at least 1 pixel (width 0, height 96)", {}},
        CliCase{{"thumbnails", "--dry-run", "--width", "16385", "--height", "16384", "a.jpg"}, 2, "pictorant-batch: Thumbnail size too large: 16385 x 16384" + kSize, {}},
        CliCase{{"thumbnails", "--ratio", "--width", "-2147483648", "a.jpg"}, 2, "largest side 2147483648", {}},
        CliCase{{"thumbnails", "--height", "$FFFFFFFF", "a.jpg"}, 2, "the thumbnail height must be a whole number, not $FFFFFFFF", {}},
        // Saying, not doing.
        CliCase{{"--version"}, 0, "pictorant-batch " PICTORANT_VERSION "\n", {}},
        CliCase{{"--help"}, 0, "1  incomplete or failed: the run was stopped", {}},
        CliCase{{"--help"}, 0, "  rename [OPTIONS] FILE...\n    Gives each file a new name", {}},
        CliCase{{"convert", "--help"}, 0, "hidden .pictorant-*.tmp beside its target", {}},
        CliCase{{"thumbnails", "--help"}, 0, "Usage: pictorant-batch thumbnails [OPTIONS] FILE...\nMakes a small picture", {}},
        CliCase{{"info", "--", "c.bmp", "-x", "chart.emf"}, 1, "c.bmp: Bitmap 40 x 30\n-x: ", {}},
        CliCase{{"info", "--files-from", "-", "-0"}, 0, "c.bmp: Bitmap 40 x 30\nchart.emf: ", {}, {"c.bmp\0chart.emf\0", 17}},
        CliCase{{"thumbnails", "--dry-run", "a.jpg", "b.jpg"}, 0, "b.jpg -> Thumb002.jpg  new\n2 files: 2 new", {}},
        CliCase{{"undo"}, 1, "There is no rename to undo.", {}},
        // One run of each command, and each family of options.
        CliCase{{"rename", "--qualifier", "Image", "-q", "a.jpg", "b.jpg"}, 0, "", {"-a.jpg", "-b.jpg", "Image001.jpg", "Image002.jpg"}},
        CliCase{{"copy", "--output", "out", "--no-overwrite", "a.jpg", "c.bmp"}, 0, "skipped Image001.jpg: exists", {"out/Image002.bmp"}},
        CliCase{{"copy", "--output", "out", "--naming", "PreName", "--qualifier", "x", "--", "-x", "c.bmp"}, 1, "Operation Incomplete. 0 files processed.", {}},
        CliCase{{"copy", "--settings", "s.ini", "--overwrite", "--output", "out", "--naming", "PreSeq", "a.jpg"}, 0, "", {"~out/Image001.jpg"}},
        CliCase{{"convert", "--type", "GIF", "--output", "out", "--naming", "PreName", "a.jpg", "c.bmp"}, 0, "", {"out/Imagea.gif 64x48", "out/Imagec.gif 40x30"}},
        CliCase{{"convert", "--in-place", "--naming", "PreName", "--qualifier", "", "--jpeg-quality", "10", "a.jpg"}, 0, "", {"~a.jpg"}},
        CliCase{{"thumbnails", "--output", "out", "--ratio", "--width", "32", "--workers", "2", "a.jpg", "c.bmp"}, 0, "", {"out/Thumb001.jpg 32x24", "out/Thumb002.jpg 32x24"}},
        CliCase{{"thumbnails", "--resize", "fast", "--ratio", "--force-height", "--width", "24", "--type", "wmf", "chart.emf"}, 0, "", {"Thumb001.wmf 32x24"}},
        CliCase{{"thumbnails", "--settings", "s.ini", "a.jpg"}, 0, "", {"a_s.bmp 20x15"}},
        CliCase{{"thumbnails", "--settings", "s.ini", "--no-ratio", "--height", "20", "--files-from", "list"}, 0, "", {"c_s.bmp 20x20", "b_s.bmp 20x20"}},
        CliCase{{"thumbnails", "--progress", "--output", "out", "a.jpg", "b.jpg"}, 0, "\r1 of 2\r2 of 2\r      \r", {"out/Thumb001.jpg", "out/Thumb002.jpg"}},
        CliCase{{"thumbnails", "--keep-going", "--output", "out", "a.jpg", "notes.txt", "c.bmp"}, 1, "pictorant-batch: notes.txt: Could not open: ", {"out/Thumb001.jpg", "out/Thumb003.jpg"}},
        CliCase{{"thumbnails", "--output", "out", "a.jpg", "notes.txt", "c.bmp"}, 1, "Could not open notes.txt", {"out/Thumb001.jpg"}},
        CliCase{{"copy", "--output", "out", "pipe.bmp"}, 1, "Not a regular file", {}},
        CliCase{{"info", "huge.jpg"}, 1, "huge.jpg: " + kTooLarge + "\n", {}},
        CliCase{{"thumbnails", "--output", "out", "huge.jpg", "a.jpg"}, 1, "pictorant-batch: " + kTooLarge + "\nCould not open huge.jpg", {}},
        CliCase{{"thumbnails", "--output", "out", "--workers", "1", "cut.jpg", "a.jpg"}, 0, "cut.jpg: data ends early; the rest is grey\n", {"out/Thumb001.jpg", "out/Thumb002.jpg"}},
        CliCase{{"thumbnails", "--output", "out", "--workers", "2", "cut.jpg", "a.jpg"}, 0, "cut.jpg: data ends early; the rest is grey\n", {"out/Thumb001.jpg", "out/Thumb002.jpg"}},
        CliCase{{"rotate", "cw", "link.bmp"}, 0, "", {"~c.bmp"}},
        CliCase{{"rotate", "ccw", "ro.bmp", "pipe.bmp", "c.bmp"}, 1, "ro.bmp: Cannot create file \"ro.bmp\". Permission denied\n" "pipe.bmp: Cannot open file \"pipe.bmp\". Not a regular file\n", {"~c.bmp"}}
    ));
// clang-format on

// A signal in the middle of a long run: the first stops it after the file in hand, a
// second ends it at once. Every output left is whole and no temporary file stays.
bool waitUntil(const std::function<bool()>& ready) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!ready())
        if (std::chrono::steady_clock::now() > deadline)
            return false;
    return true;
}

TEST(BatchStop, SignalsLeaveOnlyWholeFiles) {
    const struct {
        int signalNumber, times, status;
        const char* workers;
    } cases[] = {{SIGINT, 1, 1, "2"}, {SIGTERM, 2, 143, "1"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.signalNumber) + " x" + std::to_string(c.times));
        ScratchFolder dir;
        makePicture(dir / "p.jpg", 1600, 1200);
        std::vector<std::string> args = {"thumbnails", "--workers",   c.workers,
                                         "--width",    "1200",        "--height",
                                         "900",        "--qualifier", "T"};
        for (int i = 0; i < 100; ++i) {
            fs::copy_file(dir / "p.jpg", dir / ("p" + std::to_string(i) + ".jpg"));
            args.push_back("p" + std::to_string(i) + ".jpg");
        }
        BatchProcess process(dir.str(), args);
        ASSERT_TRUE(waitUntil([&] { return fs::exists(dir / "T001.jpg"); }));
        process.signal(c.signalNumber);
        if (c.times == 2) {
            ASSERT_TRUE(waitUntil(
                [&] { return process.errorSoFar().find("stopping") != std::string::npos; }));
            process.signal(c.signalNumber);
        }
        const auto r = process.waitFor(60);
        ASSERT_TRUE(r) << "the run did not end";
        EXPECT_EQ(r->status, c.status) << r->err;
        std::size_t written = 0;
        for (const std::string& name : namesIn(dir.str()))
            if (name[0] != 'p') {
                ASSERT_EQ(name.rfind("T", 0), 0u) << "stray file " << name;
                EXPECT_EQ(pictureSize(dir / name), (Size{1200, 900})) << name;
                ++written;
            }
        EXPECT_LT(written, 100u);
        EXPECT_EQ(r->out, c.times == 2 ? ""
                                       : "Operation Incomplete. " + std::to_string(written) +
                                             " files processed.\n");
    }
}

} // namespace
} // namespace pictorant
