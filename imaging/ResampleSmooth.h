#pragma once

#include <vector>

#include "imaging/Picture.h"
#include "imaging/Raster.h"
#include "imaging/Resample.h"

namespace pictorant {

// The antialiasing filters the Smooth method can use. Area gives each target pixel the
// exact average of the source area it covers; Lanczos3 is the windowed sinc of three
// lobes, widened by the reduction factor.
enum class SmoothKernel { Area, Lanczos3 };

// The kernel the Smooth method uses (chosen by measurement, see bench/smooth_psnr.sh).
inline constexpr SmoothKernel kSmoothKernel = SmoothKernel::Area;

// The weights of one axis: target pixel i reads `count[i]` source pixels from
// `first[i]` on, with the weights weights[offset[i] ...], which sum to 1.
struct SmoothTaps {
    std::vector<int> first, count, offset;
    std::vector<float> weights;
    int maxCount = 0;
};

// Weights for `target` pixels over a source of `source` pixels whose picture spans
// `extent` source pixels (extent <= source: a DCT-scaled JPEG's last pixel covers only
// part of a block). Source pixels past the edges repeat the edge pixel.
SmoothTaps SmoothTapsFor(SmoothKernel kernel, int source, double extent, int target);

// The separable filter over a sw x sh 24-bit source whose rows come in ascending order,
// each asked for once; the picture spans extentW x extentH of its pixels. target
// becomes W x H (white when the source is empty).
void SmoothFilter(SmoothKernel kernel, int sw, int sh, double extentW, double extentH,
                  const SourceRows& sourceRow, int W, int H, Raster& target);
// The same over a whole 24-bit raster.
void SmoothFilter(const Raster& source, int W, int H, Raster& target,
                  SmoothKernel kernel = kSmoothKernel);

// The libjpeg reduction (1, 2, 4 or 8) for a sw x sh JPEG whose thumbnail is W x H: the
// largest that keeps at least twice the thumbnail's size on both sides.
int JpegSmoothScale(int sw, int sh, int W, int H);

// Leaves the picture filtered to W x H in workBitmap by the Smooth method: a JPEG is
// decoded at JpegSmoothScale in the DCT domain and streamed through the filter; other
// pictures are filtered from their natural size (GIF and metafile on white). Throws
// PictureError as the loaders do.
void ResampleSmooth(const Picture& picture, int W, int H, Raster& workBitmap);
inline void ResampleSmooth(const Picture& picture, int W, int H, OutputObjects& outputs) {
    ResampleSmooth(picture, W, H, outputs.WorkBitmap);
}

} // namespace pictorant
