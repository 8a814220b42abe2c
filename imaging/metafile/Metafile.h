#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "../Raster.h"

namespace pictorant {

// The content of a picture of the Metafile kind: an EMF or WMF recording, its frame
// and its natural size. The program plays the records itself; see MetafilePlayer.
class Metafile {
public:
    // Parses an EMF or WMF file by content (never by extension). Throws PictureError
    // "Metafile is not valid" for a missing or broken EMF header or placeable header.
    static Metafile fromBytes(std::span<const std::uint8_t> bytes);

    int width() const { return width_; }   // natural size in pixels
    int height() const { return height_; }
    std::int64_t mmWidth() const { return mmWidth_; } // frame in 0.01 mm
    std::int64_t mmHeight() const { return mmHeight_; }
    int inch() const { return inch_; } // placeable header's units per inch; 0 for EMF
    bool enhanced() const { return enhanced_; }
    void setEnhanced(bool enhanced) { enhanced_ = enhanced; }
    bool isEmpty() const { return bytes_.empty(); }

    // Plays the records into the rectangle (0, 0, target.width(), target.height()) of
    // a Bgr24 raster, over what the raster already holds.
    void playInto(Raster& target) const;

    // Replaces the content by a recording of the raster drawn at 1:1 (metafile encoding).
    void storeRaster(const Raster& raster);

    // The file bytes: EMF, or WMF with its placeable header. Throws PictureError when
    // the picture cannot be written in that form.
    std::vector<std::uint8_t> encode(bool asWmf) const;

private:
    std::vector<std::uint8_t> bytes_; // the recording as read or made
    int width_ = 0;
    int height_ = 0;
    std::int64_t mmWidth_ = 0;
    std::int64_t mmHeight_ = 0;
    int inch_ = 0;
    bool enhanced_ = true;
    bool wmfBytes_ = false; // bytes_ hold a WMF recording rather than an EMF one
};

} // namespace pictorant
