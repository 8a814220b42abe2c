#pragma once

#include <cstdint>
#include <vector>

#include "imaging/Raster.h"

namespace pictorant {

// One image of a GIF file: its place on the logical screen and its palette indices.
struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<PaletteColor> localColors; // empty: the global table applies
    bool localSorted = false;
    int transparentIndex = -1;        // from the graphic control extension; -1: none
    std::vector<std::uint8_t> pixels; // width x height indices, rows in display order
};

// A GIF picture: the logical screen, the global colour table and the frames. Only the
// first frame's pixels are kept; the others are decoded to validate the file.
struct GifImage {
    int screenWidth = 0, screenHeight = 0;
    std::vector<PaletteColor> globalColors;
    bool globalSorted = false;
    int backgroundIndex = 0;
    int frameCount = 0;
    std::vector<GifFrame> frames; // at most the first frame
    bool isEmpty() const { return frames.empty() && screenWidth == 0; }
};

} // namespace pictorant
