// Working ahead on several threads must change nothing the user can see: the same
// files, bytes, messages, progress, counts and closing line as the plain run, however
// the run ends.
#include "../settings/TempFolder.h"
#include "BatchEngine.h"
#include "PictureMaker.h"
#include "TestHost.h"

#include <gtest/gtest.h>

#include <map>

namespace pictorant {
namespace {

using namespace pictorant::testing;

struct Observed {
    std::map<std::string, std::vector<std::uint8_t>> files; // the output folder
    std::vector<std::string> progressLines, messages, failures;
    std::vector<int> bar;
    std::string closingLine;
    bool complete = false, failed = false;
    int count = 0;
    std::vector<ProcessedFile> entries;
    int paneRereads = 0;
};

// Sources: pictures of several sizes and types, and whatever `extra` adds.
void makeSources(const TempFolder& in) {
    const struct {
        const char* name;
        int w, h;
        const char* type;
    } pictures[] = {{"a.jpg", 640, 480, "JPG"}, {"b.jpg", 300, 500, "JPG"},
                    {"c.gif", 120, 90, "GIF"},  {"d.jpg", 1024, 96, "JPG"},
                    {"e.bmp", 200, 150, "BMP"}, {"f.jpg", 97, 2000, "JPG"},
                    {"g.jpg", 800, 600, "JPG"}, {"h.jpg", 2, 2, "JPG"},
                    {"i.JPG", 333, 222, "JPG"}, {"j.jpg", 640, 640, "JPG"}};
    for (const auto& p : pictures)
        makePicture(in / p.name, p.w, p.h, p.type);
}

class AheadTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeSources(in);
        job.inputDir = in.str();
        job.sourceFiles = {"a.jpg", "b.jpg", "c.gif", "d.jpg", "e.bmp",
                           "f.jpg", "g.jpg", "h.jpg", "i.JPG", "j.jpg"};
    }

    Observed run(int workers, int cancelAfter = -1,
                 const std::function<void(const TempFolder&)>& prepareOutput = {}) {
        TempFolder out;
        if (prepareOutput)
            prepareOutput(out);
        JobSettings j = job;
        j.outputDir = out.str();
        RunState state;
        PictureWorkspace workspace;
        workspace.workers = workers;
        TestHost host(state, cancelAfter);
        const RunOutcome outcome = startRun(j, state, host, workspace);
        Observed o;
        for (const auto& e : std::filesystem::directory_iterator(out.path()))
            o.files[e.path().filename().string()] =
                e.is_regular_file() ? fileBytes(e.path()) : std::vector<std::uint8_t>{};
        o.progressLines = host.progressLines;
        o.messages = host.messages;
        o.failures = host.failures;
        o.bar = host.barPositions;
        o.closingLine = outcome.closingLine;
        o.complete = outcome.complete;
        o.failed = state.runFailed;
        o.count = state.processedCount;
        o.paneRereads = host.paneRereads;
        for (ProcessedFile e : state.ProcessedFileList) {
            // The output folder differs between the two runs; compare names within it.
            if (e.outputPath.rfind(out.str(), 0) == 0)
                e.outputPath = e.outputPath.substr(out.str().size());
            o.entries.push_back(e);
        }
        return o;
    }

    void expectSame(const Observed& plain, const Observed& ahead) {
        EXPECT_EQ(plain.files, ahead.files);
        EXPECT_EQ(plain.progressLines, ahead.progressLines);
        EXPECT_EQ(plain.messages, ahead.messages);
        EXPECT_EQ(plain.bar, ahead.bar);
        EXPECT_EQ(plain.closingLine, ahead.closingLine);
        EXPECT_EQ(plain.complete, ahead.complete);
        EXPECT_EQ(plain.failed, ahead.failed);
        EXPECT_EQ(plain.count, ahead.count);
        EXPECT_EQ(plain.paneRereads, ahead.paneRereads);
        EXPECT_EQ(plain.failures.size(), ahead.failures.size());
        ASSERT_EQ(plain.entries.size(), ahead.entries.size());
        for (std::size_t i = 0; i < plain.entries.size(); ++i) {
            const ProcessedFile &a = plain.entries[i], &b = ahead.entries[i];
            SCOPED_TRACE(i);
            EXPECT_EQ(a.originalBytes, b.originalBytes);
            EXPECT_EQ(a.outputWidth, b.outputWidth);
            EXPECT_EQ(a.outputHeight, b.outputHeight);
            EXPECT_EQ(a.originalPath, b.originalPath);
            EXPECT_EQ(a.outputPath, b.outputPath);
            EXPECT_EQ(a.reached, b.reached);
            EXPECT_EQ(a.outputPresent, b.outputPresent);
        }
    }

    // The plain run against three and two workers.
    Observed compare(int cancelAfter = -1,
                     const std::function<void(const TempFolder&)>& prepareOutput = {}) {
        const Observed plain = run(1, cancelAfter, prepareOutput);
        for (int workers : {3, 2}) {
            SCOPED_TRACE(workers);
            expectSame(plain, run(workers, cancelAfter, prepareOutput));
        }
        return plain;
    }

    TempFolder in;
    JobSettings job;
};

TEST_F(AheadTest, ThumbnailsOfEveryMethodAndTypeAreTheSame) {
    job.mode = JobMode::CreateThumbnails;
    job.qualifier = "Thumb";
    const struct {
        ResizeSpeed speed;
        bool ratio;
        const char* type;
    } cases[] = {{ResizeSpeed::Quality, true, "jpg"},
                 {ResizeSpeed::Fast, true, "jpg"},
                 {ResizeSpeed::Quality, false, "No Conversion"},
                 {ResizeSpeed::Fast, true, "gif"},
                 {ResizeSpeed::Quality, true, "bmp"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        job.resizeSpeed = c.speed;
        job.maintainRatio = c.ratio;
        job.convertTo = c.type;
        const Observed plain = compare();
        // h.jpg (2 x 2) fails nothing; every file gets its output.
        EXPECT_TRUE(plain.complete);
        EXPECT_EQ(plain.count, 10);
    }
}

TEST_F(AheadTest, ConvertRunsAreTheSame) {
    job.mode = JobMode::RenameCopyConvert;
    job.renameOnly = false;
    job.qualifier = "Image";
    job.namingOption = NamingOption::PreName;
    for (const char* type : {"jpg", "bmp", "gif", "PNG"}) {
        SCOPED_TRACE(type);
        job.convertTo = type;
        compare();
    }
}

TEST_F(AheadTest, CancelAtSeveralPointsEndsAtTheSameFile) {
    job.mode = JobMode::CreateThumbnails;
    job.qualifier = "Thumb";
    for (int cancelAfter : {1, 2, 5, 9, 10}) {
        SCOPED_TRACE(cancelAfter);
        const Observed plain = compare(cancelAfter);
        EXPECT_EQ(plain.count, cancelAfter);
        EXPECT_EQ(plain.complete, false);
    }
}

TEST_F(AheadTest, ACorruptFileInTheMiddleStopsBothAtIt) {
    writeFile(in / "e.bmp", "BM not a bitmap at all");
    job.mode = JobMode::CreateThumbnails;
    job.qualifier = "Thumb";
    const Observed plain = compare();
    EXPECT_EQ(plain.messages, std::vector<std::string>{"Could not open e.bmp"});
    EXPECT_EQ(plain.closingLine, "Operation Incomplete. 4 files processed.");
}

TEST_F(AheadTest, SkipsAndFailuresHappenAtTheSameFile) {
    job.mode = JobMode::CreateThumbnails;
    job.qualifier = "Thumb";
    // A kept thumbnail in the middle is skipped, not counted.
    job.overwrite = false;
    Observed kept =
        compare(-1, [](const TempFolder& out) { writeFile(out / "Thumb004.jpg", "kept"); });
    EXPECT_EQ(kept.count, 9);
    EXPECT_EQ(kept.files["Thumb004.jpg"], std::vector<std::uint8_t>({'k', 'e', 'p', 't'}));

    // A folder where file 6's thumbnail goes cannot be written: the run fails there.
    job.overwrite = true;
    Observed failed = compare(
        -1, [](const TempFolder& out) { std::filesystem::create_directory(out / "Thumb006.jpg"); });
    EXPECT_TRUE(failed.failed);
    EXPECT_EQ(failed.closingLine, "Operation Incomplete. 5 files processed.");

    // A one-pixel-wide source is filtered like any other, the same way by both.
    makePicture(in / "h.jpg", 1, 40);
    Observed onePixel = compare();
    EXPECT_FALSE(onePixel.failed);
    EXPECT_EQ(onePixel.closingLine, "Operation complete. 10 files processed.");
}

} // namespace
} // namespace pictorant
