#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pictorant {

// Pixel formats a raster can hold. The operations of the imaging layer read and
// write Bgr24; Indexed8 is what the quantised JPEG decode produces.
enum class PixelFormat { Bgr24, Indexed8 };

struct PaletteColor {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const PaletteColor&) const = default;
};

// A width x height picture in memory: row 0 at the top, each row addressed as a
// whole scan line. Bgr24 pixels are three bytes blue, green, red. Rows are packed
// (no padding). Resizing keeps the allocation when it is large enough, so a raster
// reused across files does not map fresh memory for each one.
class Raster {
public:
    Raster() = default;
    Raster(int width, int height, PixelFormat format = PixelFormat::Bgr24);
    Raster(const Raster&) = default;
    Raster& operator=(const Raster&) = default;
    // A raster moved from is 0 x 0, never a size without pixels behind it.
    Raster(Raster&& other) noexcept;
    Raster& operator=(Raster&& other) noexcept;

    int width() const { return width_; }
    int height() const { return height_; }
    PixelFormat format() const { return format_; }
    int bytesPerPixel() const { return format_ == PixelFormat::Bgr24 ? 3 : 1; }
    std::size_t bytesPerLine() const { return std::size_t(width_) * bytesPerPixel(); }
    bool isEmpty() const { return width_ <= 0 || height_ <= 0; }

    // A new size and format; keeps no promise about the pixel content.
    void reset(int width, int height, PixelFormat format);
    // Gives the pixel memory back (the raster becomes 0 x 0), so a big picture does not
    // stay mapped after its file is done.
    void release();
    // release() when the storage kept exceeds keepBytes; smaller buffers stay for reuse.
    void trim(std::size_t keepBytes);
    // Bytes of pixel storage held, in use or kept for reuse.
    std::size_t storageBytes() const { return pixels_.capacity(); }

    std::uint8_t* scanLine(int y) { return pixels_.data() + std::size_t(y) * bytesPerLine(); }
    const std::uint8_t* scanLine(int y) const {
        return pixels_.data() + std::size_t(y) * bytesPerLine();
    }
    std::uint8_t* bits() { return pixels_.data(); }
    const std::uint8_t* bits() const { return pixels_.data(); }

    // Fills every pixel of a Bgr24 raster with one colour.
    void fill(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

    // The colours of an Indexed8 raster; index i of a pixel names palette()[i].
    std::vector<PaletteColor>& palette() { return palette_; }
    const std::vector<PaletteColor>& palette() const { return palette_; }

    bool operator==(const Raster& other) const;

private:
    void resizeStorage();

    int width_ = 0;
    int height_ = 0;
    PixelFormat format_ = PixelFormat::Bgr24;
    std::vector<std::uint8_t> pixels_;
    std::vector<PaletteColor> palette_;
};

} // namespace pictorant
