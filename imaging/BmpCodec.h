#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "imaging/Raster.h"

namespace pictorant {

// Reads a BMP file of any common variant (1, 4, 8, 16, 24, 32 bits; RLE4, RLE8; bit
// fields; top-down rows; OS/2 headers) into a Bgr24 raster. Every size and offset is
// checked; anything broken throws PictureError "Bitmap image is not valid".
// bitCount, when given, receives the file's bits per pixel.
Raster DecodeBmp(std::span<const std::uint8_t> data, int* bitCount = nullptr);

// Writes a BMP file in the raster's format: 24 bits for Bgr24, 8 bits with its palette
// for Indexed8. Rows bottom-up, padded to four bytes. Throws PictureError
// "Cannot write an empty bitmap image" for a raster with a side of 0, which no reader
// (this program's included) takes.
std::vector<std::uint8_t> EncodeBmp(const Raster& raster);
// The same bytes handed to `sink` a part at a time (header, then each row), so a big
// bitmap is written without a second copy in memory.
void EncodeBmp(const Raster& raster,
               const std::function<void(const std::uint8_t*, std::size_t)>& sink);

} // namespace pictorant
