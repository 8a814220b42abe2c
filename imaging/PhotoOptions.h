#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/JpegRowSource.h"
#include "imaging/JpegSideData.h"
#include "imaging/Picture.h"

namespace pictorant {

// The options that treat a photo as its camera data means it, all off by default: with
// every one off, pictures are read and written exactly as without them.
struct PhotoOptions {
    bool autoOrient = false;   // stand the picture upright by its EXIF orientation
    bool toSrgb = false;       // convert through an embedded colour profile to sRGB
    bool keepMetadata = false; // JPEG outputs carry the source's EXIF and XMP
    bool stripGps = false;     // ... without the location data
    bool any() const { return autoOrient || toSrgb || keepMetadata; }
};

// What the load step read and did to one picture, for its output and for the user.
struct PhotoFacts {
    JpegSideData side; // read only when an option needs it
    bool uprighted = false;
    std::string warning; // a colour profile that could not be used, in words for the user
    // What is left for the resampling to do (Turn::Later): the orientation to apply (1
    // when the picture stands as it should), and the conversion through side.icc.
    int pendingOrientation = 1;
    bool pendingColour = false;
    bool pending() const { return pendingOrientation != 1 || pendingColour; }
};

// Whether the load step may leave the turn to the resampling (a thumbnail run), where
// ResampleJpegRowsUpright makes it from the rows the filter reads.
enum class Turn { Now, Later };

// The side data of a loaded picture: a JPEG's markers; nothing for other kinds.
JpegSideData PictureSideData(const Picture& picture);

// Turns a decoded picture upright and into sRGB as the options ask, whatever decoder made
// its raster. Where something is to be done the picture ends up holding the new raster
// (a Jpeg stays a Jpeg, with its decode warning kept); else it is left untouched, still
// undecoded. A profile that cannot be used is skipped: the text says why, and the
// picture is still turned. Sets uprighted when the pixels were turned. Throws
// PictureError when the picture's data cannot be decoded.
std::string ApplyUprightAndColour(Picture& picture, const JpegSideData& side,
                                  const PhotoOptions& options, bool& uprighted);

// PictureSideData and ApplyUprightAndColour together, as the runs and the preview load.
// With Turn::Later an undecoded JPEG stays undecoded: the turn and an RGB profile's
// conversion are left pending (uprighted is set all the same) for ResamplePending.
PhotoFacts PreparePhoto(Picture& picture, const PhotoOptions& options, Turn turn = Turn::Now);

// The W x H thumbnail with the pending work done, from only the rows `filter` reads
// where the JPEG allows it (the same bytes as doing the work on the whole decode and
// then the filter); returns true then. Otherwise the work is done on the whole decode,
// which the picture then holds, and false is returned: the caller resamples as usual.
// Throws PictureError when the data cannot be decoded.
bool ResamplePending(Picture& picture, const PhotoFacts& facts, RowFilter filter, int W, int H,
                     Raster& workBitmap);

// A JPEG output's bytes carrying the source's metadata when keepMetadata is on: the
// EXIF (orientation 1 when the picture was turned upright, the stated size width x
// height, no thumbnail, no location data with stripGps) and the XMP packet. Without the
// option, or without metadata in the source, the bytes are returned unchanged.
std::vector<std::uint8_t> WithKeptMetadata(std::vector<std::uint8_t> jpeg, const PhotoFacts& facts,
                                           const PhotoOptions& options, int width, int height);

} // namespace pictorant
