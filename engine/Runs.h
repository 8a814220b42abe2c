#pragma once

#include "JobSettings.h"
#include "PictureWorkspace.h"
#include "RunHost.h"
#include "RunPlan.h"

#include "RunState.h"
#include "imaging/ThumbGeometry.h"

#include <stdexcept>
#include <string>

namespace pictorant {

// The four runs. Each resets processedCount, fills ProcessedFileList (already sized by
// startRun), drives the host's progress display, obeys a stop between files and
// re-reads the panes at its end. A failure it does not handle itself is thrown for
// startRun's guard; what was done before it stays done. Every run takes its target
// names from `plan` (planRun of the same job), so a plan shown to the user is what the
// run does; whether a target exists is looked at again when the run gets there.

// The largest thumbnail side: the largest side a picture may have. The largest area is
// the loaders' pixel cap, MaxPicturePixels().
inline constexpr int kMaxThumbSide = 65535;

// A thumbnail size no run should make: a side below 1, or a side or an area beyond the
// limits above. what() is the message the user sees.
class ThumbSizeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The size boxes as the thumbnail run reads them. Throws NotWholeNumberError, and
// ThumbSizeError for a size that is below 1 or too large whatever the source; planRun
// refuses such a run before its first file. Only what the rule in use reads counts:
// with the ratio kept, the width box as the largest side and never the height box.
ThumbSizeOptions thumbSizeOptionsOf(const JobSettings& job);

// The thumbnail size of the w x h source `name`. A forced side can blow a narrow
// picture up beyond the limits; that throws ThumbSizeError naming the file, before any
// raster of that size is made.
ThumbSize thumbSizeFor(const std::string& name, int w, int h, const ThumbSizeOptions& options);

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
