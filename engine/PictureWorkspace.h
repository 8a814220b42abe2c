#pragma once

#include "imaging/Picture.h"

#include <cstddef>
#include <string>

namespace pictorant {

// The picture objects that outlive runs (WorkBitmap, ResampleTarget and the JPEG, GIF
// and metafile output objects): made once with their owner (the wizard, the
// command-line tool) and reused by every thumbnail and convert run.
struct PictureWorkspace : OutputObjects {
    // Threads that work ahead in the thumbnail and convert runs; 1 runs them plainly.
    int workers = 1;
    // Where a rename run records its renames for an undo; empty: not recorded.
    std::string renameJournalPath;
};

// Buffers up to this size stay with their objects from file to file (an ordinary photo
// then maps no fresh memory); bigger ones are given back before the next file.
inline constexpr std::size_t kReusedBufferBytes = std::size_t(64) << 20;

} // namespace pictorant
