#include "engine/BatchEngine.h"

#include "engine/RenameJournal.h"
#include "engine/Runs.h"

#include <exception>

namespace pictorant {

namespace {

// Written before the first rename, so whatever happens during the run can be undone.
// Renames never replace a file, so a journal that cannot be written is noted, not fatal.
void recordRenames(const JobSettings& job, const RunPlan& plan, const std::string& path,
                   RunHost& host) {
    if (path.empty())
        return;
    RenameJournal journal;
    journal.folder = job.inputDir;
    for (const PlannedFile& file : plan.files)
        if (file.action == PlannedAction::Renamed)
            journal.renames.emplace_back(file.sourceName, file.targetName);
    try {
        saveRenameJournal(path, journal);
    } catch (const std::exception& e) {
        host.noteFailure(std::string("the renames cannot be undone: ") + e.what());
    }
}

} // namespace

RunOutcome startRun(const JobSettings& job, RunState& state, RunHost& host,
                    PictureWorkspace& workspace) {
    const int n = static_cast<int>(job.sourceFiles.size());
    host.runStarting(n);
    state.stopRequested = false;
    state.runFailed = false;
    state.failedCount = 0;
    host.setProgressLine("1 of " + std::to_string(n));
    // Entries of an earlier run must never be read as this run's.
    state.ProcessedFileList.assign(n, ProcessedFile{});
    state.processedCount = 0;
    state.warningCount = 0;
    host.takeStopRequest();

    try {
        const RunPlan plan = planRun(job);
        if (plan.refusal) {
            // Nothing is touched: the run ends as a stopped one with no file processed.
            host.showMessage(plan.sizeRefused ? RunMessage::ThumbSizeRefused
                                              : RunMessage::SourceClash,
                             *plan.refusal);
            state.stopRequested = true;
        } else {
            switch (runKindOf(job)) {
            case RunKind::Thumbnails:
                runThumbnails(job, plan, state, host, workspace);
                break;
            case RunKind::Rename:
                recordRenames(job, plan, workspace.renameJournalPath, host);
                runRename(job, plan, state, host);
                break;
            case RunKind::Copy:
                runCopy(job, plan, state, host);
                break;
            case RunKind::Convert:
                runConvert(job, plan, state, host, workspace);
                break;
            }
        }
    } catch (const ThumbSizeError& e) {
        // A source whose thumbnail would be too large stops the run there, with its
        // name, like a source that cannot be opened; nothing of that size was made.
        host.showMessage(RunMessage::ThumbSizeRefused, e.what());
        state.stopRequested = true;
        host.rereadPanes();
    } catch (const std::exception& e) {
        state.runFailed = true;
        host.noteFailure(e.what());
    } catch (...) {
        state.runFailed = true;
        host.noteFailure("unknown failure");
    }
    if (state.runFailed) {
        host.showMessage(RunMessage::ErrorDuringProcessing, "Error during processing!");
        // The loop did not reach its own end, where the panes are read again.
        host.rereadPanes();
    }

    RunOutcome outcome;
    outcome.complete = !state.stopRequested && !state.runFailed && state.failedCount == 0;
    outcome.warnings = state.warningCount;
    outcome.closingLine =
        outcome.complete
            ? "Operation complete. " + std::to_string(n) + " files processed."
            : "Operation Incomplete. " + std::to_string(state.processedCount) + " files processed.";
    host.runFinished(outcome.closingLine, outcome.complete);
    return outcome;
}

BatchEngine::BatchEngine() {
    workspace_.renameJournalPath = defaultRenameJournalPath();
}

void startOver(JobSettings& job) {
    job.sourceFiles.clear();
}

} // namespace pictorant
