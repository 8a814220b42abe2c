#pragma once

#include <cstdint>
#include <vector>

#include "imaging/Raster.h"

namespace pictorant::metafile {

// The reference device of the metafiles the program writes: exactly 96 pixels per
// inch on both axes (1920 x 1440 pixels over 508 x 381 mm).
inline constexpr int kDevicePixelsX = 1920;
inline constexpr int kDevicePixelsY = 1440;
inline constexpr int kDeviceMillimetresX = 508;
inline constexpr int kDeviceMillimetresY = 381;
inline constexpr int kDisplayDpi = 96;

// An EMF that draws the raster at 1:1 and nothing else: header (frame 0, 0, mmWidth,
// mmHeight in 0.01 mm), SETSTRETCHBLTMODE, STRETCHDIBITS with a 24-bit bottom-up DIB,
// EOF. Throws PictureError when the raster does not fit a 32-bit file size, and
// "Cannot write an empty metafile" for a raster with a side of 0.
std::vector<std::uint8_t> writeEmf(const Raster& raster, std::int64_t mmWidth,
                                   std::int64_t mmHeight);

// A placeable WMF that draws the raster at 1:1: the 22-byte placeable header with the
// bounding box (0, 0, right, bottom) in units of `inch` per inch, META_HEADER,
// SETMAPMODE anisotropic, window origin and extent, SETSTRETCHBLTMODE, STRETCHDIB,
// EOF. Throws PictureError when a side does not fit a 16-bit coordinate, and
// "Cannot write an empty metafile" for a raster with a side of 0.
std::vector<std::uint8_t> writeWmf(const Raster& raster, int right, int bottom, int inch);

// The exclusive-or of the ten 16-bit words of a placeable header before its checksum.
std::uint16_t placeableChecksum(const std::uint8_t* header);

} // namespace pictorant::metafile
