#pragma once

#include "JobSettings.h"
#include "PictureWorkspace.h"
#include "RunHost.h"
#include "RunPlan.h"
#include "RunState.h"

#include <cstddef>

namespace pictorant {

enum class PictureRunKind { Thumbnails, Convert };

// The thumbnail or convert run with files worked on ahead by workspace.workers threads:
// each loads, sizes, resamples and encodes a file into memory, and this thread commits
// them strictly in selection order (progress line, entry, existence test and write,
// count, bar, events, stop test), so everything the run shows and writes is what the
// sequential run gives. Work done ahead of a stop or a failure is discarded. While it
// waits for a worker it lets events through, so Cancel is seen at the next commit.
// At most workers + 1 files are in flight, and finished outputs held beyond
// kAheadMemoryBudget bytes keep further files from being started.
// Returns false, having done nothing, when the job must run sequentially: fewer than
// two workers or files, metafiles in or out (their drawing stays on this thread), or
// output into the input folder (a written file could be a later source).
bool runPicturesAhead(PictureRunKind kind, const JobSettings& job, const RunPlan& plan,
                      RunState& state, RunHost& host, PictureWorkspace& workspace);

inline constexpr std::size_t kAheadMemoryBudget = std::size_t(96) << 20;

} // namespace pictorant
