#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "imaging/Rotate.h"

namespace pictorant {

// JPEG turns done on the compressed blocks (libjpeg-turbo's transform), so no pixel is
// decoded and encoded again. All markers are kept; the EXIF orientation becomes 1 and
// the EXIF thumbnail, which would stand the old way, is left out.

// What to do with the edge blocks that a turn cannot carry over exactly (a side that is
// not a whole number of blocks, 8 or 16 pixels by the file's sampling).
enum class PartialBlocks { Refuse, Trim };

// The file's bytes with the stored picture transformed as orientation `transform`
// (2..8, see ExifOrientation.h) stands it. Nothing when the edge blocks would be lost
// and `partial` is Refuse. Throws PictureError "JPEG error: %s" when the data cannot be
// transformed.
std::optional<std::vector<std::uint8_t>> TransformJpeg(std::span<const std::uint8_t> jpeg,
                                                       int transform, PartialBlocks partial);

// Turns the JPEG at path a quarter in `direction` as the user sees it (upright by its
// EXIF orientation when asUpright is set, else as stored) and rewrites it in place as
// WritePictureReplacing does (link followed; owner, group and mode kept; a file without
// write bits refused). Returns false, writing nothing, when the picture's size is not
// whole blocks and `partial` is Refuse. Throws PictureError for a file that cannot be
// read, transformed or written.
bool RotateJpegFileLossless(const std::string& path, RotateDirection direction, bool asUpright,
                            PartialBlocks partial);

} // namespace pictorant
