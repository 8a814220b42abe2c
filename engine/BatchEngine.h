#pragma once

#include "engine/JobSettings.h"
#include "engine/PictureWorkspace.h"
#include "engine/RunHost.h"
#include "engine/RunState.h"

#include <string>
#include <utility>
#include <vector>

namespace pictorant {

struct RunOutcome {
    bool complete = false;   // no stop and no failure
    int warnings = 0;        // files processed with a warning (RunHost::fileWarned)
    std::string closingLine; // "Operation complete. 3 files processed." or
                             // "Operation Incomplete. 1 files processed."
};

// Starts a run: sizes the list, chooses the run by runKindOf, guards it so that an unhandled
// failure ends it with "Error during processing!", and reports the closing line to the host.
RunOutcome startRun(const JobSettings& job, RunState& state, RunHost& host,
                    PictureWorkspace& workspace);

// Makes ready for the next job: the selection is emptied. The run state stays for the
// gallery.
void startOver(JobSettings& job);

// The engine as its owner keeps it: the run state and the reused picture objects.
class BatchEngine {
public:
    // Rename runs are recorded for an undo at defaultRenameJournalPath().
    BatchEngine();

    RunOutcome startRun(const JobSettings& job, RunHost& host) {
        return pictorant::startRun(job, state_, host, workspace_);
    }
    void requestStop() { pictorant::requestStop(state_); }
    // Threads of the thumbnail and convert runs (1: the plain sequential run).
    void setWorkers(int workers) { workspace_.workers = workers; }
    // Where rename runs are recorded; empty: not at all.
    void setRenameJournalPath(std::string path) { workspace_.renameJournalPath = std::move(path); }
    void startOver(JobSettings& job) { pictorant::startOver(job); }

    const RunState& state() const { return state_; }
    // What a gallery of the last run shows (RunState::galleryEntries).
    std::vector<ProcessedFile> galleryEntries() const { return state_.galleryEntries(); }

private:
    RunState state_;
    PictureWorkspace workspace_;
};

} // namespace pictorant
