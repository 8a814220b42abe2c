#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "imaging/JpegSideData.h"

namespace pictorant {

// How a source's camera data is changed before it goes into an output.
struct ExifEdit {
    bool uprighted = false; // the pixels now stand upright: orientation becomes 1
    bool stripGps = false;  // the location data is left out
    // Pixel size stated in the EXIF data, when set (> 0) and the data states one.
    int width = 0, height = 0;
};

// The EXIF APP1 payload ("Exif\0\0" + TIFF data) with the edit made and the embedded
// thumbnail left out (it would show the picture as it was). Empty when the data cannot
// be read. Never throws.
std::vector<std::uint8_t> EditExif(std::span<const std::uint8_t> exif, const ExifEdit& edit);

// The JPEG file with APP1 segments holding `exif` and `xmp` (payloads as JpegSideData
// holds them; an empty one is left out) put after its JFIF header, replacing any EXIF or
// XMP segment it had. A payload too long for one segment is left out.
std::vector<std::uint8_t> WithJpegMetadata(std::span<const std::uint8_t> jpeg,
                                           std::span<const std::uint8_t> exif,
                                           std::span<const std::uint8_t> xmp);

} // namespace pictorant
