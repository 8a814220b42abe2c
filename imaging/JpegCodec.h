#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "imaging/Raster.h"

namespace pictorant {

// libjpeg (IJG v62 interface) behind the program's error texts: every libjpeg error
// becomes PictureError "JPEG error #%d" with libjpeg's message code. Warnings (corrupt
// or truncated data) are not errors, as with djpeg: the picture is decoded as libjpeg
// finishes it, and the decode says what was wrong in words for the user.

struct JpegInfo {
    int width = 0;
    int height = 0;
    int components = 0;
    bool progressive = false; // libjpeg then keeps every coefficient of the picture
};

// libjpeg's warnings met during one decode, as the user is told of them.
class JpegWarnings {
public:
    // A warning's message code (JWRN_*). Header oddities that change nothing shown
    // are not noted.
    void note(int code);
    // "" when nothing was noted; "data ends early; the rest is grey" when the data
    // stops before the picture does (libjpeg fills the rest with grey); another text
    // for damaged data.
    std::string text() const;

private:
    bool endsEarly_ = false;
    bool damaged_ = false;
};

// The texts JpegWarnings::text gives.
inline constexpr const char* kJpegEndsEarly = "data ends early; the rest is grey";
inline constexpr const char* kJpegDamaged = "data is damaged; parts of the picture may be wrong";

// Adobe's and plain CMYK samples (four per pixel) to blue, green, red.
void CmykRowToBgr(const std::uint8_t* in, std::uint8_t* out, int width, bool inverted);

// Reads the header only. Throws PictureError.
JpegInfo ReadJpegInfo(std::span<const std::uint8_t> data);

// Decodes at 1/1 with block smoothing. format Indexed8 asks for 236 quantised colours
// (two-pass, Floyd-Steinberg); a greyscale file is always quantised to 236 levels.
// The result is Indexed8 with its palette when quantised, else Bgr24. CMYK and YCCK
// files are turned into RGB here (Adobe's inverted CMYK). Returns the warning text of
// JpegWarnings ("" for clean data).
std::string DecodeJpeg(std::span<const std::uint8_t> data, PixelFormat format, Raster& out);

// The ink of a CMYK or YCCK file, four samples a pixel as libjpeg gives them (inverted,
// 0 = full ink, when the file has Adobe's marker), for a colour profile to turn into
// RGB. Returns false, touching nothing, for other colour spaces. Throws PictureError as
// DecodeJpeg does.
struct JpegInk {
    int width = 0, height = 0;
    bool inverted = false;
    std::vector<std::uint8_t> samples;
};
bool DecodeJpegInk(std::span<const std::uint8_t> data, JpegInk& out);

// Encodes a raster (Bgr24, or Indexed8 through its palette) as a baseline JFIF file:
// jpeg_set_defaults, jpeg_set_quality(quality, TRUE).
std::vector<std::uint8_t> EncodeJpeg(const Raster& raster, int quality);

} // namespace pictorant
