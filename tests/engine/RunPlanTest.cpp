// The plan before a run: what it predicts is what the run does, and a run whose targets
// would replace sources it has not read yet never starts.

#include "RunPlan.h"
#include "BatchEngine.h"
#include "PictureMaker.h"
#include "TestHost.h"
#include "support/FileFaults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace pictorant {
namespace {

using testing::namesIn;
using testing::readBytes;
using testing::ScratchFolder;
using testing::TestHost;
using testing::writeBytes;
namespace fs = std::filesystem;

// Every file of a folder with its bytes, to compare before and after a run.
std::map<std::string, std::string> snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const std::string& name : namesIn(folder))
        files[name] = readBytes(folder + "/" + name);
    return files;
}

enum class Kind { Thumbnails, Rename, Copy, Convert };

JobSettings jobOf(Kind kind, const std::string& in, const std::string& out) {
    JobSettings job;
    job.mode = kind == Kind::Thumbnails ? JobMode::CreateThumbnails : JobMode::RenameCopyConvert;
    job.renameOnly = kind == Kind::Rename;
    job.convertTo = kind == Kind::Copy ? "No Conversion" : kind == Kind::Convert ? "bmp" : "jpg";
    job.inputDir = in;
    job.outputDir = out;
    job.thumbWidth = job.thumbHeight = "8";
    return job;
}

struct RunResult {
    RunOutcome outcome;
    std::unique_ptr<TestHost> host;
};

RunResult go(const JobSettings& job, RunState& state, int workers = 1) {
    PictureWorkspace workspace;
    workspace.workers = workers;
    RunResult run;
    run.host = std::make_unique<TestHost>(state);
    run.outcome = startRun(job, state, *run.host, workspace);
    return run;
}

// ---------------------------------------------------------------------------------------
// The plan and the run agree

struct AgreementCase {
    const char* label;
    Kind kind;
    NamingOption naming;
    bool overwrite;
    bool sameFolder; // outputs and sources share one folder
};

class PlanAgreesWithRun : public ::testing::TestWithParam<AgreementCase> {};

TEST_P(PlanAgreesWithRun, EveryPlannedActionHappens) {
    const AgreementCase& c = GetParam();
    ScratchFolder in, other;
    const std::string out = c.sameFolder ? in.str() : other.str();
    JobSettings job = jobOf(c.kind, in.str(), out);
    job.namingOption = c.naming;
    job.qualifier = "T";
    job.overwrite = c.overwrite;
    job.sourceFiles = {"a.jpg", "b.jpg", "c.gif", "T002.jpg"};
    for (const std::string& name : job.sourceFiles)
        testing::makePicture(in / name, 12, 10, name.ends_with(".gif") ? "GIF" : "JPG");
    // Targets that stand already, whichever naming puts them there.
    for (const char* name : {"T001.jpg", "Ta.jpg", "aT.jpg", "T001.bmp", "aT.bmp", "Ta.bmp"})
        if (!fs::exists(out + "/" + name))
            writeBytes(out + "/" + name, "old output");

    const RunPlan plan = planRun(job);
    const auto before = snapshot(out);
    const auto sourcesBefore = snapshot(in.str());
    RunState state;
    const RunResult run = go(job, state);
    const auto after = snapshot(out);

    ASSERT_EQ(plan.files.size(), job.sourceFiles.size());
    if (plan.refusal) {
        EXPECT_EQ(run.host->messageIds, std::vector<RunMessage>{RunMessage::SourceClash});
        EXPECT_TRUE(snapshot(in.str()) == sourcesBefore);
        EXPECT_TRUE(after == before);
        return;
    }
    bool stopped = false;
    for (std::size_t p = 0; p < plan.files.size(); ++p) {
        const PlannedFile& f = plan.files[p];
        SCOPED_TRACE(planLine(f));
        if (stopped) {
            EXPECT_FALSE(state.ProcessedFileList[p].reached);
            continue;
        }
        EXPECT_EQ(state.ProcessedFileList[p].outputPath, f.targetPath);
        const std::string source = sourcesBefore.at(f.sourceName);
        switch (f.action) {
        case PlannedAction::New:
            EXPECT_EQ(before.count(f.targetName), 0u);
            EXPECT_EQ(after.count(f.targetName), 1u);
            break;
        case PlannedAction::Replaces:
            EXPECT_TRUE(after.at(f.targetName) != before.at(f.targetName));
            break;
        case PlannedAction::Skipped:
            EXPECT_TRUE(after.at(f.targetName) == before.at(f.targetName));
            EXPECT_NE(std::find(run.host->skipped.begin(), run.host->skipped.end(), f.targetName),
                      run.host->skipped.end());
            break;
        case PlannedAction::Renamed:
            EXPECT_TRUE(after.at(f.targetName) == source);
            break;
        case PlannedAction::Refused:
            stopped = true;
            break;
        default:
            ADD_FAILURE() << "unexpected action";
        }
    }
    EXPECT_EQ(run.outcome.complete, !stopped);
}

const AgreementCase kAgreementCases[] = {
    {"ThumbsPreSeqOverwrite", Kind::Thumbnails, NamingOption::PreSeq, true, false},
    {"ThumbsPreSeqKeep", Kind::Thumbnails, NamingOption::PreSeq, false, false},
    {"ThumbsPreNameKeep", Kind::Thumbnails, NamingOption::PreName, false, false},
    {"ThumbsSufNameOverwrite", Kind::Thumbnails, NamingOption::SufName, true, false},
    {"ThumbsSufSeqSameFolder", Kind::Thumbnails, NamingOption::SufSeq, true, true},
    {"ThumbsPreSeqSameFolder", Kind::Thumbnails, NamingOption::PreSeq, true, true},
    {"ThumbsPreSeqSameFolderKeep", Kind::Thumbnails, NamingOption::PreSeq, false, true},
    {"CopyPreSeqOverwrite", Kind::Copy, NamingOption::PreSeq, true, false},
    {"CopyPreNameKeep", Kind::Copy, NamingOption::PreName, false, false},
    {"CopySufNameSameFolder", Kind::Copy, NamingOption::SufName, true, true},
    {"ConvertPreSeqOverwrite", Kind::Convert, NamingOption::PreSeq, true, false},
    {"ConvertSufNameKeep", Kind::Convert, NamingOption::SufName, false, false},
    {"ConvertPreSeqSameFolder", Kind::Convert, NamingOption::PreSeq, true, true},
    {"RenamePreSeq", Kind::Rename, NamingOption::PreSeq, true, true},
    {"RenamePreName", Kind::Rename, NamingOption::PreName, true, true},
    {"RenameSufSeq", Kind::Rename, NamingOption::SufSeq, true, true},
};
INSTANTIATE_TEST_SUITE_P(Options, PlanAgreesWithRun, ::testing::ValuesIn(kAgreementCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(RunPlan, RenameCollisionsFollowTheOrderOfTheRun) {
    ScratchFolder in;
    for (const char* name : {"a.jpg", "b.jpg", "Image002.jpg", "Image003.jpg"})
        writeBytes(in / name, name);
    JobSettings job = jobOf(Kind::Rename, in.str(), in.str());
    job.qualifier = "Image";
    // Image003.jpg -> Image001.jpg frees nothing the others need; a.jpg -> Image002.jpg
    // is taken by a file that is not selected.
    job.sourceFiles = {"Image003.jpg", "b.jpg", "a.jpg"};
    const RunPlan plan = planRun(job);
    EXPECT_EQ(planLine(plan.files[0]), "Image003.jpg -> Image001.jpg  renamed");
    EXPECT_EQ(planLine(plan.files[1]),
              "b.jpg -> Image002.jpg  refused: name taken: the run stops here");
    EXPECT_EQ(planLine(plan.files[2]), "a.jpg -> Image003.jpg  renamed");
    EXPECT_EQ(planSummary(plan), "3 files: 2 renamed, 1 refused");
}

TEST(RunPlan, NamesTheSystemWouldRefuseAreMarkedBeforeTheRun) {
    ScratchFolder in, out;
    writeBytes(in / "a.jpg", "a");
    JobSettings job = jobOf(Kind::Copy, in.str(), out.str());
    job.namingOption = NamingOption::PreName;
    job.sourceFiles = {"a.jpg"};
    job.qualifier = std::string(252, 'q');
    EXPECT_EQ(plannedActionText(planRun(job).files[0]), "refused: name too long");
    job.qualifier = "sub/";
    EXPECT_EQ(plannedActionText(planRun(job).files[0]), "refused: separator in the name");
    job.qualifier = std::string(250, 'q');
    EXPECT_EQ(plannedActionText(planRun(job).files[0]), "new");
}

// ---------------------------------------------------------------------------------------
// Sources are never replaced before they are read

struct ClashCase {
    const char* label;
    Kind kind;
    NamingOption naming;
    const char* qualifier;
    std::vector<std::string> sources;
    bool inPlace;
    const char* refusal; // empty: the run goes ahead
};

class SourceClash : public ::testing::TestWithParam<ClashCase> {};

TEST_P(SourceClash, RefusesBeforeAnythingIsWritten) {
    const ClashCase& c = GetParam();
    ScratchFolder in;
    for (const std::string& name : c.sources)
        testing::makePicture(in / name, 9, 7);
    JobSettings job = jobOf(c.kind, in.str(), in.str());
    job.namingOption = c.naming;
    job.qualifier = c.qualifier;
    job.convertTo = c.kind == Kind::Convert ? "jpg" : job.convertTo;
    job.convertInPlace = c.inPlace;
    job.sourceFiles = c.sources;
    const auto before = snapshot(in.str());

    const RunPlan plan = planRun(job);
    RunState state;
    const RunResult run = go(job, state);

    if (*c.refusal == 0) {
        EXPECT_FALSE(plan.refusal);
        EXPECT_TRUE(run.outcome.complete) << run.outcome.closingLine;
        return;
    }
    ASSERT_TRUE(plan.refusal);
    EXPECT_EQ(*plan.refusal, c.refusal);
    EXPECT_EQ(run.host->messages, std::vector<std::string>{c.refusal});
    EXPECT_EQ(run.outcome.closingLine, "Operation Incomplete. 0 files processed.");
    EXPECT_TRUE(snapshot(in.str()) == before);
}

const ClashCase kClashCases[] = {
    {"ThumbnailOverItsOwnSource",
     Kind::Thumbnails,
     NamingOption::PreName,
     "",
     {"a.jpg", "b.jpg"},
     false,
     "The output file of \"a.jpg\" is that file itself, which would be replaced.  Nothing was "
     "done."},
    {"CopyOverALaterSource",
     Kind::Copy,
     NamingOption::PreSeq,
     "Image",
     {"a.jpg", "Image001.jpg"},
     false,
     "The output file \"Image001.jpg\" of \"a.jpg\" is also a selected file that would be "
     "replaced before it is read.  Nothing was done."},
    {"ConvertOverItsOwnSourceUnasked",
     Kind::Convert,
     NamingOption::PreName,
     "",
     {"a.jpg"},
     false,
     "The output file of \"a.jpg\" is that file itself, which would be replaced.  Nothing was "
     "done."},
    {"ConvertInPlaceWhenAllowed", Kind::Convert, NamingOption::PreName, "", {"a.jpg"}, true, ""},
    {"CopyOntoItselfIsHarmless", Kind::Copy, NamingOption::PreName, "", {"a.jpg"}, false, ""},
    {"AnEarlierSourceIsReadBeforeItIsReplaced",
     Kind::Thumbnails,
     NamingOption::PreSeq,
     "x",
     {"x002.jpg", "a.jpg"},
     false,
     ""},
};
INSTANTIATE_TEST_SUITE_P(Runs, SourceClash, ::testing::ValuesIn(kClashCases),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(SourceClash, InPlaceConvertRewritesTheSourceInItsNewForm) {
    ScratchFolder in;
    testing::makePicture(in / "a.jpg", 9, 7);
    JobSettings job = jobOf(Kind::Convert, in.str(), in.str());
    job.namingOption = NamingOption::PreName;
    job.qualifier = "";
    job.convertTo = "jpg";
    job.convertInPlace = true;
    job.sourceFiles = {"a.jpg"};
    const std::string before = readBytes(in / "a.jpg");
    job.jpegQuality = 20;
    EXPECT_EQ(planLine(planRun(job).files[0]), "a.jpg -> a.jpg  in place");
    RunState state;
    EXPECT_TRUE(go(job, state).outcome.complete);
    EXPECT_TRUE(readBytes(in / "a.jpg") != before);
    EXPECT_EQ(testing::pictureSize(in / "a.jpg"), (testing::Size{9, 7}));
    EXPECT_EQ(namesIn(in.str()), std::vector<std::string>{"a.jpg"});
}

TEST(SourceClash, WithOverwriteOffTheSourceIsKeptNotRefused) {
    ScratchFolder in;
    testing::makePicture(in / "a.jpg", 9, 7);
    JobSettings job = jobOf(Kind::Thumbnails, in.str(), in.str());
    job.namingOption = NamingOption::PreName;
    job.qualifier = "";
    job.overwrite = false;
    job.sourceFiles = {"a.jpg"};
    const std::string before = readBytes(in / "a.jpg");
    RunState state;
    const RunResult run = go(job, state);
    EXPECT_TRUE(run.outcome.complete);
    EXPECT_EQ(run.host->skipped, std::vector<std::string>{"a.jpg"});
    EXPECT_TRUE(readBytes(in / "a.jpg") == before);
}

} // namespace
} // namespace pictorant
