#pragma once

#include <cstdint>
#include <functional>

#include "imaging/Picture.h"
#include "imaging/Raster.h"

namespace pictorant {

// Leaves the picture drawn at W x H in workBitmap by nearest pixel: each target pixel
// takes the source pixel under its centre. Gif and Metafile pictures get a white
// ground; a metafile is played directly at W x H. Never fails on a small source.
void ResampleFast(const Picture& picture, int W, int H, Raster& workBitmap);
inline void ResampleFast(const Picture& picture, int W, int H, OutputObjects& outputs) {
    ResampleFast(picture, W, H, outputs.WorkBitmap);
}

// Leaves the picture filtered to W x H in workBitmap with the bilinear filter: the
// picture is rendered at natural size into workBitmap, filtered into resampleTarget and
// copied back. A source one pixel wide or high is that single column or row stretched
// (the filter's limit as the side goes to 1).
void ResampleQuality(const Picture& picture, int W, int H, Raster& workBitmap,
                     Raster& resampleTarget);
inline void ResampleQuality(const Picture& picture, int W, int H, OutputObjects& outputs) {
    ResampleQuality(picture, W, H, outputs.WorkBitmap, outputs.ResampleTarget);
}

// The filter alone: a 24-bit source (at least 1 x 1) to a W x H 24-bit target.
void BilinearFilter(const Raster& source, int W, int H, Raster& target);

// Scan line y of a sw x sh 24-bit source that is not held whole. The filters below ask
// for rows in ascending order (a row may be asked for again).
using SourceRows = std::function<const std::uint8_t*(int y)>;
// The same filters over such a source: the bilinear filter above, and the nearest pixel
// of ResampleFast (target reset to W x H first).
void BilinearFilter(int sw, int sh, const SourceRows& sourceRow, int W, int H, Raster& target);
void NearestFilter(int sw, int sh, const SourceRows& sourceRow, int W, int H, Raster& target);

// Hands `run` the rows of a Jpeg, Bitmap or Gif picture as RenderToBitmap would draw
// them, without a full-size 24-bit copy where that can be avoided (see Resample.cpp).
using PictureRowsReader = std::function<void(int sw, int sh, const SourceRows& rows)>;
void ReadPictureRows(const Picture& picture, const PictureRowsReader& run);

} // namespace pictorant
