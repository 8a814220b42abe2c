#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "imaging/Raster.h"

namespace pictorant {

// What one play of a metafile did: how many records were read, whether the walk reached
// the end record, and which record types were read but not drawn (type -> count).
struct MetafilePlayReport {
    std::uint64_t records = 0;
    bool reachedEnd = false;
    std::map<int, int> skipped;
};

// The content of a picture of the Metafile kind: an EMF or WMF recording, its frame
// and its natural size. The program plays the records itself; see MetafilePlayer.h.
class Metafile {
public:
    // Natural sizes beyond these are refused as not valid: a raster of that size could
    // not be made. Real files reach 14031 x 9921 (a page at 1200 dpi).
    static constexpr int kMaxSide = 65535;
    static constexpr std::int64_t kMaxPixels = std::int64_t(15000) * 10000;

    // Parses an EMF or WMF file by content (never by extension). Throws PictureError
    // "Metafile is not valid" for a missing or broken EMF header or placeable header.
    static Metafile fromBytes(std::span<const std::uint8_t> bytes);

    int width() const { return width_; } // natural size in pixels
    int height() const { return height_; }
    std::int64_t mmWidth() const { return mmWidth_; } // frame in 0.01 mm
    std::int64_t mmHeight() const { return mmHeight_; }
    int inch() const { return inch_; } // placeable header's units per inch; 0 for EMF
    bool enhanced() const { return enhanced_; }
    void setEnhanced(bool enhanced) { enhanced_ = enhanced; }
    bool isEmpty() const { return bytes_.empty(); }
    // True when the recording held is a WMF one (read from a WMF file).
    bool holdsWmf() const { return wmfBytes_; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

    // The drawing work one play may do, in the player's work units (about a nanosecond
    // each), whatever the target's size: a large target is played in bands that share
    // it. A hostile file stops there as a damaged one would.
    static constexpr double kPlayWork = 2e9;

    // Plays the records into the rectangle (0, 0, target.width(), target.height()) of
    // a Bgr24 raster, over what the raster already holds. The frame (EMF) or the
    // placeable bounding box (WMF) is mapped onto that rectangle. A damaged record
    // ends the play; what was drawn before it stays; so does a play past `work`.
    MetafilePlayReport playInto(Raster& target, double work = kPlayWork) const;

    // Replaces the content by a recording of the raster drawn at 1:1 (metafile encoding).
    // The frame is the raster's size at 96 pixels per inch.
    void storeRaster(const Raster& raster);

    // The file bytes: EMF, or WMF with its placeable header. A recording already in the
    // asked form is returned as it is; otherwise the picture is rendered at its natural
    // size on white and that raster is recorded in the asked form. Throws PictureError
    // when the picture cannot be written in that form (a WMF side beyond 32767).
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
