#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <QImage>

#include "imaging/Picture.h"
#include "imaging/Raster.h"
#include "imaging/Resample.h"
#include "tests/support/FileFaults.h"

namespace pictorant::test {

using TempDir = pictorant::testing::ScratchFolder;

inline std::string dataPath(const std::string& relative) {
    return std::string(PICTORANT_IMAGING_DATA) + "/" + relative;
}

inline std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Little-endian byte building for hand-made files and records.
struct Bytes {
    std::vector<std::uint8_t> data;
    Bytes& u8(std::uint32_t v) {
        data.push_back(std::uint8_t(v));
        return *this;
    }
    Bytes& u16(std::uint32_t v) { return u8(v & 0xFF).u8((v >> 8) & 0xFF); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& i32(std::int32_t v) { return u32(std::uint32_t(v)); }
    Bytes& f32(float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return u32(bits);
    }
    Bytes& append(const std::vector<std::uint8_t>& more) {
        data.insert(data.end(), more.begin(), more.end());
        return *this;
    }
    std::size_t size() const { return data.size(); }
};

// A BMP with a 40-byte header, the given palette (or bit-field masks) and pixel data as
// they go in the file.
inline std::vector<std::uint8_t> makeBmp(int width, int height, int bits, std::uint32_t compression,
                                         const std::vector<PaletteColor>& palette,
                                         const std::vector<std::uint8_t>& pixels,
                                         const std::vector<std::uint32_t>& masks = {}) {
    Bytes b;
    const std::uint32_t offset = std::uint32_t(54 + 4 * (palette.size() + masks.size()));
    b.u8('B').u8('M').u32(offset + std::uint32_t(pixels.size())).u32(0).u32(offset);
    b.u32(40).i32(width).i32(height).u16(1).u16(std::uint32_t(bits)).u32(compression);
    b.u32(std::uint32_t(pixels.size())).u32(2835).u32(2835);
    b.u32(std::uint32_t(palette.size())).u32(0);
    for (std::uint32_t m : masks)
        b.u32(m);
    for (const PaletteColor& c : palette)
        b.u8(c.blue).u8(c.green).u8(c.red).u8(0);
    return b.append(pixels).data;
}

// A GIF of two colours (black, white) and one frame at 0,0 whose LZW data (code size 2)
// is `lzw`, in one sub-block.
inline std::vector<std::uint8_t> makeGif(int screenWidth, int screenHeight, int frameWidth,
                                         int frameHeight, const std::vector<std::uint8_t>& lzw) {
    Bytes b;
    b.append({'G', 'I', 'F', '8', '9', 'a'}).u16(screenWidth).u16(screenHeight);
    b.append({0x80, 0, 0, 0, 0, 0, 255, 255, 255, ','}).u32(0).u16(frameWidth).u16(frameHeight);
    b.u8(0).u8(2).u8(std::uint32_t(lzw.size())).append(lzw);
    return b.u8(0).u8(';').data;
}

inline void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = std::uint8_t(v >> (8 * i));
}

// Skips the test when a reference tool is not installed.
#define SKIP_WITHOUT(program)                                                                      \
    if (std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) != 0)     \
    GTEST_SKIP() << program << " is not installed"

// Runs a shell command and returns what it wrote to standard output.
inline std::vector<std::uint8_t> runCapture(const std::string& command, int* status = nullptr) {
    std::vector<std::uint8_t> out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return out;
    std::uint8_t buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.insert(out.end(), buffer, buffer + n);
    const int rc = ::pclose(pipe);
    if (status)
        *status = rc;
    return out;
}

inline QImage toImage(const Raster& r) {
    return QImage(r.bits(), r.width(), r.height(), int(r.bytesPerLine()), QImage::Format_BGR888)
        .copy();
}

// Reads what the reference tools write (PPM, PGM) into a 24-bit raster.
inline bool parsePnm(const std::vector<std::uint8_t>& bytes, Raster& out) {
    const QImage image =
        QImage::fromData(bytes.data(), int(bytes.size())).convertToFormat(QImage::Format_BGR888);
    if (image.isNull())
        return false;
    out.reset(image.width(), image.height(), PixelFormat::Bgr24);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(out.scanLine(y), image.constScanLine(y), 3 * std::size_t(image.width()));
    return true;
}

// What djpeg makes of the file at `path` with `options`, as a 24-bit raster.
inline bool djpeg(const std::string& path, const std::string& options, Raster& out) {
    int status = 0;
    const auto pnm = runCapture("djpeg " + options + " -pnm '" + path + "' 2>/dev/null", &status);
    return status == 0 && parsePnm(pnm, out);
}

// Colour of pixel (x, y) of a Bgr24 raster as 0xRRGGBB.
inline std::uint32_t pixel(const Raster& r, int x, int y) {
    const std::uint8_t* p = r.scanLine(y) + 3 * x;
    return std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}

// A test picture with smooth gradients, sharp edges and noise, so that the codecs meet
// every kind of block.
inline Raster syntheticPicture(int w, int h, unsigned seed = 1) {
    Raster r(w, h);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = r.scanLine(y) + 3 * x;
            const bool edge = ((x / 7) + (y / 5)) % 3 == 0;
            p[0] = std::uint8_t(x * 255 / std::max(w - 1, 1));
            p[1] = std::uint8_t(edge ? 255 : y * 255 / std::max(h - 1, 1));
            p[2] = std::uint8_t((x * y + rng() % 32) & 255);
        }
    return r;
}

// A thumbnail as the runs make it; `held` is what the work and target rasters hold.
inline Raster thumb(const Picture& picture, bool quality, int W, int H,
                    std::size_t* held = nullptr) {
    Raster work, target;
    if (quality)
        ResampleQuality(picture, W, H, work, target);
    else
        ResampleFast(picture, W, H, work);
    if (held)
        *held = work.storageBytes() + target.storageBytes();
    return work;
}

// The largest difference of one byte between two rasters of one size; 256 when their
// sizes differ.
inline int largestDifference(const Raster& a, const Raster& b) {
    if (a.width() != b.width() || a.height() != b.height())
        return 256;
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (std::size_t i = 0; i < a.bytesPerLine(); ++i)
            most = std::max(most, std::abs(int(a.scanLine(y)[i]) - int(b.scanLine(y)[i])));
    return most;
}

inline Picture bitmapOf(const Raster& r) {
    Picture bitmap(PictureKind::Bitmap);
    bitmap.setBitmap(r);
    return bitmap;
}

inline Picture pictureFrom(PictureKind kind, std::vector<std::uint8_t> bytes) {
    Picture picture;
    LoadPictureFromBytes(kind, std::move(bytes), picture);
    return picture;
}

// A GIF picture of one frame on a screen of the given size and global colours.
inline Picture gifPicture(int screenWidth, int screenHeight, std::vector<PaletteColor> colours,
                          const GifFrame& frame) {
    Picture picture(PictureKind::Gif);
    picture.setGif({screenWidth, screenHeight, std::move(colours), false, 0, 1, {frame}});
    return picture;
}

// A picture or raster as drawn at its natural size, in 24 bits.
template <typename Source> Raster rendered(const Source& source) {
    Raster r;
    RenderToBitmap(source, r);
    return r;
}

// An 8-bit raster of the given palette and indices, row by row.
inline Raster indexedRaster(int w, int h, std::vector<PaletteColor> palette,
                            const std::vector<std::uint8_t>& indices) {
    Raster r(w, h, PixelFormat::Indexed8);
    r.palette() = std::move(palette);
    for (int y = 0; y < h; ++y)
        std::copy_n(indices.begin() + std::ptrdiff_t(y) * w, w, r.scanLine(y));
    return r;
}

} // namespace pictorant::test
