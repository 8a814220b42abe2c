#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "Picture.h"
#include "Raster.h"

namespace pictorant {

// The two filters of the thumbnail run.
enum class RowFilter { Nearest, Bilinear };

// Decodes only the given rows (ascending, each once) of a 24-bit JPEG at 1/1 with block
// smoothing: the rows in between are entropy-decoded and skipped, never converted. Row i
// of `rows` lands in out's scan line i (out becomes width x rows.size()). Returns false,
// leaving out in no particular state, whenever the rows might differ by a bit from those
// of DecodeJpeg: a greyscale, CMYK or arithmetic-coded file, a picture above the size
// limit, a fatal error, or any libjpeg warning (corrupt data). Never throws.
bool DecodeJpegRows(std::span<const std::uint8_t> data, const std::vector<int>& rows, Raster& out);

// The thumbnail of a Jpeg picture from the rows that `filter` reads, into workBitmap:
// the same bytes as ResampleQuality (Bilinear) or ResampleFast (Nearest) after a full
// decode. Returns false, touching nothing observable, when the full decode is needed:
// another kind, the 8-bit decode mode, a target side of 0, a source side of 1, or a
// file DecodeJpegRows refuses. Never throws.
bool ResampleJpegRows(const Picture& picture, RowFilter filter, int W, int H, Raster& workBitmap);

} // namespace pictorant
