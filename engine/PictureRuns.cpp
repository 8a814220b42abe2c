#include "engine/FileOps.h"
#include "engine/Naming.h"
#include "engine/PictureRunsAhead.h"
#include "engine/Runs.h"

#include "imaging/PictureError.h"
#include "imaging/Resample.h"
#include "imaging/ThumbGeometry.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace pictorant {

namespace {

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

// Each file goes load -> size -> draw -> commit on this thread, unless the run can be
// worked ahead (runPicturesAhead).
void runPictures(PictureRunKind kind, const JobSettings& job, const RunPlan& plan, RunState& state,
                 RunHost& host, PictureWorkspace& workspace) {
    if (job.sourceFiles.empty())
        return;
    ThumbSizeOptions sizeOptions;
    if (kind == PictureRunKind::Thumbnails)
        sizeOptions = thumbSizeOptionsOf(job);
    if (runPicturesAhead(kind, job, plan, state, host, workspace))
        return;

    Picture picture;
    runEachFile(job, state, host, StepFailures::FileFails,
                [&](int p, ProcessedFile& entry) -> std::optional<int> {
                    const std::string& name = job.sourceFiles[std::size_t(p)];
                    ReleaseLargeBuffers(workspace, kReusedBufferBytes);
                    try {
                        // The last file's picture goes before this one is decoded.
                        picture.clear();
                        LoadPicture(entry.originalPath, picture);
                    } catch (const PictureError& e) {
                        return sourceRefused(job, state, host, p, e.what());
                    }
                    entry.originalBytes = fileSize(entry.originalPath);
                    const ThumbSize size = outputSizeOf(kind, name, picture, sizeOptions);
                    entry.outputWidth = size.width;
                    entry.outputHeight = size.height;
                    drawOutput(kind, job, picture, size, workspace);
                    reportWarning(name, picture.decodeWarning(), state, host);
                    const PlannedFile& planned = plan.files[std::size_t(p)];
                    const OutputType type = outputTypeFor(job.convertTo, sourceType(name));
                    commitOutput(job, planned, type, entry, state, host, [&] {
                        // The work raster is not read after its output is written.
                        SavePicture(workspace, std::move(workspace.WorkBitmap),
                                    outputTypeText(type), planned.targetPath, job.jpegQuality);
                    });
                    return p + 1;
                });
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
    // With the ratio kept only the width counts, as a maximum side of its size.
    const bool tooSmall = options.maintainRatio ? width == 0 : width < 1 || height < 1;
    if (tooSmall)
        throw ThumbSizeError("Thumbnail width and height must be at least 1 pixel (width " +
                             std::to_string(width) + ", height " + std::to_string(height) +
                             (options.maintainRatio ? ", ratio kept)" : ")"));
    if (options.maintainRatio) {
        // Held to a picture's largest side under every rule: fitting within it never
        // enlarges, so a larger width would mean the same, and a forced side that large
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

ThumbSize outputSizeOf(PictureRunKind kind, const std::string& name, const Picture& picture,
                       const ThumbSizeOptions& sizeOptions) {
    if (kind == PictureRunKind::Thumbnails)
        return thumbSizeFor(name, picture.width(), picture.height(), sizeOptions);
    return ThumbSize{picture.width(), picture.height()};
}

void drawOutput(PictureRunKind kind, const JobSettings& job, Picture& picture, ThumbSize size,
                OutputObjects& outputs) {
    if (kind == PictureRunKind::Convert)
        // The picture is loaded again for each file, so its raster may simply move.
        picture.takeRaster(outputs.WorkBitmap);
    else if (job.resizeSpeed == ResizeSpeed::Fast)
        ResampleFast(picture, size.width, size.height, outputs);
    else
        ResampleQuality(picture, size.width, size.height, outputs);
}

void runThumbnails(const JobSettings& job, const RunPlan& plan, RunState& state, RunHost& host,
                   PictureWorkspace& workspace) {
    runPictures(PictureRunKind::Thumbnails, job, plan, state, host, workspace);
}

void runConvert(const JobSettings& job, const RunPlan& plan, RunState& state, RunHost& host,
                PictureWorkspace& workspace) {
    runPictures(PictureRunKind::Convert, job, plan, state, host, workspace);
}

} // namespace pictorant
