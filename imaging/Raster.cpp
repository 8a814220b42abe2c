#include "imaging/Raster.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace pictorant {

Raster::Raster(int width, int height, PixelFormat format) {
    reset(width, height, format);
}

Raster::Raster(Raster&& other) noexcept
    : width_(other.width_), height_(other.height_), format_(other.format_),
      pixels_(std::move(other.pixels_)), palette_(std::move(other.palette_)) {
    other.width_ = other.height_ = 0;
    other.pixels_.clear();
}

Raster& Raster::operator=(Raster&& other) noexcept {
    if (this != &other) {
        width_ = other.width_;
        height_ = other.height_;
        format_ = other.format_;
        pixels_ = std::move(other.pixels_);
        palette_ = std::move(other.palette_);
        other.width_ = other.height_ = 0;
        other.pixels_.clear();
    }
    return *this;
}

void Raster::reset(int width, int height, PixelFormat format) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    format_ = format;
    resizeStorage();
}

void Raster::release() {
    width_ = height_ = 0;
    std::vector<std::uint8_t>().swap(pixels_);
}

void Raster::trim(std::size_t keepBytes) {
    if (pixels_.capacity() > keepBytes)
        release();
}

void Raster::resizeStorage() {
    // resize() never gives capacity back, so a reused raster keeps its largest buffer.
    pixels_.resize(bytesPerLine() * std::size_t(height_));
}

void Raster::fill(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    if (format_ != PixelFormat::Bgr24 || isEmpty())
        return;
    std::uint8_t* row = scanLine(0);
    for (int x = 0; x < width_; ++x) {
        row[3 * x] = blue;
        row[3 * x + 1] = green;
        row[3 * x + 2] = red;
    }
    for (int y = 1; y < height_; ++y)
        std::memcpy(scanLine(y), row, bytesPerLine());
}

bool Raster::operator==(const Raster& other) const {
    return width_ == other.width_ && height_ == other.height_ && format_ == other.format_ &&
           std::equal(pixels_.begin(), pixels_.end(), other.pixels_.begin(), other.pixels_.end()) &&
           (format_ == PixelFormat::Bgr24 || palette_ == other.palette_);
}

} // namespace pictorant
