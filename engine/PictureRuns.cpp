#include "FileOps.h"
#include "Naming.h"
#include "PictureRunsAhead.h"
#include "Runs.h"

#include "imaging/PictureError.h"
#include "imaging/Resample.h"
#include "imaging/ThumbGeometry.h"

#include <cctype>
#include <cstdlib>

namespace pictorant {

namespace {

// Loads source p into `picture` and records what the run knows of it before any work.
// Returns false when the picture cannot be loaded, with the cause in `why`; the user has
// been told, unless the run keeps going (then the caller reports the file).
bool loadSource(const JobSettings& job, int p, Picture& picture, ProcessedFile& entry,
                RunHost& host, std::string& why) {
    const std::string& name = job.sourceFiles[p];
    const std::string source = joinPath(job.inputDir, name);
    entry = ProcessedFile{};
    entry.reached = true;
    entry.originalPath = source;
    try {
        LoadPicture(source, picture);
    } catch (const PictureError& e) {
        why = e.what();
        if (job.keepGoing)
            return false;
        host.noteFailure(e.what());
        host.showMessage(RunMessage::CouldNotOpen, "Could not open " + name);
        return false;
    }
    entry.originalBytes = fileSize(source);
    return true;
}

// Writes the work raster as the file's planned output, by the overwrite rule; the entry
// records the path.
void commitOutput(const JobSettings& job, const PlannedFile& planned, const std::string& outputType,
                  PictureWorkspace& workspace, ProcessedFile& entry, RunState& state,
                  RunHost& host) {
    checkPlainName(planned.targetName);
    if (!outputType.empty()) {
        if (job.overwrite || !pathExists(planned.targetPath)) {
            SavePicture(workspace, workspace.WorkBitmap, outputType, planned.targetPath,
                        job.jpegQuality);
            ++state.processedCount;
        } else {
            host.fileSkipped(planned.targetName);
        }
        entry.outputPresent = true; // written now, or kept as it was
    }
    entry.outputPath = planned.targetPath;
}

} // namespace

ThumbSizeOptions thumbSizeOptionsOf(const JobSettings& job) {
    ThumbSizeOptions options;
    options.maintainRatio = job.maintainRatio;
    options.thumbWidth = wholeNumberOf(job.thumbWidth);
    options.thumbHeight = wholeNumberOf(job.thumbHeight);
    options.forceWidth = job.forceWidth;
    options.forceHeight = job.forceHeight;
    // With the ratio kept only the width box counts, as a maximum side of its size.
    const bool tooSmall = options.maintainRatio ? options.thumbWidth == 0
                                                : options.thumbWidth < 1 || options.thumbHeight < 1;
    if (tooSmall)
        throw std::runtime_error("Thumbnail width and height must be at least 1 pixel");
    return options;
}

// Each file goes load -> size -> resample -> commit. Only the commit touches the run
// state and the output folder, and it happens in source order; the steps before it
// depend on nothing but the file and its own buffers.
void runThumbnails(const JobSettings& job, const RunPlan& plan, RunState& state, RunHost& host,
                   PictureWorkspace& workspace) {
    const int n = static_cast<int>(job.sourceFiles.size());
    if (n == 0)
        return;
    const ThumbSizeOptions sizeOptions = thumbSizeOptionsOf(job);
    if (runPicturesAhead(PictureRunKind::Thumbnails, job, plan, state, host, workspace))
        return;
    state.ProcessedFileList.resize(n);
    host.setProgressMax(n);
    state.processedCount = 0;

    Picture picture;
    for (int p = 0; p < n; ++p) {
        host.setProgressLine(progressText(p + 1, n));
        const std::string type = sourceType(job.sourceFiles[p]);
        ProcessedFile& entry = state.ProcessedFileList[p];
        try {
            std::string why;
            if (!loadSource(job, p, picture, entry, host, why)) {
                if (!goOnAfterFailure(job, state, host, job.sourceFiles[p], kCouldNotOpen + why)) {
                    state.stopRequested = true;
                    break;
                }
            } else {
                const ThumbSize size =
                    ComputeThumbSize(picture.width(), picture.height(), sizeOptions);
                entry.outputWidth = size.width;
                entry.outputHeight = size.height;
                if (job.resizeSpeed == ResizeSpeed::Fast)
                    ResampleFast(picture, size.width, size.height, workspace);
                else
                    ResampleQuality(picture, size.width, size.height, workspace);
                commitOutput(job, plan.files[p], outputTypeFor(job.convertTo, type), workspace,
                             entry, state, host);
            }
        } catch (const std::exception& e) {
            if (!goOnAfterFailure(job, state, host, job.sourceFiles[p], e.what()))
                throw;
        }

        host.setProgressPosition(p + 1);
        host.processEvents();
        if (state.stopRequested)
            break;
    }
    host.rereadPanes();
}

void runConvert(const JobSettings& job, const RunPlan& plan, RunState& state, RunHost& host,
                PictureWorkspace& workspace) {
    if (runPicturesAhead(PictureRunKind::Convert, job, plan, state, host, workspace))
        return;
    const int n = static_cast<int>(job.sourceFiles.size());
    if (n == 0)
        return;
    state.ProcessedFileList.resize(n);
    host.setProgressMax(n);
    state.processedCount = 0;

    Picture picture;
    for (int p = 0; p < n; ++p) {
        host.setProgressLine(progressText(p + 1, n));
        const std::string type = sourceType(job.sourceFiles[p]);
        ProcessedFile& entry = state.ProcessedFileList[p];
        try {
            std::string why;
            if (!loadSource(job, p, picture, entry, host, why)) {
                if (!goOnAfterFailure(job, state, host, job.sourceFiles[p], kCouldNotOpen + why)) {
                    state.stopRequested = true;
                    break;
                }
            } else {
                entry.outputWidth = picture.width();
                entry.outputHeight = picture.height();
                RenderToBitmap(picture, workspace.WorkBitmap);
                commitOutput(job, plan.files[p], outputTypeFor(job.convertTo, type), workspace,
                             entry, state, host);
            }
        } catch (const std::exception& e) {
            if (!goOnAfterFailure(job, state, host, job.sourceFiles[p], e.what()))
                throw;
        }

        host.setProgressPosition(p + 1);
        host.processEvents();
        if (state.stopRequested)
            break;
    }
    host.rereadPanes();
}

} // namespace pictorant
