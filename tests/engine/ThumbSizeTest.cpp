// Thumbnail sizes no picture may have: refused before the first file when the boxes
// alone say so, at the file when a forced side blows a narrow source up, and never
// made as a raster in either case.

#include "../settings/TempFolder.h"
#include "BatchEngine.h"
#include "Naming.h"
#include "PictureMaker.h"
#include "RunPlan.h"
#include "Runs.h"
#include "TestHost.h"
#include "settings/SettingsFile.h"
#include "support/FileFaults.h"

#include <gtest/gtest.h>

#include <optional>

namespace pictorant {
namespace {

using namespace pictorant::testing;

const std::string kLimits = " (at most 65535 pixels a side and 268435456 pixels in all).";

// The boxes and rules a job can hold, and what the start of a run makes of them.
struct BoxCase {
    const char* name;
    const char* width;
    const char* height;
    bool ratio;
    bool forceWidth;
    bool forceHeight;
    std::string refusal; // the message, or "" when the boxes are accepted
};
void PrintTo(const BoxCase& c, std::ostream* os) {
    *os << c.name;
}

JobSettings thumbnailJob(const BoxCase& c) {
    JobSettings job;
    job.mode = JobMode::CreateThumbnails;
    job.thumbWidth = c.width;
    job.thumbHeight = c.height;
    job.maintainRatio = c.ratio;
    job.forceWidth = c.forceWidth;
    job.forceHeight = c.forceHeight;
    return job;
}

class ThumbBoxes : public ::testing::TestWithParam<BoxCase> {};

TEST_P(ThumbBoxes, AreReadAgainstThePictureLimits) {
    const BoxCase& c = GetParam();
    const JobSettings job = thumbnailJob(c);
    if (!c.refusal.empty()) {
        try {
            thumbSizeOptionsOf(job);
            FAIL() << "accepted";
        } catch (const ThumbSizeError& e) {
            EXPECT_EQ(std::string(e.what()), c.refusal);
        }
    } else {
        const ThumbSizeOptions o = thumbSizeOptionsOf(job);
        EXPECT_EQ(o.thumbWidth, *parseWholeNumber(c.width));
        EXPECT_EQ(o.thumbHeight, *parseWholeNumber(c.height));
    }
}

// The plan carries the same refusal, so the run never starts and the names dialog and
// the dry run show why.
TEST_P(ThumbBoxes, RefuseThePlanOfARunWithFiles) {
    const BoxCase& c = GetParam();
    JobSettings job = thumbnailJob(c);
    job.inputDir = job.outputDir = "/nonexistent-folder";
    EXPECT_FALSE(planRun(job).refusal) << "no file, nothing to refuse";
    job.sourceFiles = {"a.jpg", "b.jpg"};
    const RunPlan plan = planRun(job);
    EXPECT_EQ(plan.refusal.value_or(""), c.refusal);
    EXPECT_EQ(plan.sizeRefused, !c.refusal.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, ThumbBoxes,
    ::testing::Values(
        // Ratio off: both boxes are the size, each side and the area capped.
        BoxCase{"PlainDefault", "96", "96", false, false, false, ""},
        BoxCase{"WidestSide", "65535", "1", false, false, false, ""},
        BoxCase{"TallestSide", "1", "65535", false, false, false, ""},
        BoxCase{"AreaAtTheCap", "16384", "16384", false, false, false, ""},
        BoxCase{"WidthOnePastTheSide", "65536", "1", false, false, false,
                "Thumbnail size too large: 65536 x 1" + kLimits},
        BoxCase{"HeightOnePastTheSide", "1", "65536", false, false, false,
                "Thumbnail size too large: 1 x 65536" + kLimits},
        BoxCase{"AreaOnePastTheCap", "16385", "16384", false, false, false,
                "Thumbnail size too large: 16385 x 16384" + kLimits},
        BoxCase{"BothSidesInAreaOver", "30000", "30000", false, false, false,
                "Thumbnail size too large: 30000 x 30000" + kLimits},
        BoxCase{"HeightAtIntMax", "1", "2147483647", false, false, false,
                "Thumbnail size too large: 1 x 2147483647" + kLimits},
        BoxCase{"BothAtIntMax", "2147483647", "2147483647", false, false, false,
                "Thumbnail size too large: 2147483647 x 2147483647" + kLimits},
        BoxCase{"HexAtIntMax", "$7FFFFFFF", "10", false, false, false,
                "Thumbnail size too large: 2147483647 x 10" + kLimits},
        BoxCase{"ZeroWidth", "0", "96", false, false, false,
                "Thumbnail width and height must be at least 1 pixel (width 0, height 96)"},
        BoxCase{"NegativeAndHugeIsTooSmallFirst", "-5", "2147483647", false, false, false,
                "Thumbnail width and height must be at least 1 pixel (width -5, height "
                "2147483647)"},
        BoxCase{"IntMinWidth", "-2147483648", "96", false, false, false,
                "Thumbnail width and height must be at least 1 pixel (width -2147483648, "
                "height 96)"},
        // Ratio kept: the width box is the largest side, whatever its sign; the hidden
        // height box is never a reason.
        BoxCase{"LargestSideAtTheCap", "65535", "96", true, false, false, ""},
        BoxCase{"NegativeLargestSideAtTheCap", "-65535", "96", true, false, false, ""},
        BoxCase{"HiddenHeightIsIgnored", "96", "2147483647", true, false, false, ""},
        BoxCase{"HiddenZeroHeightIsIgnored", "96", "0", true, false, false, ""},
        BoxCase{"LargestSideOnePast", "65536", "96", true, false, false,
                "Thumbnail size too large: largest side 65536 (at most 65535 pixels a side)."},
        BoxCase{"NegativeLargestSideOnePast", "-65536", "96", true, false, false,
                "Thumbnail size too large: largest side 65536 (at most 65535 pixels a side)."},
        BoxCase{"LargestSideIntMin", "-2147483648", "96", true, false, false,
                "Thumbnail size too large: largest side 2147483648 (at most 65535 pixels a "
                "side)."},
        BoxCase{"ForcedWidthAtTheCap", "65535", "96", true, true, false, ""},
        BoxCase{"ForcedHeightOnePast", "65536", "96", true, false, true,
                "Thumbnail size too large: largest side 65536 (at most 65535 pixels a side)."},
        BoxCase{"ZeroLargestSide", "0", "96", true, false, false,
                "Thumbnail width and height must be at least 1 pixel (width 0, height 96, "
                "ratio kept)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ThumbBoxMessages, NameTheLimitsInForce) {
    BoxCase c{"", "30000", "30000", false, false, false, ""};
    try {
        thumbSizeOptionsOf(thumbnailJob(c));
        FAIL() << "accepted";
    } catch (const ThumbSizeError& e) {
        EXPECT_EQ(std::string(e.what()), "Thumbnail size too large: 30000 x 30000" + kLimits);
    }
    // A lowered pixel cap is the one told and the one applied.
    const std::int64_t cap = MaxPicturePixels();
    SetMaxPicturePixels(10000);
    c.width = "100";
    c.height = "100";
    EXPECT_NO_THROW(thumbSizeOptionsOf(thumbnailJob(c)));
    c.height = "101";
    try {
        thumbSizeOptionsOf(thumbnailJob(c));
        ADD_FAILURE() << "accepted";
    } catch (const ThumbSizeError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Thumbnail size too large: 100 x 101 (at most 65535 pixels a side and 10000 "
                  "pixels in all).");
    }
    SetMaxPicturePixels(cap);
}

// Boxes that are not whole numbers (a number beyond 32 bits among them) stay the run's
// failure, as text in a box always was; the plan does not refuse them.
TEST(ThumbBoxesNotWhole, AreLeftToTheRun) {
    for (const char* text : {"wide", "$FFFFFFFF", "2147483648", "-2147483649", "99999999999"}) {
        SCOPED_TRACE(text);
        JobSettings job = thumbnailJob({"", text, "96", false, false, false, ""});
        EXPECT_THROW(thumbSizeOptionsOf(job), NotWholeNumberError);
        job.sourceFiles = {"a.jpg"};
        EXPECT_FALSE(planRun(job).refusal);
    }
}

// What each source of a run becomes under a forced side: its size, or the refusal that
// names it.
struct ForcedCase {
    const char* name;
    int sourceWidth, sourceHeight;
    const char* side; // the width box
    bool forceWidth;  // else Force Height
    int width, height;
    const char* refusal; // "" when the thumbnail is made
};
void PrintTo(const ForcedCase& c, std::ostream* os) {
    *os << c.name;
}

ThumbSizeOptions forced(const ForcedCase& c) {
    ThumbSizeOptions o;
    o.maintainRatio = true;
    o.thumbWidth = *parseWholeNumber(c.side);
    o.forceWidth = c.forceWidth;
    o.forceHeight = !c.forceWidth;
    return o;
}

class ForcedSides : public ::testing::TestWithParam<ForcedCase> {};

TEST_P(ForcedSides, AreCheckedPerSource) {
    const ForcedCase& c = GetParam();
    if (*c.refusal) {
        try {
            thumbSizeFor("p.jpg", c.sourceWidth, c.sourceHeight, forced(c));
            FAIL() << "accepted";
        } catch (const ThumbSizeError& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("Thumbnail of p.jpg too large: ") + c.refusal + kLimits);
        }
    } else {
        EXPECT_EQ(thumbSizeFor("p.jpg", c.sourceWidth, c.sourceHeight, forced(c)),
                  (ThumbSize{c.width, c.height}));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, ForcedSides,
    ::testing::Values(
        ForcedCase{"EnlargedWithin", 300, 200, "600", true, 600, 400, ""},
        ForcedCase{"ByHeight", 300, 200, "600", false, 900, 600, ""},
        ForcedCase{"WideSourceAtTheSide", 65535, 1, "65535", true, 65535, 1, ""},
        ForcedCase{"AreaAtTheCap", 1, 1, "16384", true, 16384, 16384, ""},
        ForcedCase{"AreaOnePast", 16384, 16385, "16384", true, 0, 0, "16384 x 16385"},
        ForcedCase{"OtherSideOnePast", 1, 65536, "1", true, 0, 0, "1 x 65536"},
        ForcedCase{"ByHeightOtherSideOnePast", 65536, 1, "1", false, 0, 0, "65536 x 1"},
        ForcedCase{"ByHeightAreaPast", 2, 1, "40000", false, 0, 0, "80000 x 40000"},
        ForcedCase{"NarrowSourceBlownUp", 1, 5000, "1000", true, 0, 0, "1000 x 5000000"},
        // Beyond an int: told as too large, not as a floating point failure.
        ForcedCase{"BeyondAnInt", 40000, 1, "65535", false, 0, 0, "2621400000 x 65535"},
        ForcedCase{"NegativeBoxIsItsSize", 300, 200, "-600", true, 600, 400, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Whole runs: the refusal is the program's own message, nothing is written, and the
// per-file refusal ends the run at that file whether it works ahead or not. The pixel cap
// is lowered so that a refusal that goes missing makes a small raster, not gigabytes.
class ThumbSizeRun : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        SetMaxPicturePixels(kRunCap);
        job.mode = JobMode::CreateThumbnails;
        job.qualifier = "Thumb";
        job.convertTo = "bmp";
        job.inputDir = in.str();
        job.outputDir = out.str();
        workspace.workers = GetParam();
    }
    void TearDown() override { SetMaxPicturePixels(cap); }
    RunOutcome go() {
        host.emplace(state);
        return startRun(job, state, *host, workspace);
    }

    static constexpr std::int64_t kRunCap = 1 << 20;
    const std::int64_t cap = MaxPicturePixels();
    const std::string runLimits =
        " (at most 65535 pixels a side and " + std::to_string(kRunCap) + " pixels in all).";
    ScratchFolder in, out;
    JobSettings job;
    RunState state;
    PictureWorkspace workspace;
    std::optional<TestHost> host;
};

TEST_P(ThumbSizeRun, BoxesTooLargeRefuseTheRunBeforeAnyFile) {
    for (const char* n : {"a.jpg", "b.jpg"})
        makePicture(in / n, 20, 10);
    job.sourceFiles = {"a.jpg", "b.jpg"};
    job.thumbWidth = "2000";
    job.thumbHeight = "1000";
    const RunOutcome r = go();
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.closingLine, "Operation Incomplete. 0 files processed.");
    EXPECT_EQ(host->messageIds, std::vector<RunMessage>{RunMessage::ThumbSizeRefused});
    EXPECT_EQ(host->messages,
              std::vector<std::string>{"Thumbnail size too large: 2000 x 1000" + runLimits});
    EXPECT_FALSE(state.runFailed);
    EXPECT_TRUE(namesIn(out.str()).empty());
    EXPECT_TRUE(host->failures.empty());
}

TEST_P(ThumbSizeRun, BoxesTooSmallRefuseTheRunBeforeAnyFile) {
    makePicture(in / "a.jpg", 20, 10);
    job.sourceFiles = {"a.jpg"};
    job.thumbHeight = "0";
    EXPECT_FALSE(go().complete);
    EXPECT_EQ(host->messages,
              std::vector<std::string>{
                  "Thumbnail width and height must be at least 1 pixel (width 96, height 0)"});
    EXPECT_TRUE(namesIn(out.str()).empty());
}

TEST_P(ThumbSizeRun, TheWidestSideIsMade) {
    makePicture(in / "a.jpg", 20, 10);
    job.sourceFiles = {"a.jpg"};
    job.thumbWidth = "65535";
    job.thumbHeight = "1";
    job.resizeSpeed = ResizeSpeed::Fast;
    EXPECT_TRUE(go().complete) << (host->failures.empty() ? "" : host->failures[0]);
    EXPECT_EQ(pictureSize(out / "Thumb001.bmp"), (Size{65535, 1}));
}

TEST_P(ThumbSizeRun, AForcedSideTooLargeForOneSourceStopsTheRunThere) {
    makePicture(in / "a.jpg", 300, 200);
    makePicture(in / "b.jpg", 10, 100);
    makePicture(in / "c.jpg", 300, 200);
    job.sourceFiles = {"a.jpg", "b.jpg", "c.jpg"};
    job.maintainRatio = true;
    job.forceWidth = true;
    job.thumbWidth = "400";
    const RunOutcome r = go();
    EXPECT_EQ(r.closingLine, "Operation Incomplete. 1 files processed.");
    EXPECT_EQ(host->messageIds, std::vector<RunMessage>{RunMessage::ThumbSizeRefused});
    EXPECT_EQ(host->messages,
              std::vector<std::string>{"Thumbnail of b.jpg too large: 400 x 4000" + runLimits});
    EXPECT_FALSE(state.runFailed);
    EXPECT_EQ(namesIn(out.str()), std::vector<std::string>{"Thumb001.bmp"});
    EXPECT_EQ(pictureSize(out / "Thumb001.bmp"), (Size{400, 267}));
    EXPECT_EQ(host->paneRereads, 1);
    EXPECT_EQ(state.galleryEntries().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Workers, ThumbSizeRun, ::testing::Values(1, 2),
                         [](const auto& info) { return "Workers" + std::to_string(info.param); });

} // namespace
} // namespace pictorant
