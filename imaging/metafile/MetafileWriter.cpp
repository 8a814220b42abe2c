#include "imaging/metafile/MetafileWriter.h"

#include <limits>

#include "imaging/PictureError.h"
#include "imaging/metafile/Dib.h"

namespace pictorant::metafile {

namespace {

class Out {
public:
    std::vector<std::uint8_t> bytes;
    void u16(std::uint32_t v) {
        bytes.push_back(std::uint8_t(v));
        bytes.push_back(std::uint8_t(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void i32(std::int64_t v) { u32(std::uint32_t(std::int32_t(v))); }
    void patch32(std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = std::uint8_t(v >> (8 * i));
    }
    void patch16(std::size_t at, std::uint32_t v) {
        bytes[at] = std::uint8_t(v);
        bytes[at + 1] = std::uint8_t(v >> 8);
    }
};

constexpr std::uint32_t kSrcCopy = 0x00CC0020;
constexpr std::uint32_t kColorOnColor = 3;

// A frame of 0 pixels plays as nothing and no reader takes it back: such a file is
// never written, as the JPEG encoder refuses an empty image.
void refuseEmpty(const Raster& raster) {
    if (raster.width() <= 0 || raster.height() <= 0)
        throw PictureError("Cannot write an empty metafile");
}

} // namespace

std::uint16_t placeableChecksum(const std::uint8_t* header) {
    std::uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= std::uint16_t(header[2 * i] | header[2 * i + 1] << 8);
    return sum;
}

std::vector<std::uint8_t> writeEmf(const Raster& raster, std::int64_t mmWidth,
                                   std::int64_t mmHeight) {
    const std::int64_t w = raster.width(), h = raster.height();
    refuseEmpty(raster);
    const std::uint64_t stride = (std::uint64_t(w) * 3 + 3) & ~std::uint64_t(3);
    if (132 + 12 + 80 + 40 + stride * std::uint64_t(h) + 20 >
        std::numeric_limits<std::uint32_t>::max())
        throw PictureError("Picture is too large to be written as a metafile");

    Out o;
    // EMR_HEADER
    o.u32(1);
    o.u32(132);
    o.i32(0), o.i32(0), o.i32(w - 1), o.i32(h - 1);      // bounds, inclusive pixels
    o.i32(0), o.i32(0), o.i32(mmWidth), o.i32(mmHeight); // frame, 0.01 mm
    o.u32(0x464D4520);                                   // " EMF"
    o.u32(0x00010000);
    const std::size_t nBytesAt = o.bytes.size();
    o.u32(0); // nBytes, patched below
    o.u32(4); // nRecords
    o.u16(1); // nHandles: the reserved handle 0
    o.u16(0);
    o.u32(11);  // nDescription in UTF-16 units
    o.u32(108); // offDescription
    o.u32(0);   // nPalEntries
    o.i32(kDevicePixelsX), o.i32(kDevicePixelsY);
    o.i32(kDeviceMillimetresX), o.i32(kDeviceMillimetresY);
    o.u32(0), o.u32(0), o.u32(0); // no pixel format, no OpenGL
    o.i32(kDeviceMillimetresX * 1000), o.i32(kDeviceMillimetresY * 1000);
    for (char c : std::string_view("Ostrovel\0\0\0", 11))
        o.u16(std::uint8_t(c));
    o.u16(0); // pad to 132

    // EMR_SETSTRETCHBLTMODE
    o.u32(21);
    o.u32(12);
    o.u32(kColorOnColor);

    // EMR_STRETCHDIBITS
    const std::size_t recordAt = o.bytes.size();
    o.u32(81);
    o.u32(0); // size, patched below
    o.i32(0), o.i32(0), o.i32(w - 1), o.i32(h - 1);
    o.i32(0), o.i32(0);                     // dest
    o.i32(0), o.i32(0), o.i32(w), o.i32(h); // source rectangle
    o.u32(80), o.u32(40);                   // offBmiSrc, cbBmiSrc
    o.u32(120);
    const std::size_t cbBitsAt = o.bytes.size();
    o.u32(0);
    o.u32(0); // DIB_RGB_COLORS
    o.u32(kSrcCopy);
    o.i32(w), o.i32(h);
    const std::uint64_t bitsSize = appendDib24(o.bytes, raster);
    o.patch32(cbBitsAt, std::uint32_t(bitsSize));
    o.patch32(recordAt + 4, std::uint32_t(o.bytes.size() - recordAt));

    // EMR_EOF
    o.u32(14);
    o.u32(20);
    o.u32(0);  // nPalEntries
    o.u32(16); // offPalEntries
    o.u32(20); // nSizeLast
    o.patch32(nBytesAt, std::uint32_t(o.bytes.size()));
    return std::move(o.bytes);
}

std::vector<std::uint8_t> writeWmf(const Raster& raster, int right, int bottom, int inch) {
    const int w = raster.width(), h = raster.height();
    refuseEmpty(raster);
    if (w > 32767 || h > 32767 || right > 32767 || bottom > 32767 || right < 0 || bottom < 0)
        throw PictureError("Picture is too large to be written as a Windows metafile "
                           "(at most 32767 x 32767)");
    Out o;
    // Placeable header
    o.u32(0x9AC6CDD7);
    o.u16(0);
    o.u16(0), o.u16(0), o.u16(std::uint32_t(right)), o.u16(std::uint32_t(bottom));
    o.u16(std::uint32_t(inch));
    o.u32(0);
    o.u16(placeableChecksum(o.bytes.data()));

    // META_HEADER: sizes in 16-bit words, not counting the placeable header
    const std::size_t headerAt = o.bytes.size();
    o.u16(1); // memory metafile
    o.u16(9);
    o.u16(0x0300);
    o.u32(0); // mtSize, patched
    o.u16(0); // no objects
    o.u32(0); // mtMaxRecord, patched
    o.u16(0);

    auto record = [&](std::uint16_t function, std::initializer_list<std::int32_t> params) {
        o.u32(std::uint32_t(3 + params.size()));
        o.u16(function);
        for (std::int32_t p : params)
            o.u16(std::uint32_t(p) & 0xFFFF);
    };
    record(0x0103, {8});    // SETMAPMODE MM_ANISOTROPIC
    record(0x020B, {0, 0}); // SETWINDOWORG y, x
    record(0x020C, {h, w}); // SETWINDOWEXT y, x
    record(0x0107, {std::int32_t(kColorOnColor)});

    // STRETCHDIB: rop, usage, source h, w, y, x, destination h, w, y, x, DIB
    const std::size_t dibRecordAt = o.bytes.size();
    o.u32(0);
    o.u16(0x0F43);
    o.u32(kSrcCopy);
    o.u16(0); // DIB_RGB_COLORS
    o.u16(std::uint32_t(h)), o.u16(std::uint32_t(w)), o.u16(0), o.u16(0);
    o.u16(std::uint32_t(h)), o.u16(std::uint32_t(w)), o.u16(0), o.u16(0);
    appendDib24(o.bytes, raster);
    const std::uint64_t dibWords = (o.bytes.size() - dibRecordAt) / 2;
    o.patch32(dibRecordAt, std::uint32_t(dibWords));

    record(0x0000, {}); // EOF
    const std::uint64_t totalWords = (o.bytes.size() - headerAt) / 2;
    o.patch32(headerAt + 6, std::uint32_t(totalWords));
    o.patch32(headerAt + 12, std::uint32_t(dibWords));
    return std::move(o.bytes);
}

} // namespace pictorant::metafile
