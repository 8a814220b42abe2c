#pragma once

#include "engine/JobSettings.h"

#include <optional>
#include <string>
#include <vector>

namespace pictorant {

// The run a job asks for: thumbnails; else a rename; else a copy when the conversion
// keeps each file's type; else a convert.
enum class RunKind { Thumbnails, Rename, Copy, Convert };
RunKind runKindOf(const JobSettings& job);

// What a run will do with one selected file.
enum class PlannedAction {
    New,        // the target does not exist yet: written new
    Replaces,   // a file at the target is replaced (overwrite on)
    Skipped,    // the target exists and overwrite is off: kept as it is
    Renamed,    // the rename run gives the file its new name
    Unchanged,  // a copy onto itself: the file already holds what the copy would write
    InPlace,    // a convert onto itself: the source is written again in its new form
    NotWritten, // the conversion gives no type for this file: nothing is written
    Refused,    // the file cannot be done; `reason` says why and the run stops there
    Clash,      // its output would replace a selected file before the run reads it, so the
                // plan refuses the run; `reason` names that file
};

struct PlannedFile {
    std::string sourceName; // as selected
    std::string targetName; // the name it gets in the run's output folder
    std::string targetPath;
    PlannedAction action = PlannedAction::New;
    std::string reason; // for Refused and Clash: "name too long", ...
};

// The plan of a run, computed before anything is written and without touching the
// disk beyond looking names up. The run follows it file by file.
struct RunPlan {
    std::vector<PlannedFile> files; // one per selected file, in selection order
    // Set when the run must not start at all, naming both files of the first clash: a
    // target that is another selected source not read yet, a thumbnail over its own
    // source, or a convert over its own source that the job does not allow
    // (convertInPlace). Every file with such a target is a Clash.
    std::optional<std::string> refusal;
    // The refusal is about the thumbnail sizes (too small or too large), not a
    // clash; no file is marked then.
    bool sizeRefused = false;
};

// The plan of `job` (its mode, folders, names and options) as the run would follow it
// now. Names come from the same functions the runs use.
RunPlan planRun(const JobSettings& job);

// "new", "replaces", "skipped: exists", ... : the word the dry run prints.
std::string plannedActionText(const PlannedFile& file);
// "a.jpg -> Thumb001.jpg  new": one line of a printed plan.
std::string planLine(const PlannedFile& file);
// "3 files: 2 new, 1 replaces": the closing line of a printed plan.
std::string planSummary(const RunPlan& plan);

} // namespace pictorant
