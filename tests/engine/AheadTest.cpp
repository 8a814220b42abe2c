// Working ahead on several threads changes nothing the user can see, however the run
// ends; and a file starts only when the memory it claims fits beside the files in flight.
#include "engine/PictureRunsAhead.h"
#include "imaging/JpegCodec.h"
#include "tests/support/PictureMaker.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <map>

namespace pictorant {
namespace {

using namespace pictorant::testing;
namespace fs = std::filesystem;

// Everything a run leaves or shows, with output paths made relative to its folder.
struct Observed {
    std::map<std::string, std::string> files;
    std::vector<std::string> lines; // progress, messages, warnings, skips, failures
    std::vector<int> bar;
    std::string closingLine;
    bool failed = false;
    std::vector<std::string> entries;
    bool operator==(const Observed&) const = default;
};

// The sources in `in`; every run writes to a folder of its own.
class Ahead : public ::testing::Test, protected RunSetup {
protected:
    void SetUp() override {
        const std::tuple<const char*, int, int> pictures[] = {
            {"a.jpg", 640, 480}, {"b.jpg", 300, 500}, {"c.gif", 120, 90}, {"d.jpg", 1024, 96},
            {"e.bmp", 200, 150}, {"f.jpg", 97, 2000}, {"g.jpg", 1, 40},   {"h.jpg", 2, 2}};
        for (const auto& [name, w, h] : pictures) {
            makePicture(in / name, w, h, name[2] == 'g' ? "GIF" : name[2] == 'b' ? "BMP" : "JPG");
            job.sourceFiles.push_back(name);
        }
        // Cut in half: drawn grey below the cut, with a warning.
        std::vector<std::uint8_t> cut = EncodeJpeg(gradient(400, 300), 90);
        writeBytes(in / "cut.jpg", std::string(cut.begin(), cut.begin() + cut.size() / 2));
        job.sourceFiles.push_back("cut.jpg");
        job.mode = JobMode::CreateThumbnails;
        job.qualifier = "T";
    }

    Observed run(int workers, int stopAt) {
        RunSetup r;
        r.job = job;
        r.job.outputDir = r.out.str();
        r.workspace.workers = workers;
        const RunOutcome outcome = r.go(stopAt);
        const TestHost& host = *r.host;
        Observed o;
        o.files = snapshot(r.out.str());
        for (const auto* list : {&host.progressLines, &host.messages, &host.warnings, &host.skipped,
                                 &host.failedFiles})
            o.lines.insert(o.lines.end(), list->begin(), list->end());
        o.lines.push_back(std::to_string(host.failures.size()) + " failures, " +
                          std::to_string(host.paneRereads) + " rereads");
        o.bar = host.bar;
        o.closingLine = outcome.closingLine;
        o.failed = r.state.runFailed;
        for (const ProcessedFile& e : r.state.ProcessedFileList)
            o.entries.push_back(std::to_string(e.originalBytes) + " " + e.originalPath + " " +
                                fs::path(e.outputPath).filename().string() + " " +
                                std::to_string(e.outputWidth) + "x" +
                                std::to_string(e.outputHeight) + (e.reached ? " r" : "") +
                                (e.outputPresent ? " p" : ""));
        return o;
    }

    Observed compare(int stopAt = -1) {
        const Observed plain = run(1, stopAt);
        for (int workers : {3, 2})
            EXPECT_TRUE(run(workers, stopAt) == plain) << workers << " workers";
        return plain;
    }
};

TEST_F(Ahead, ThumbnailsAndConvertsOfEveryMethodAndType) {
    const struct {
        JobMode mode;
        ResizeSpeed speed;
        bool ratio;
        Conversion type;
    } cases[] = {{JobMode::CreateThumbnails, ResizeSpeed::Quality, true, Conversion::Jpg},
                 {JobMode::CreateThumbnails, ResizeSpeed::Fast, false, Conversion::NoConversion},
                 {JobMode::CreateThumbnails, ResizeSpeed::Fast, true, Conversion::Gif},
                 {JobMode::CreateThumbnails, ResizeSpeed::Quality, true, Conversion::Bmp},
                 {JobMode::RenameCopyConvert, ResizeSpeed::Quality, true, Conversion::Bmp},
                 {JobMode::RenameCopyConvert, ResizeSpeed::Quality, true, Conversion::Unknown}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(conversionWord(c.type)) + " " + std::to_string(int(c.mode)));
        job.mode = c.mode;
        job.renameOnly = false;
        job.resizeSpeed = c.speed;
        job.maintainRatio = c.ratio;
        job.convertTo = c.type;
        const Observed plain = compare();
        EXPECT_EQ(plain.closingLine, "Operation complete. 9 files processed.");
        EXPECT_EQ(plain.files.size(), c.type == Conversion::Unknown ? 0u : 9u);
        EXPECT_EQ(plain.lines.end()[-2], "cut.jpg: data ends early; the rest is grey");
    }
}

TEST_F(Ahead, StopsAndFailuresEndAtTheSameFile) {
    for (int stopAt : {1, 5, 9})
        EXPECT_EQ(compare(stopAt).closingLine,
                  "Operation Incomplete. " + std::to_string(stopAt) + " files processed.");
    writeBytes(in / "e.bmp", "BM not a bitmap at all");
    EXPECT_EQ(compare().closingLine, "Operation Incomplete. 4 files processed.");
    job.keepGoing = true;
    EXPECT_EQ(compare().closingLine, "Operation Incomplete. 8 files processed.");
}

constexpr std::size_t MB = std::size_t(1) << 20;

TEST(Admission, AFileStartsWhenItFitsOrWhenNothingElseIsHeld) {
    const struct {
        std::size_t need, inUse;
        bool admitted;
    } cases[] = {
        {10 * MB, 990 * MB, true},           // exactly fills the budget
        {10 * MB + 1, 990 * MB, false},      // one byte over
        {5000 * MB, 0, true},                // bigger than the budget: runs alone
        {5000 * MB, 1, false},               // ... and only alone
        {SIZE_MAX, 10 * MB, false},          // no overflow in the sum
        {10 * MB, SIZE_MAX - 5 * MB, false}, // held more than the budget already
    };
    for (const auto& c : cases)
        EXPECT_EQ(admitsFile(c.need, c.inUse, 1000 * MB), c.admitted) << c.need << " " << c.inUse;
}

TEST(Admission, NeedsFollowTheClaimedSizeTheSourceAndTheOutput) {
    using K = PictureRunKind;
    const auto need = [](K kind, PictureKind source, PictureHeader h, std::int64_t out,
                         OutputType type, std::size_t bytes = 0) {
        return memoryNeedOf(kind, source, h, bytes, out, type);
    };
    // 1,080 bytes claiming 16000 x 16000: budgeted by the claim, so two never run
    // together, and one alone does.
    const std::size_t big = need(K::Thumbnails, PictureKind::Bitmap, PictureHeader{16000, 16000},
                                 9216, OutputType::Jpg, 1080);
    EXPECT_EQ(big, 1080 + 16000ull * 16000 * 3 + 9216 * 6);
    EXPECT_FALSE(admitsFile(big, big, kAheadMemoryBudget));
    EXPECT_TRUE(admitsFile(big, 0, kAheadMemoryBudget));
    // Bytes a source pixel and an output pixel, by run, source and output type.
    const struct {
        K kind;
        PictureKind source;
        bool progressive;
        OutputType type;
        std::size_t perSource, perOutput;
    } rates[] = {
        {K::Convert, PictureKind::Jpeg, false, OutputType::Jpg, 3, 3},
        {K::Thumbnails, PictureKind::Jpeg, false, OutputType::Jpg, 2, 6},
        {K::Convert, PictureKind::Jpeg, true, OutputType::Gif, 9, 8},
    };
    for (const auto& r : rates)
        EXPECT_EQ(need(r.kind, r.source, PictureHeader{1000, 100, r.progressive}, 10, r.type, 7),
                  7 + 100000 * r.perSource + 10 * r.perOutput)
            << int(r.kind) << " " << int(r.source) << " " << int(r.type);
    // A header that could not be read budgets the file's bytes.
    EXPECT_EQ(need(K::Convert, PictureKind::Jpeg, PictureHeader{}, 0, OutputType::Jpg, 777), 777u);
}

} // namespace
} // namespace pictorant
