#pragma once

#include <functional>

#include "imaging/JpegRowSource.h"
#include "imaging/Raster.h"
#include "imaging/Rotate.h"

namespace pictorant {

// The eight EXIF orientations: how the stored rows and columns are turned to stand the
// picture upright. 1 is as stored; 2 mirrored left to right; 3 turned half round; 4
// mirrored top to bottom; 5 mirrored along the main diagonal; 6 turned a quarter
// clockwise; 7 mirrored along the other diagonal; 8 turned a quarter counter-clockwise.

// Whether upright width and height are the stored height and width (5 to 8).
inline bool OrientationSwapsSides(int orientation) {
    return orientation >= 5 && orientation <= 8;
}

// The stored raster (24 or 8 bits a pixel) made upright for `orientation`; any value
// outside 2..8 leaves it as it is.
void OrientRaster(Raster& raster, int orientation);

// The W x H thumbnail of the upright picture of an undecoded JPEG stored as
// `orientation` says, from the stored rows that `filter` reads of the upright picture
// only: the same bytes as OrientRaster on the full decode and then the filter
// (ResampleQuality for Bilinear, ResampleFast for Nearest). Returns false, touching
// nothing observable, where ResampleJpegRows would refuse (the full decode is then
// needed). Never throws.
// `adjustRows`, when given, is applied to the decoded rows (a 24-bit raster of them)
// before the filter reads them: a change made pixel by pixel, such as a colour
// conversion, then gives what it gives on the whole decode.
bool ResampleJpegRowsUpright(const Picture& picture, int orientation, RowFilter filter, int W,
                             int H, Raster& workBitmap,
                             const std::function<void(Raster&)>& adjustRows = {});

// The orientation of a picture tagged `orientation` after it has been turned a quarter
// in `direction` as seen upright: applying the result to the stored raster gives the
// upright picture turned.
int OrientationAfterTurn(int orientation, RotateDirection direction);

} // namespace pictorant
