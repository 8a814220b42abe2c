#include "engine/FileOps.h"
#include "engine/Naming.h"
#include "engine/Runs.h"

namespace pictorant {

void runEachFile(const JobSettings& job, RunState& state, RunHost& host, StepFailures failures,
                 const FileStep& step) {
    const int n = static_cast<int>(job.sourceFiles.size());
    state.ProcessedFileList.resize(std::size_t(n));
    host.setProgressMax(n);
    state.processedCount = 0;
    for (int p = 0; p < n; ++p) {
        const std::string& name = job.sourceFiles[std::size_t(p)];
        host.setProgressLine(progressText(p + 1, n));
        ProcessedFile& entry = state.ProcessedFileList[std::size_t(p)];
        entry = ProcessedFile{};
        entry.reached = true;
        entry.originalPath = joinPath(job.inputDir, name);
        std::optional<int> position = p + 1;
        try {
            position = step(p, entry);
        } catch (const std::exception& e) {
            if (failures == StepFailures::RunFails ||
                !goOnAfterFailure(job, state, host, name, e.what()))
                throw;
        }
        if (!position)
            break;
        host.setProgressPosition(*position);
        host.takeStopRequest();
        if (state.stopRequested)
            break;
    }
    host.rereadPanes();
}

bool goOnAfterFailure(const JobSettings& job, RunState& state, RunHost& host,
                      const std::string& name, const std::string& why) {
    if (!job.keepGoing)
        return false;
    ++state.failedCount;
    host.fileFailed(name, why);
    return true;
}

std::optional<int> sourceRefused(const JobSettings& job, RunState& state, RunHost& host, int p,
                                 const std::string& why) {
    const std::string& name = job.sourceFiles[std::size_t(p)];
    if (goOnAfterFailure(job, state, host, name, kCouldNotOpen + why))
        return p + 1;
    host.noteFailure(why);
    host.showMessage(RunMessage::CouldNotOpen, "Could not open " + name);
    state.stopRequested = true;
    return std::nullopt;
}

void reportWarning(const std::string& name, const std::string& warning, RunState& state,
                   RunHost& host) {
    if (warning.empty())
        return;
    ++state.warningCount;
    host.fileWarned(name, warning);
}

void commitOutput(const JobSettings& job, const PlannedFile& planned, OutputType type,
                  ProcessedFile& entry, RunState& state, RunHost& host,
                  const std::function<void()>& write) {
    checkPlainName(planned.targetName);
    if (type != OutputType::None) {
        if (job.overwrite || !pathExists(planned.targetPath)) {
            write();
            ++state.processedCount;
        } else {
            host.fileSkipped(planned.targetName);
        }
        entry.outputPresent = true; // written now, or kept as it was
    }
    entry.outputPath = planned.targetPath;
}

} // namespace pictorant
