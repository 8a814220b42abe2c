#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace pictorant {

// A progressive JPEG decoded at 1/scaleDenom never reads the AC coefficients of a
// component whose inverse DCT is reduced to one sample a block (at 1/8, the luma of a
// subsampled picture, every component of a 4:4:4 one). Returns a copy of the file
// without the scans that carry only such coefficients, which libjpeg decodes to the
// same rows with block smoothing off and in a fraction of the time, since skipping a
// scan is a byte search instead of Huffman decoding. Returns an empty vector when no
// scan can be dropped: a sequential or arithmetic-coded file, a reduction below 8, or
// data that does not parse (libjpeg then meets it as it is).
std::vector<std::uint8_t> DropUnreadScans(std::span<const std::uint8_t> data, int scaleDenom);

} // namespace pictorant
