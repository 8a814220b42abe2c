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
        LoadPicture(source, picture);
    } catch (const PictureError&) {
        host.showMessage(RunMessage::CouldNotOpen, "Could not open " + name);
        return false;
    }
    entry.originalBytes = fileSize(source);
    return true;
}

// Writes the work raster as the file's output, by the overwrite rule. The path gets the
// type's extension when there is a type; the entry records the path as it then stands.
void commitOutput(const JobSettings& job, int p, const std::string& outputType,
                  PictureWorkspace& workspace, ProcessedFile& entry, RunState& state) {
    const std::string base = baseOutputName(job, job.sourceFiles[p], p);
    checkPlainName(base);
    std::string path = joinPath(job.outputDir, base);
    if (!outputType.empty()) {
        path += outputExtension(outputType);
        if (job.overwrite || !pathExists(path)) {
            SavePicture(workspace, workspace.WorkBitmap, outputType, path, job.jpegQuality);
            ++state.processedCount;
        }
        entry.outputPresent = true; // written now, or kept as it was
    }
    entry.outputPath = path;
}

} // namespace

// Each file goes load -> size -> resample -> commit. Only the commit touches the run
// state and the output folder, and it happens in source order; the steps before it
// depend on nothing but the file and its own buffers.
void runThumbnails(const JobSettings& job, RunState& state, RunHost& host,
                   PictureWorkspace& workspace) {
    if (runPicturesAhead(PictureRunKind::Thumbnails, job, state, host, workspace))
        return;
    const int n = static_cast<int>(job.sourceFiles.size());
    if (n == 0)
        return;
    ThumbSizeOptions sizeOptions;
    sizeOptions.maintainRatio = job.maintainRatio;
    sizeOptions.thumbWidth = wholeNumberOf(job.thumbWidth);
    sizeOptions.thumbHeight = wholeNumberOf(job.thumbHeight);
    sizeOptions.forceWidth = job.forceWidth;
    sizeOptions.forceHeight = job.forceHeight;
    state.ProcessedFileList.resize(n);
    host.setProgressMax(n);
    state.processedCount = 0;

    Picture picture;
    for (int p = 0; p < n; ++p) {
        host.setProgressLine(progressText(p + 1, n));
        const std::string type = sourceType(job.sourceFiles[p]);
        ProcessedFile& entry = state.ProcessedFileList[p];
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
        commitOutput(job, p, outputTypeFor(job.convertTo, type), workspace, entry, state);

        host.setProgressPosition(p + 1);
        host.processEvents();
        if (state.stopRequested)
            break;
    }
    host.rereadPanes();
}

void runConvert(const JobSettings& job, RunState& state, RunHost& host,
                PictureWorkspace& workspace) {
    if (runPicturesAhead(PictureRunKind::Convert, job, state, host, workspace))
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
        if (!loadSource(job, p, picture, entry, host)) {
            state.stopRequested = true;
            break;
        }
        entry.outputWidth = picture.width();
        entry.outputHeight = picture.height();
        RenderToBitmap(picture, workspace.WorkBitmap);
        commitOutput(job, p, outputTypeFor(job.convertTo, type), workspace, entry, state);

        host.setProgressPosition(p + 1);
        host.processEvents();
        if (state.stopRequested)
            break;
    }
    host.rereadPanes();
}

} // namespace pictorant
