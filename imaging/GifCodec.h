#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "imaging/GifImage.h"
#include "imaging/Raster.h"

namespace pictorant {

// Reads a GIF file with giflib. Throws PictureError with the GIF messages
// ("Invalid GIF signature", "Unsupported GIF version", "Invalid GIF data", ...).
GifImage DecodeGif(std::span<const std::uint8_t> data);

// Paints the first frame at its place onto a Bgr24 raster of the logical screen size;
// pixels of the transparent colour are left as they are.
void DrawGifFirstFrame(const GifImage& gif, Raster& target);
// The same for one row y of a `width`-pixel wide Bgr24 row (three bytes a pixel).
void DrawGifFirstFrameRow(const GifImage& gif, int y, std::uint8_t* row, int width);

// The most pixels LZW data of `dataBytes` bytes with the given minimum code size can
// make: every code gives at most one pixel more than the code before it, and no more
// than the 4096 a table entry can hold.
std::int64_t GifMaxLzwPixels(std::int64_t dataBytes, int minCodeSize);

// Makes a one-frame GIF image from an Indexed8 raster and optimises its colour table:
// equal colours merged, unused ones dropped, sorted by decreasing use into one sorted
// global table, pixels renumbered.
GifImage GifFromIndexed(const Raster& indexed);

// Writes a GIF file: "GIF87a" unless something needs 89a, the global table padded to a
// power of two with black, LZW data, no extension blocks.
std::vector<std::uint8_t> EncodeGif(const GifImage& gif);

} // namespace pictorant
