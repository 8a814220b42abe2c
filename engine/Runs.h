#pragma once

#include "JobSettings.h"
#include "PictureWorkspace.h"
#include "RunHost.h"
#include "RunPlan.h"

#include "RunState.h"
#include "imaging/ThumbGeometry.h"

namespace pictorant {

// The four runs. Each resets processedCount, fills ProcessedFileList (already sized by
// startRun), drives the host's progress display, obeys a stop between files and
// re-reads the panes at its end. A failure it does not handle itself is thrown for
// startRun's guard; what was done before it stays done. Every run takes its target
// names from `plan` (planRun of the same job), so a plan shown to the user is what the
// run does; whether a target exists is looked at again when the run gets there.

// The size boxes as the thumbnail run reads them. Throws NotWholeNumberError, and
// std::runtime_error for a size below 1 (no picture can be that small), so such a run
// fails before its first file.
ThumbSizeOptions thumbSizeOptionsOf(const JobSettings& job);

// A file's failure in a run: with keepGoing it is counted and told to the host, and the
// caller goes on with the next file (true); otherwise the caller ends the run as it
// always has (false).
// The start of `why` for a source that cannot be read as a picture.
inline constexpr const char* kCouldNotOpen = "Could not open: ";
bool goOnAfterFailure(const JobSettings& job, RunState& state, RunHost& host,
                      const std::string& name, const std::string& why);

// Thumbnails into jobOutputDir(job), by the size rules and the conversion box.
void runThumbnails(const JobSettings& job, const RunPlan& plan, RunState& state, RunHost& host,
                   PictureWorkspace& workspace);
// Renames in the input folder; never replaces a file.
void runRename(const JobSettings& job, const RunPlan& plan, RunState& state, RunHost& host);
// Byte copies under new names, 2048 bytes per read and write.
void runCopy(const JobSettings& job, const RunPlan& plan, RunState& state, RunHost& host);
// Every picture written again at its natural size in the type of convertTo.
void runConvert(const JobSettings& job, const RunPlan& plan, RunState& state, RunHost& host,
                PictureWorkspace& workspace);

} // namespace pictorant
