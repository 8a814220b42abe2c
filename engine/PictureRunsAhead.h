#pragma once

#include "engine/JobSettings.h"
#include "engine/PictureWorkspace.h"
#include "engine/RunHost.h"
#include "engine/RunPlan.h"
#include "engine/RunState.h"
#include "imaging/Picture.h"
#include "imaging/ThumbGeometry.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace pictorant {

enum class PictureRunKind { Thumbnails, Convert };

// The two steps from a loaded picture to its output raster that both the sequential and
// the parallel run take, apart so a failure can be told by its step.
// The output's size: the thumbnail size (may throw ThumbSizeError), else the picture's.
ThumbSize outputSizeOf(PictureRunKind kind, const std::string& name, const Picture& picture,
                       const ThumbSizeOptions& sizeOptions);
// Leaves the output raster in outputs.WorkBitmap: the picture resampled to `size` for a
// thumbnail run, else the picture's own raster, moved out of it.
void drawOutput(PictureRunKind kind, const JobSettings& job, Picture& picture, ThumbSize size,
                OutputObjects& outputs);

// The thumbnail or convert run with files worked on ahead by workspace.workers threads:
// each loads, sizes, resamples and encodes a file into memory, and this thread commits
// them strictly in selection order through runEachFile, so everything the run shows
// and writes is what the sequential run gives. Work done ahead of a stop or a failure
// is discarded. While it waits for a worker it lets events through, so a stop request
// is seen at the next commit.
// At most workers + 1 files are in flight, and a file is started (its picture decoded)
// only when the memory its header says it needs fits in kAheadMemoryBudget beside the
// files started before it; files start in selection order.
// Returns false, having done nothing, when the job must run sequentially: fewer than
// two workers or files, metafiles in or out (their drawing stays on this thread), or
// output into the input folder (a written file could be a later source).
bool runPicturesAhead(PictureRunKind kind, const JobSettings& job, const RunPlan& plan,
                      RunState& state, RunHost& host, PictureWorkspace& workspace);

// Memory the files being worked on and the outputs waiting to be written may take
// together. One file that needs more runs alone.
inline constexpr std::size_t kAheadMemoryBudget = 1'500'000'000;

// What a file is expected to take from its start until its output is written: the
// file's bytes, the decoded picture and its work rasters by the run and the source kind
// and header, and the output (outputPixels pixels, by outputType).
std::size_t memoryNeedOf(PictureRunKind kind, PictureKind source, const PictureHeader& header,
                         std::size_t fileBytes, std::int64_t outputPixels, OutputType outputType);

// Whether a file needing `need` bytes may start while `inUse` bytes are taken by files
// started before it: when both fit the budget, or when nothing else is in memory.
bool admitsFile(std::size_t need, std::size_t inUse, std::size_t budget);

} // namespace pictorant
