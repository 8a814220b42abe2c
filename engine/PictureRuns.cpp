#include "FileOps.h"
#include "Naming.h"
#include "PictureRunsAhead.h"
#include "Runs.h"

#include "imaging/PictureError.h"
#include "imaging/Resample.h"
#include "imaging/ThumbGeometry.h"

#include <cctype>
#include <cmath>
#include <cstdint>
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

// A thumbnail beyond the largest picture the loaders take, side or area.
bool beyondLimits(std::int64_t width, std::int64_t height) {
    return width > kMaxThumbSide || height > kMaxThumbSide || width * height > MaxPicturePixels();
}

std::string sizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

std::string limitsText() {
    return "(at most " + std::to_string(kMaxThumbSide) + " pixels a side and " +
           std::to_string(MaxPicturePixels()) + " pixels in all)";
}

} // namespace

ThumbSizeOptions thumbSizeOptionsOf(const JobSettings& job) {
    ThumbSizeOptions options;
    options.maintainRatio = job.maintainRatio;
    options.thumbWidth = wholeNumberOf(job.thumbWidth);
    options.thumbHeight = wholeNumberOf(job.thumbHeight);
    options.forceWidth = job.forceWidth;
    options.forceHeight = job.forceHeight;
    const std::int64_t width = options.thumbWidth;
    const std::int64_t height = options.thumbHeight;
    // With the ratio kept only the width box counts, as a maximum side of its size.
    const bool tooSmall = options.maintainRatio ? width == 0 : width < 1 || height < 1;
    if (tooSmall)
        throw ThumbSizeError("Thumbnail width and height must be at least 1 pixel (width " +
                             std::to_string(width) + ", height " + std::to_string(height) +
                             (options.maintainRatio ? ", ratio kept)" : ")"));
    if (options.maintainRatio) {
        // Held to a picture's largest side under every rule: fitting within it never
        // enlarges, so a larger box would mean the same, and a forced side that large
        // is wrong for any source.
        const std::int64_t maxSide = std::llabs(width);
        if (maxSide > kMaxThumbSide)
            throw ThumbSizeError("Thumbnail size too large: largest side " +
                                 std::to_string(maxSide) + " (at most " +
                                 std::to_string(kMaxThumbSide) + " pixels a side).");
    } else if (beyondLimits(width, height)) {
        throw ThumbSizeError("Thumbnail size too large: " + sizeText(width, height) + " " +
                             limitsText() + ".");
    }
    return options;
}

ThumbSize thumbSizeFor(const std::string& name, int w, int h, const ThumbSizeOptions& options) {
    if (options.maintainRatio && (options.forceWidth || options.forceHeight)) {
        // The forced rules in the order they compute, ahead of them, so a side beyond an
        // int is told as too large like any other; a zero side is left to the rules.
        const bool byWidth = options.forceWidth;
        const long double maxSide = std::llabs(std::int64_t(options.thumbWidth));
        const int along = byWidth ? w : h, across = byWidth ? h : w;
        if (along != 0) {
            const long double other = std::nearbyintl(maxSide / along * across);
            if (other > kMaxThumbSide || maxSide * other > MaxPicturePixels()) {
                const auto o = static_cast<std::int64_t>(other);
                const auto m = static_cast<std::int64_t>(maxSide);
                throw ThumbSizeError("Thumbnail of " + name +
                                     " too large: " + (byWidth ? sizeText(m, o) : sizeText(o, m)) +
                                     " " + limitsText() + ".");
            }
        }
    }
    const ThumbSize size = ComputeThumbSize(w, h, options);
    if (beyondLimits(size.width, size.height))
        throw ThumbSizeError("Thumbnail of " + name + " too large: " +
                             sizeText(size.width, size.height) + " " + limitsText() + ".");
    return size;
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
                const ThumbSize size = thumbSizeFor(job.sourceFiles[p], picture.width(),
                                                    picture.height(), sizeOptions);
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
