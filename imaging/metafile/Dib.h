#pragma once

#include <QImage>
#include <QVector>
#include <cstdint>
#include <vector>

#include "../Raster.h"
#include "ByteReader.h"

namespace pictorant::metafile {

// Device-independent bitmaps as metafiles embed them: a BITMAPCOREHEADER (12 bytes)
// or a BITMAPINFOHEADER and its later versions (40, 52, 56, 108, 124 bytes), a colour
// table or bit-field masks, and the pixel rows (bottom-up unless the height is
// negative; RLE4/RLE8, embedded JPEG/PNG).

// Largest bitmap the player decodes; the pixels of a bigger one are never allocated.
inline constexpr std::int64_t kMaxDibPixels = std::int64_t(1) << 25;

struct DibOptions {
    // DIB_PAL_COLORS: the colour table holds 16-bit indices into this palette.
    const QVector<QRgb>* logicalPalette = nullptr;
    bool paletteIndices = false;
    // Keep the alpha bytes of 32-bit pixels (alpha blending); else pixels are opaque.
    bool keepAlpha = false;
};

struct DibHeader {
    std::int64_t width = 0;
    std::int64_t height = 0; // positive; see topDown
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t headerSize = 0;
    std::uint64_t colorTableOffset = 0; // from the start of the info
    std::uint64_t colorCount = 0;       // entries the header announces
    int colorEntrySize = 4;
    std::uint32_t masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    std::uint64_t infoSize() const { return colorTableOffset + colorCount * colorEntrySize; }
};

// Reads and checks the header; false when it is not a bitmap this player can decode.
bool readDibHeader(const ByteReader& info, DibHeader& header, bool paletteIndices);

// Decodes a bitmap whose info (header and colour table) and bits are given apart, as
// in EMF records. Returns a null image when the bitmap is broken or too large.
QImage decodeDib(const ByteReader& info, const ByteReader& bits, const DibOptions& options = {});

// Decodes a packed bitmap (info immediately followed by the bits), as in WMF records.
QImage decodePackedDib(const ByteReader& packed, const DibOptions& options = {});

// A 40-byte BITMAPINFOHEADER and the raster's pixels as bottom-up 24-bit rows padded to
// four bytes, appended to out. Returns the size of the bits part.
std::uint64_t appendDib24(std::vector<std::uint8_t>& out, const Raster& raster);

} // namespace pictorant::metafile
