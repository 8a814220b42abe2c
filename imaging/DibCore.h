#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "imaging/ByteReader.h"
#include "imaging/Raster.h"

namespace pictorant {

// Device-independent bitmaps: a BITMAPCOREHEADER (12 bytes) or a BITMAPINFOHEADER and
// its later versions, a colour table or bit-field masks, and the pixel rows (bottom-up
// unless the height is negative; RLE4/RLE8). One reader serves two masters:
// - Strict, for BMP files: anything odd makes the file invalid (PictureError
//   "Bitmap image is not valid"), so a broken file is reported, never guessed at.
// - Lenient, for bitmaps inside metafiles: a short colour table is padded with black,
//   RLE data that ends early or leaves the picture is cut, and only a header that
//   cannot describe a picture or rows shorter than the picture refuse the bitmap; the
//   rest of the metafile still plays.
enum class DibMode { Strict, Lenient };

// Compression values of the info header.
inline constexpr std::uint32_t kDibRgb = 0, kDibRle8 = 1, kDibRle4 = 2, kDibBitFields = 3,
                               kDibJpeg = 4, kDibPng = 5, kDibAlphaBitFields = 6;

struct DibHeader {
    std::int64_t width = 0;
    std::int64_t height = 0; // positive; see topDown
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = kDibRgb;
    std::uint32_t headerSize = 0;
    std::uint32_t sizeImage = 0;
    std::uint64_t colorTableOffset = 0; // from the start of the info
    std::uint64_t colorCount = 0;       // entries the header announces
    int colorEntrySize = 4;
    std::uint32_t masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    std::uint64_t infoSize() const { return colorTableOffset + colorCount * colorEntrySize; }
};

// Reads and checks the info header at the start of `info`; false when the mode does not
// take it. The pixel cap refuses a picture before its pixels are allocated.
// paletteIndices: the colour table holds 16-bit indices into a logical palette.
// In Lenient mode a v3 or later header cut before its alpha mask throws OutOfBounds.
bool readDibHeader(const ByteReader& info, DibHeader& header, DibMode mode, std::int64_t maxPixels,
                   bool paletteIndices = false);

// How Lenient mode colours a bitmap.
struct DibColours {
    // With paletteIndices, the colour table's entries index this palette (0xAARRGGBB).
    std::span<const std::uint32_t> logicalPalette;
    bool paletteIndices = false;
    // Keep the alpha of 32-bit pixels and palette colours; else every pixel is opaque.
    bool keepAlpha = false;
};

// Top-down rows of 32-bit pixels (0xAARRGGBB in native order) the decoder writes into.
struct DibRows {
    std::uint8_t* first = nullptr;
    std::size_t bytesPerLine = 0;
};

// Lenient mode: decodes the pixels of a bitmap readDibHeader took (not JPEG or PNG)
// into `rows`, `info` being the header and colour table and `bits` the pixel data.
// False when the rows are shorter than the picture.
bool decodeDibPixels(const ByteReader& info, const DibHeader& header, const ByteReader& bits,
                     const DibColours& colours, DibRows rows);

// Strict mode: a whole BMP file (file header, info, colour table, pixels) into a Bgr24
// raster. bitCount, when given, receives the file's bits per pixel.
Raster decodeBmpFile(std::span<const std::uint8_t> file, std::int64_t maxPixels,
                     int* bitCount = nullptr);

} // namespace pictorant
