#pragma once

#include "engine/JobSettings.h"
#include "engine/PictureWorkspace.h"
#include "engine/RunHost.h"
#include "engine/RunPlan.h"

#include "engine/RunState.h"
#include "imaging/ThumbGeometry.h"

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace pictorant {

// The four runs share one loop, runEachFile. A failure a run does not handle itself is
// thrown for startRun's guard; what was done before it stays done. Every run takes its
// target names from `plan` (planRun of the same job), so a plan shown to the user is
// what the run does; whether a target exists is looked at again when the run gets there.

// The largest thumbnail side: the largest side a picture may have. The largest area is
// the loaders' pixel cap, MaxPicturePixels().
inline constexpr int kMaxThumbSide = 65535;

// A thumbnail size no run should make: a side below 1, or a side or an area beyond the
// limits above. what() is the message the user sees.
class ThumbSizeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The thumbnail sizes as the thumbnail run reads them. Throws NotWholeNumberError, and
// ThumbSizeError for a size that is below 1 or too large whatever the source; planRun
// refuses such a run before its first file. Only what the rule in use reads counts:
// with the ratio kept, the width as the largest side and never the height.
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

// The step of a run for file p of the selection. `entry` is fresh, marked reached, with
// the source as its original. Returns the bar position to show after the file, or
// nothing to end the run at once, before the bar moves (the step has set the stop flag).
using FileStep = std::function<std::optional<int>(int p, ProcessedFile& entry)>;

// Whether a failure thrown by a step is the file's (counted when the run keeps going)
// or always the run's.
enum class StepFailures { FileFails, RunFails };

// The loop of every run, over a selection of at least one file: resets processedCount,
// sizes ProcessedFileList, shows "k of n" before each file and the bar after it, lets
// events through, obeys a stop between files, and re-reads the panes at its end.
void runEachFile(const JobSettings& job, RunState& state, RunHost& host, StepFailures failures,
                 const FileStep& step);

// A source the loaders refused: with keepGoing the file is counted and the run goes on
// (the bar position after file p); otherwise the user is told and the run ends here.
std::optional<int> sourceRefused(const JobSettings& job, RunState& state, RunHost& host, int p,
                                 const std::string& why);

// Tells the host that the picture of `name` came from damaged data (`warning` not empty).
void reportWarning(const std::string& name, const std::string& warning, RunState& state,
                   RunHost& host);

// Puts a picture run's output where the plan says, by the overwrite rule: `write` writes
// it to planned.targetPath. Nothing is written for OutputType::None.
void commitOutput(const JobSettings& job, const PlannedFile& planned, OutputType type,
                  ProcessedFile& entry, RunState& state, RunHost& host,
                  const std::function<void()>& write);

// Thumbnails into jobOutputDir(job), by the size rules and the conversion.
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
