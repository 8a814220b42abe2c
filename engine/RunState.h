#pragma once

#include <cstdint>
#include <vector>

#include "files/ProcessedFile.h"

namespace pictorant {

// The state of the batch engine, living as long as its owner. A run resets the
// count and the list; both then stay as the run left them until the next run.
struct RunState {
    bool stopRequested = false; // set by a stop request, and by a rename that meets a taken name
    bool runFailed = false;     // an unexpected failure ended the last run
    std::int32_t processedCount = 0;
    std::int32_t warningCount = 0;                // files of the last run that came with a warning
    std::int32_t failedCount = 0;                 // files that failed in a run that kept going
    std::vector<ProcessedFile> ProcessedFileList; // one entry per selected file

    // The pictures a gallery of the last run shows, in source order: the entries the
    // run reached whose output file exists after the run (written now, or kept because
    // overwrite was off). When every file was written these are the first
    // processedCount entries. The only way the gallery reads a run.
    std::vector<ProcessedFile> galleryEntries() const;
};

// A stop request: sets the stop flag and nothing else. A running loop obeys it after
// the file in hand.
void requestStop(RunState& state);

} // namespace pictorant
