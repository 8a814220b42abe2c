#pragma once

#include "engine/OutputType.h"
#include "files/PathJoin.h" // the runs join the job's folders and names with joinPath
#include "imaging/PhotoOptions.h"
#include "settings/MainSettings.h"

#include <string>
#include <vector>

namespace pictorant {

enum class JobMode { CreateThumbnails, RenameCopyConvert };

// The job that the wizard collects and a run reads. Fields in the order the wizard asks.
struct JobSettings {
    JobMode mode = JobMode::CreateThumbnails;
    std::string inputDir = "/";
    std::vector<std::string> sourceFiles; // names without folder, in list order
    bool renameOnly = true;               // RenameCopyConvert mode only
    std::string outputDir = "/";
    Conversion convertTo = Conversion::Jpg;
    std::string qualifier = "Thumb"; // of the current mode; may be empty
    std::string seqStart = "001";    // as typed
    NamingOption namingOption = NamingOption::PreSeq;
    ResizeSpeed resizeSpeed = ResizeSpeed::Quality;
    std::string thumbWidth = "96"; // read as whole numbers by the thumbnail run
    std::string thumbHeight = "96";
    bool maintainRatio = false;
    bool forceWidth = false; // at most one of the two is on
    bool forceHeight = false;
    int jpegQuality = 90; // 10 to 100
    bool overwrite = true;
    // A convert may write over its own source: the user answered the same-folder question
    // with Continue, or gave --in-place.
    bool convertInPlace = false;
    // A file that fails is reported (RunHost::fileFailed) and the run goes on with the
    // next. Without it a run stops at the first failure; pictorant-batch --keep-going sets
    // this. Never kept in the settings file.
    bool keepGoing = false;
    // Upright by EXIF, sRGB, metadata kept: the thumbnail and convert runs apply them
    // as each picture is loaded. The copy run copies bytes and needs none.
    PhotoOptions photo;
};

// Copies the kept fields of the main-window settings group into the job, the conversion
// box's word read as a Conversion. The
// qualifier taken is the thumbnail qualifier; in rename/copy/convert mode the window
// puts the image qualifier in its place.
void applyMainSettings(JobSettings& job, const MainSettings& settings);

// The folder a run writes into: the input folder for a rename, else the output folder.
const std::string& jobOutputDir(const JobSettings& job);

} // namespace pictorant
