#include "engine/FileOps.h"
#include "engine/Naming.h"
#include "engine/Runs.h"

namespace pictorant {

void runRename(const JobSettings& job, const RunPlan& plan, RunState& state, RunHost& host) {
    if (job.sourceFiles.empty())
        return;
    // A failure in a rename ends the run even when the run keeps going.
    runEachFile(
        job, state, host, StepFailures::RunFails,
        [&](int p, ProcessedFile& entry) -> std::optional<int> {
            const PlannedFile& planned = plan.files[std::size_t(p)];
            const std::string oldPath = entry.originalPath;
            entry.originalBytes = fileSize(oldPath);
            entry.originalPath = entry.outputPath = planned.targetPath;
            checkPlainName(planned.targetName);

            // The rename itself refuses a taken name; testing first as well keeps the case
            // of a name unchanged by the options (old path = new path) a collision.
            bool taken = pathExists(planned.targetPath);
            if (!taken)
                taken = renameNoReplace(oldPath, planned.targetPath) == RenameResult::TargetExists;
            if (!taken) {
                entry.outputPresent = true;
                state.processedCount = p + 1;
                return p + 1;
            }
            host.showMessage(RunMessage::DuplicateName,
                             "Error - duplicate name in folder.  Rename Operation stopped.");
            state.processedCount = p;
            host.rereadPanes();
            // The bar starts again from empty and shows this one file.
            host.setProgressPosition(0);
            state.stopRequested = true;
            return 1;
        });
}

void runCopy(const JobSettings& job, const RunPlan& plan, RunState& state, RunHost& host) {
    if (job.sourceFiles.empty())
        return;
    runEachFile(job, state, host, StepFailures::FileFails,
                [&](int p, ProcessedFile& entry) -> std::optional<int> {
                    const PlannedFile& planned = plan.files[std::size_t(p)];
                    const std::string& source = entry.originalPath;
                    entry.outputPath = planned.targetPath;
                    entry.originalBytes = fileSize(source);
                    checkPlainName(planned.targetName);
                    if (!job.overwrite && pathExists(planned.targetPath)) {
                        entry.outputPresent = true; // kept as it was
                        host.fileSkipped(planned.targetName);
                    } else {
                        // Creating the target would empty a source that is its own target; the
                        // file already holds what the copy would write.
                        if (!sameFile(source, planned.targetPath))
                            copyFileBytes(source, planned.targetPath);
                        entry.outputPresent = true;
                        ++state.processedCount;
                    }
                    return p + 1;
                });
}

} // namespace pictorant
