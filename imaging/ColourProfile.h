#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "imaging/JpegCodec.h"
#include "imaging/Raster.h"

namespace pictorant {

// Colour conversion through an embedded ICC profile to sRGB (lcms2, perceptual intent),
// so a picture shows the colours its profile means once its profile is dropped.
// Each returns "" when done, or a problem in words for the user (a damaged profile, or
// one that does not describe the pixels); the pixels are then left as they were.

// Converts a 24-bit raster in place through an RGB or grey profile.
std::string ConvertToSrgb(Raster& raster, std::span<const std::uint8_t> icc);

// CMYK ink (as DecodeJpegInk gives it) through a CMYK profile into a 24-bit raster.
std::string ConvertInkToSrgb(const JpegInk& ink, std::span<const std::uint8_t> icc, Raster& out);

} // namespace pictorant
