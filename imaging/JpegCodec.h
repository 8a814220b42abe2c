#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "Raster.h"

namespace pictorant {

// libjpeg (IJG v62 interface) behind the program's error texts: every libjpeg error
// becomes PictureError "JPEG error #%d" with libjpeg's message code. Warnings (corrupt
// or truncated data) are not errors, as with djpeg.

struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;
};

// Reads the header only. Throws PictureError.
JpegInfo ReadJpegInfo(std::span<const std::uint8_t> data);

// Decodes at 1/1 with block smoothing. format Indexed8 asks for 236 quantised colours
// (two-pass, Floyd-Steinberg); a greyscale file is always quantised to 236 levels.
// The result is Indexed8 with its palette when quantised, else Bgr24. CMYK and YCCK
// files are turned into RGB here (Adobe's inverted CMYK).
void DecodeJpeg(std::span<const std::uint8_t> data, PixelFormat format, Raster& out);

// Encodes a raster (Bgr24, or Indexed8 through its palette) as a baseline JFIF file:
// jpeg_set_defaults, jpeg_set_quality(quality, TRUE).
std::vector<std::uint8_t> EncodeJpeg(const Raster& raster, int quality);

} // namespace pictorant
