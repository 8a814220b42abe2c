#include "BatchEngine.h"

#include "Runs.h"

#include <exception>

namespace pictorant {

RunOutcome startRun(const JobSettings& job, RunState& state, RunHost& host,
                    PictureWorkspace& workspace) {
    const int n = static_cast<int>(job.sourceFiles.size());
    host.runStarting(n);
    state.stopRequested = false;
    state.runFailed = false;
    host.setProgressLine("1 of " + std::to_string(n));
    // Entries of an earlier run must never be read as this run's.
    state.ProcessedFileList.assign(n, ProcessedFile{});
    state.processedCount = 0;
    host.processEvents();

    try {
        if (job.mode == JobMode::CreateThumbnails)
            runThumbnails(job, state, host, workspace);
        else if (job.renameOnly)
            runRename(job, state, host);
        else if (job.convertTo == "No Conversion")
            runCopy(job, state, host);
        else
            runConvert(job, state, host, workspace);
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
    outcome.complete = !state.stopRequested && !state.runFailed;
    outcome.closingLine =
        outcome.complete
            ? "Operation complete. " + std::to_string(n) + " files processed."
            : "Operation Incomplete. " + std::to_string(state.processedCount) + " files processed.";
    host.runFinished(outcome.closingLine, outcome.complete);
    return outcome;
}

void startOver(JobSettings& job) {
    job.sourceFiles.clear();
}

} // namespace pictorant
