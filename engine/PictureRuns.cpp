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
// Returns false after telling the user when the picture cannot be loaded.
bool loadSource(const JobSettings& job, int p, Picture& picture, ProcessedFile& entry,
                RunHost& host) {
    const std::string& name = job.sourceFiles[p];
    const std::string source = joinPath(job.inputDir, name);
    entry = ProcessedFile{};
    entry.reached = true;
    entry.originalPath = source;
    try {
        // The last file's picture goes before this one is decoded.
        picture.clear();
        LoadPicture(source, picture);
    } catch (const PictureError& e) {
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
            // The work raster is not read after its output is written.
            SavePicture(workspace, std::move(workspace.WorkBitmap), outputType, planned.targetPath,
                        job.jpegQuality);
            ++state.processedCount;
        } else {
            host.fileSkipped(planned.targetName);
        }
        entry.outputPresent = true; // written now, or kept as it was
    }
    entry.outputPath = planned.targetPath;
}

// Tells the host when the picture just drawn came from damaged data.
void reportWarning(const Picture& picture, const std::string& name, RunState& state,
                   RunHost& host) {
    if (picture.decodeWarning().empty())
        return;
    ++state.warningCount;
    host.fileWarned(name, picture.decodeWarning());
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
        ReleaseLargeBuffers(workspace, kReusedBufferBytes);
        if (!loadSource(job, p, picture, entry, host)) {
            state.stopRequested = true;
            break;
        }
        const ThumbSize size = ComputeThumbSize(picture.width(), picture.height(), sizeOptions);
        entry.outputWidth = size.width;
        entry.outputHeight = size.height;
        if (job.resizeSpeed == ResizeSpeed::Fast)
            ResampleFast(picture, size.width, size.height, workspace);
        else
            ResampleQuality(picture, size.width, size.height, workspace);
        reportWarning(picture, job.sourceFiles[p], state, host);
        commitOutput(job, plan.files[p], outputTypeFor(job.convertTo, type), workspace, entry,
                     state, host);

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
        ReleaseLargeBuffers(workspace, kReusedBufferBytes);
        if (!loadSource(job, p, picture, entry, host)) {
            state.stopRequested = true;
            break;
        }
        entry.outputWidth = picture.width();
        entry.outputHeight = picture.height();
        // The picture is loaded again for each file, so its raster may simply move over.
        picture.takeRaster(workspace.WorkBitmap);
        reportWarning(picture, job.sourceFiles[p], state, host);
        commitOutput(job, plan.files[p], outputTypeFor(job.convertTo, type), workspace, entry,
                     state, host);

        host.setProgressPosition(p + 1);
        host.processEvents();
        if (state.stopRequested)
            break;
    }
    host.rereadPanes();
}

} // namespace pictorant
