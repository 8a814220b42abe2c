#pragma once

#include "imaging/Raster.h"

namespace pictorant {

// The picture objects that outlive runs: created once with their owner (the main
// window, the command-line tool) and reused by every thumbnail and convert run, so a
// run does not allocate fresh output memory for each file.
struct PictureWorkspace {
    Raster workBitmap;     // the picture as it will be written
    Raster resampleTarget; // scratch of the resampling
};

} // namespace pictorant
