// The plan before a run: what it predicts is what the run does, a run whose targets
// would replace sources not read yet never starts, and thumbnail sizes no picture may
// have are refused before the first file, or at the file a forced side blows up.
#include "engine/RunPlan.h"
#include "engine/Naming.h"
#include "engine/Runs.h"
#include "tests/support/PictureMaker.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

namespace pictorant {
namespace {

using namespace pictorant::testing;
namespace fs = std::filesystem;

// A run of `kind` from the scratch folder to the other one, or into itself; the parallel
// run wherever it may run.
void prepare(RunSetup& run, RunKind kind, bool intoSource) {
    JobSettings& job = run.job;
    job.mode = kind == RunKind::Thumbnails ? JobMode::CreateThumbnails : JobMode::RenameCopyConvert;
    job.renameOnly = kind == RunKind::Rename;
    job.convertTo = kind == RunKind::Copy      ? Conversion::NoConversion
                    : kind == RunKind::Convert ? Conversion::Bmp
                                               : Conversion::Jpg;
    job.outputDir = intoSource ? job.inputDir : job.outputDir;
    job.thumbWidth = job.thumbHeight = "8";
    job.qualifier = "T";
    run.workspace.workers = 2;
}

struct AgreementCase {
    RunKind kind;
    NamingOption naming;
    bool overwrite;
    bool sameFolder;
};

TEST(RunPlan, EveryPlannedActionHappens) {
    using N = NamingOption;
    const AgreementCase cases[] = {
        {RunKind::Thumbnails, N::PreSeq, true, false},
        {RunKind::Thumbnails, N::PreName, false, false},
        {RunKind::Copy, N::PreName, false, false},
        {RunKind::Copy, N::SufName, true, true},
        {RunKind::Convert, N::SufName, false, false},
        {RunKind::Rename, N::PreSeq, true, true},
        {RunKind::Rename, N::PreName, true, true},
    };
    for (const AgreementCase& c : cases) {
        RunSetup run;
        prepare(run, c.kind, c.sameFolder);
        JobSettings& job = run.job;
        const ScratchFolder& in = run.in;
        const std::string out = job.outputDir;
        job.namingOption = c.naming;
        job.overwrite = c.overwrite;
        job.sourceFiles = {"a.jpg", "b.jpg", "c.gif", "T002.jpg"};
        for (const std::string& name : job.sourceFiles)
            makePicture(in / name, 12, 10, name.ends_with(".gif") ? "GIF" : "JPG");
        for (const char* name : {"T001.jpg", "Ta.jpg", "aT.jpg", "T001.bmp", "aT.bmp", "Ta.bmp"})
            if (!fs::exists(out + "/" + name))
                writeBytes(out + "/" + name, "old output");

        const RunPlan plan = planRun(job);
        const auto before = snapshot(out), sources = snapshot(in.str());
        const RunOutcome outcome = run.go();
        const auto after = snapshot(out);
        SCOPED_TRACE(std::to_string(int(c.kind)) + namingOptionKeyword(c.naming));
        if (plan.refusal) {
            EXPECT_EQ(run.host->messageIds, std::vector<RunMessage>{RunMessage::SourceClash});
            EXPECT_TRUE(snapshot(in.str()) == sources && after == before);
            continue;
        }
        bool stopped = false;
        for (std::size_t p = 0; p < plan.files.size(); ++p) {
            const PlannedFile& f = plan.files[p];
            SCOPED_TRACE(planLine(f));
            EXPECT_EQ(run.state.ProcessedFileList[p].reached, !stopped);
            if (stopped)
                continue;
            EXPECT_EQ(run.state.ProcessedFileList[p].outputPath, f.targetPath);
            const bool wasThere = before.count(f.targetName) != 0;
            switch (f.action) {
            case PlannedAction::New:
            case PlannedAction::Replaces:
                EXPECT_EQ(wasThere, f.action == PlannedAction::Replaces);
                EXPECT_TRUE(after.count(f.targetName) &&
                            (!wasThere || after.at(f.targetName) != before.at(f.targetName)));
                EXPECT_TRUE(c.kind != RunKind::Copy ||
                            after.at(f.targetName) == sources.at(f.sourceName));
                break;
            case PlannedAction::Skipped:
                EXPECT_TRUE(after.at(f.targetName) == before.at(f.targetName));
                EXPECT_EQ(
                    std::count(run.host->skipped.begin(), run.host->skipped.end(), f.targetName),
                    1);
                break;
            case PlannedAction::Renamed:
                EXPECT_TRUE(after.at(f.targetName) == sources.at(f.sourceName));
                break;
            case PlannedAction::Refused:
                stopped = true;
                break;
            default:
                ADD_FAILURE() << "unexpected action";
            }
        }
        EXPECT_EQ(outcome.complete, !stopped);
    }
}

struct ClashCase {
    RunKind kind;
    NamingOption naming;
    const char* qualifier;
    std::vector<std::string> sources;
    bool inPlace;
    const char* refusal; // "" when the run goes ahead
    const char* line;    // the plan's line for the first file
};

TEST(SourceClash, RefusesBeforeAnythingIsWritten) {
    const std::string self =
        "The output file of \"a.jpg\" is that file itself, which would be replaced.  Nothing "
        "was done.";
    // clang-format off
    const ClashCase cases[] = {
        {RunKind::Thumbnails, NamingOption::PreName, "", {"a.jpg", "b.jpg"}, false, self.c_str(), "a.jpg -> a.jpg  clash: would replace its own source"},
        {RunKind::Copy, NamingOption::PreSeq, "Image", {"a.jpg", "Image001.jpg"}, false, "The output file \"Image001.jpg\" of \"a.jpg\" is also a selected file that would be " "replaced before it is read.  Nothing was done.", "a.jpg -> Image001.jpg  clash: would replace Image001.jpg before it is read"},
        {RunKind::Convert, NamingOption::PreName, "", {"a.jpg"}, false, self.c_str(), "a.jpg -> a.jpg  clash: would replace its own source"},
        {RunKind::Convert, NamingOption::PreName, "", {"a.jpg"}, true, "", "a.jpg -> a.jpg  in place"},
        {RunKind::Copy, NamingOption::PreName, "", {"a.jpg"}, false, "", "a.jpg -> a.jpg  unchanged: same file"},
        {RunKind::Thumbnails, NamingOption::PreSeq, "x", {"x002.jpg", "a.jpg"}, false, "", "x002.jpg -> x001.jpg  new"},
    };
    // clang-format on
    for (const ClashCase& c : cases) {
        SCOPED_TRACE(c.line);
        RunSetup run;
        prepare(run, c.kind, true);
        const ScratchFolder& in = run.in;
        for (const std::string& name : c.sources)
            makePicture(in / name, 9, 7);
        JobSettings& job = run.job;
        job.namingOption = c.naming;
        job.qualifier = c.qualifier;
        job.convertTo = c.kind == RunKind::Convert ? Conversion::Jpg : job.convertTo;
        job.convertInPlace = c.inPlace;
        job.jpegQuality = 20;
        job.sourceFiles = c.sources;
        const auto before = snapshot(in.str());
        const RunPlan plan = planRun(job);
        EXPECT_EQ(planLine(plan.files[0]), c.line);
        const RunOutcome outcome = run.go();
        if (!*c.refusal) {
            EXPECT_FALSE(plan.refusal);
            EXPECT_TRUE(outcome.complete) << outcome.closingLine;
            EXPECT_EQ(pictureSize(in / "a.jpg"), (Size{9, 7}));
            EXPECT_EQ(snapshot(in.str()) != before, c.inPlace || c.kind == RunKind::Thumbnails);
            continue;
        }
        EXPECT_EQ(plan.refusal.value_or(""), c.refusal);
        EXPECT_EQ(run.host->messages, std::vector<std::string>{c.refusal});
        EXPECT_EQ(outcome.closingLine, "Operation Incomplete. 0 files processed.");
        EXPECT_TRUE(snapshot(in.str()) == before);
    }
}

// Sizes no picture may have: boxes refused by the plan before the first file, a forced
// side refused at the source it blows up, and the run stopped there, working ahead or
// not. The pixel cap is lowered so that a refusal that goes missing makes a small raster.
TEST(ThumbSizes, AreRefusedBeforeAnyRasterOfThatSize) {
    const std::int64_t cap = MaxPicturePixels();
    SetMaxPicturePixels(1 << 20);
    const std::string limits = " (at most 65535 pixels a side and 1048576 pixels in all).";
    const std::string small = "Thumbnail width and height must be at least 1 pixel (width ";
    const struct {
        const char* width;
        const char* height;
        bool ratio;
        std::string refusal; // "" when the boxes are taken, or not whole numbers
        // clang-format off
    } boxes[] = {
        {"1024", "1024", false, ""},
        {"1025", "1024", false, "Thumbnail size too large: 1025 x 1024" + limits},
        {"0", "96", false, small + "0, height 96)"},
        {"-65535", "0", true, ""},
        {"0", "96", true, small + "0, height 96, ratio kept)"},
        {"65536", "96", true, "Thumbnail size too large: largest side 65536 (at most 65535 pixels a side)."},
        {"2147483648", "96", false, ""},
    };
    // clang-format on
    for (const auto& c : boxes) {
        JobSettings job;
        job.thumbWidth = c.width;
        job.thumbHeight = c.height;
        job.maintainRatio = c.ratio;
        EXPECT_FALSE(planRun(job).refusal) << "no file, nothing to refuse";
        job.sourceFiles = {"a.jpg"};
        EXPECT_EQ(planRun(job).refusal.value_or(""), c.refusal);
        EXPECT_EQ(planRun(job).sizeRefused, !c.refusal.empty());
    }
    const struct {
        int width, height, side;
        bool forceWidth;
        const char* refusal; // "" when the thumbnail is made
    } forced[] = {{300, 200, -600, true, ""},
                  {1000, 1049, 1000, true, "1000 x 1049"},
                  {65536, 1, 1, false, "65536 x 1"},
                  {40000, 1, 65535, false, "2621400000 x 65535"}}; // beyond an int
    for (const auto& c : forced) {
        ThumbSizeOptions o{c.side, 96, true, c.forceWidth, !c.forceWidth};
        const std::string refusal = errorOf<ThumbSizeError>(
            [&] {
                EXPECT_EQ(thumbSizeFor("p.jpg", c.width, c.height, o), (ThumbSize{600, 400}));
            },
            "");
        EXPECT_EQ(refusal, *c.refusal
                               ? "Thumbnail of p.jpg too large: " + std::string(c.refusal) + limits
                               : "");
    }
    for (int workers : {1, 2}) {
        RunSetup run;
        prepare(run, RunKind::Thumbnails, false);
        makePicture(run.in / "a.jpg", 300, 200);
        makePicture(run.in / "b.jpg", 10, 100);
        run.job.sourceFiles = {"a.jpg", "b.jpg", "a.jpg"};
        run.job.maintainRatio = run.job.forceWidth = true;
        run.job.thumbWidth = "400";
        run.workspace.workers = workers;
        EXPECT_EQ(run.go().closingLine, "Operation Incomplete. 1 files processed.");
        EXPECT_EQ(run.host->messageIds, std::vector<RunMessage>{RunMessage::ThumbSizeRefused});
        EXPECT_EQ(run.host->messages,
                  std::vector<std::string>{"Thumbnail of b.jpg too large: 400 x 4000" + limits});
        EXPECT_FALSE(run.state.runFailed);
        EXPECT_EQ(run.host->paneRereads, 1);
        EXPECT_EQ(namesIn(run.out.str()), std::vector<std::string>{"T001.jpg"});
        EXPECT_EQ(pictureSize(run.out / "T001.jpg"), (Size{400, 267}));
    }
    SetMaxPicturePixels(cap);
}

} // namespace
} // namespace pictorant
