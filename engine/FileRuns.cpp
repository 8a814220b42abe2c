#include "FileOps.h"
#include "Naming.h"
#include "Runs.h"

namespace pictorant {

void runRename(const JobSettings& job, const RunPlan& plan, RunState& state, RunHost& host) {
    const int n = static_cast<int>(job.sourceFiles.size());
    if (n == 0)
        return;
    state.ProcessedFileList.resize(n);
    host.setProgressMax(n);
    state.processedCount = 0;
    int bar = 0;
    for (int p = 0; p < n; ++p) {
        const std::string& name = job.sourceFiles[p];
        host.setProgressLine(progressText(p + 1, n));
        const std::string& newName = plan.files[p].targetName;
        const std::string& newPath = plan.files[p].targetPath;
        const std::string oldPath = joinPath(job.inputDir, name);

        ProcessedFile& entry = state.ProcessedFileList[p];
        entry = ProcessedFile{};
        entry.reached = true;
        entry.originalBytes = fileSize(oldPath);
        entry.originalPath = entry.outputPath = newPath;
        checkPlainName(newName);

        // The rename itself refuses a taken name; testing first as well keeps the case
        // of a name unchanged by the options (old path = new path) a collision.
        bool taken = pathExists(newPath);
        if (!taken)
            taken = renameNoReplace(oldPath, newPath) == RenameResult::TargetExists;
        if (taken) {
            host.showMessage(RunMessage::DuplicateName,
                             "Error - duplicate name in folder.  Rename Operation stopped.");
            state.processedCount = p;
            host.rereadPanes();
            bar = 0;
            host.setProgressPosition(bar);
            state.stopRequested = true;
        } else {
            entry.outputPresent = true;
            state.processedCount = p + 1;
        }
        host.setProgressPosition(++bar);
        host.processEvents();
        if (state.stopRequested)
            break;
    }
    host.rereadPanes();
}

void runCopy(const JobSettings& job, const RunPlan& plan, RunState& state, RunHost& host) {
    const int n = static_cast<int>(job.sourceFiles.size());
    if (n == 0)
        return;
    state.ProcessedFileList.resize(n);
    host.setProgressMax(n);
    state.processedCount = 0;
    for (int p = 0; p < n; ++p) {
        const std::string& name = job.sourceFiles[p];
        host.setProgressLine(progressText(p + 1, n));
        const std::string& newName = plan.files[p].targetName;
        const std::string& target = plan.files[p].targetPath;
        const std::string source = joinPath(job.inputDir, name);

        ProcessedFile& entry = state.ProcessedFileList[p];
        entry = ProcessedFile{};
        entry.reached = true;
        entry.originalPath = source;
        entry.outputPath = target;
        try {
            entry.originalBytes = fileSize(source);
            checkPlainName(newName);
            if (!job.overwrite && pathExists(target)) {
                entry.outputPresent = true; // kept as it was
                host.fileSkipped(newName);
            } else {
                // Creating the target would empty a source that is its own target; the
                // file already holds what the copy would write.
                if (!sameFile(source, target))
                    copyFileBytes(source, target);
                entry.outputPresent = true;
                ++state.processedCount;
            }
        } catch (const std::exception& e) {
            if (!goOnAfterFailure(job, state, host, name, e.what()))
                throw;
        }
        host.setProgressPosition(p + 1);
        host.processEvents();
        if (state.stopRequested)
            break;
    }
    host.rereadPanes();
}

} // namespace pictorant
