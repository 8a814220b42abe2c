#include "engine/RunState.h"

namespace pictorant {

std::vector<ProcessedFile> RunState::galleryEntries() const {
    std::vector<ProcessedFile> entries;
    for (const auto& entry : ProcessedFileList)
        if (entry.reached && entry.outputPresent)
            entries.push_back(entry);
    return entries;
}

void requestStop(RunState& state) {
    state.stopRequested = true;
}

} // namespace pictorant
