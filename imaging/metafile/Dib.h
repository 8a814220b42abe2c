#pragma once

#include <QImage>
#include <QVector>
#include <cstdint>
#include <vector>

#include "imaging/DibCore.h"
#include "imaging/Raster.h"

namespace pictorant::metafile {

// Device-independent bitmaps as metafiles embed them, read by the DIB core in its
// Lenient mode; embedded JPEG/PNG pixels (bit count 0) go to Qt's readers.

// Largest bitmap the player decodes; the pixels of a bigger one are never allocated.
inline constexpr std::int64_t kMaxDibPixels = std::int64_t(1) << 25;

struct DibOptions {
    // DIB_PAL_COLORS: the colour table holds 16-bit indices into this palette.
    const QVector<QRgb>* logicalPalette = nullptr;
    bool paletteIndices = false;
    // Keep the alpha bytes of 32-bit pixels (alpha blending); else pixels are opaque.
    bool keepAlpha = false;
};

// Reads and checks the header; false when it is not a bitmap this player can decode.
inline bool readDibHeader(const ByteReader& info, DibHeader& header, bool paletteIndices) {
    return pictorant::readDibHeader(info, header, DibMode::Lenient, kMaxDibPixels, paletteIndices);
}

// Decodes a bitmap whose info (header and colour table) and bits are given apart, as
// in EMF records. Returns a null image when the bitmap is broken or too large.
QImage decodeDib(const ByteReader& info, const ByteReader& bits, const DibOptions& options = {});

// Decodes a packed bitmap (info immediately followed by the bits), as in WMF records.
QImage decodePackedDib(const ByteReader& packed, const DibOptions& options = {});

// A device-dependent bitmap (WMF Bitmap16: a 10-byte header and rows top down). One-bit
// pixels take `zero` and `one`; four- and eight-bit ones the palette (else the VGA
// colours, or grey). Null when broken or too large; throws OutOfBounds when short.
QImage decodeBitmap16(const ByteReader& bitmap, QRgb zero, QRgb one, const QVector<QRgb>& palette);

// A 40-byte BITMAPINFOHEADER and the raster's pixels as bottom-up 24-bit rows padded to
// four bytes, appended to out. Returns the size of the bits part.
std::uint64_t appendDib24(std::vector<std::uint8_t>& out, const Raster& raster);

} // namespace pictorant::metafile
