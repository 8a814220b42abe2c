#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "imaging/Raster.h"

namespace pictorant {

// Readers of the picture types that are read into a raster by their reference libraries
// (PNG, WebP, TIFF, HEIC/HEIF), and the PNG writer. Every reader gives a 24-bit raster:
// 16-bit samples are reduced with rounding, palette and grey pictures expanded, and
// transparent pixels put on white; an animation gives its first frame and a multi-page
// TIFF its first page. Each checks the picture's size against MaxPicturePixels() before
// it allocates the picture, and turns the library's errors into PictureError ("PNG
// error: ...", "WebP picture is not valid", ...). No library writes to the terminal.

Raster DecodePng(std::span<const std::uint8_t> data);
Raster DecodeWebp(std::span<const std::uint8_t> data);
Raster DecodeTiff(std::span<const std::uint8_t> data);
Raster DecodeHeif(std::span<const std::uint8_t> data);

// A lossless 8-bit RGB PNG at libpng's default compression. An empty raster is
// refused (PictureError) as the other encoders refuse it.
std::vector<std::uint8_t> EncodePng(const Raster& raster);

// The size in a PNG's or WebP's header, read without decoding; 0 x 0 when it cannot be
// read.
void PeekPngSize(std::span<const std::uint8_t> data, int& width, int& height);
void PeekWebpSize(std::span<const std::uint8_t> data, int& width, int& height);

// One row of straight (not premultiplied) 8-bit RGBA put on white as blue, green, red.
inline void RgbaRowOnWhite(const std::uint8_t* rgba, std::uint8_t* bgr, int width) {
    for (int x = 0; x < width; ++x, rgba += 4, bgr += 3) {
        const unsigned a = rgba[3], white = 255 * (255 - a);
        bgr[0] = std::uint8_t((rgba[2] * a + white + 127) / 255);
        bgr[1] = std::uint8_t((rgba[1] * a + white + 127) / 255);
        bgr[2] = std::uint8_t((rgba[0] * a + white + 127) / 255);
    }
}

} // namespace pictorant
