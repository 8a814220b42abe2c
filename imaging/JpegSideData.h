#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pictorant {

// What a JPEG file carries beside its pixels that the photo options read: the camera
// data (APP1 "Exif"), the XMP packet (APP1) and the colour profile (APP2 "ICC_PROFILE"
// chunks). Read from the markers before the first scan; nothing is decoded.
struct JpegSideData {
    // The APP1 payloads as they stand in the file, their identifiers included
    // ("Exif\0\0" + TIFF data; "http://ns.adobe.com/xap/1.0/\0" + packet). Empty when
    // the file has none.
    std::vector<std::uint8_t> exif;
    std::vector<std::uint8_t> xmp;
    // The profile, its chunks joined in sequence order. Empty when there is none, or
    // when its chunks do not add up (then iccProblem says so).
    std::vector<std::uint8_t> icc;
    std::string iccProblem;
    // The EXIF orientation, 1 to 8; 1 when there is none or it is out of range.
    int orientation = 1;
};

// Reads the side data of a JPEG file's bytes. Damaged or missing markers give what could
// be read; never throws.
JpegSideData ReadJpegSideData(std::span<const std::uint8_t> jpeg);

// The orientation tag of an EXIF APP1 payload ("Exif\0\0" + TIFF data): 1 to 8, or 1
// when the tag is missing, out of range or the data cannot be read.
int ExifOrientationOf(std::span<const std::uint8_t> exif);

// A JPEG file's marker segments before its first scan: marker code and payload (the
// bytes after the length field). Stops at the first scan or a damaged length.
struct JpegSegment {
    std::uint8_t marker = 0;
    std::size_t offset = 0; // of the 0xFF that starts the segment
    std::size_t size = 0;   // of the whole segment, marker and length included
    std::span<const std::uint8_t> payload;
};
std::vector<JpegSegment> JpegHeaderSegments(std::span<const std::uint8_t> jpeg);

// The identifiers the APP segments above start with.
inline constexpr std::string_view kExifId{"Exif\0\0", 6};
inline constexpr std::string_view kXmpId{"http://ns.adobe.com/xap/1.0/\0", 29};
inline constexpr std::string_view kIccId{"ICC_PROFILE\0", 12};

} // namespace pictorant
