#include "imaging/JpegSideData.h"

#include <algorithm>
#include <map>

#include <libexif/exif-data.h>

namespace pictorant {
namespace {

constexpr std::uint8_t kApp1 = 0xE1, kApp2 = 0xE2, kSos = 0xDA, kEoi = 0xD9;

bool startsWith(std::span<const std::uint8_t> data, std::string_view id) {
    return data.size() >= id.size() &&
           std::equal(id.begin(), id.end(), data.begin(),
                      [](char a, std::uint8_t b) { return std::uint8_t(a) == b; });
}

} // namespace

std::vector<JpegSegment> JpegHeaderSegments(std::span<const std::uint8_t> jpeg) {
    std::vector<JpegSegment> segments;
    if (jpeg.size() < 4 || jpeg[0] != 0xFF || jpeg[1] != 0xD8)
        return segments;
    std::size_t at = 2;
    while (at + 4 <= jpeg.size()) {
        if (jpeg[at] != 0xFF)
            break;
        const std::uint8_t marker = jpeg[at + 1];
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == kSos || marker == kEoi)
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { // no length field
            at += 2;
            continue;
        }
        const std::size_t length = std::size_t(jpeg[at + 2]) << 8 | jpeg[at + 3];
        if (length < 2 || at + 2 + length > jpeg.size())
            break;
        segments.push_back({marker, at, length + 2, jpeg.subspan(at + 4, length - 2)});
        at += 2 + length;
    }
    return segments;
}

JpegSideData ReadJpegSideData(std::span<const std::uint8_t> jpeg) {
    JpegSideData side;
    // ICC chunks: sequence number (from 1) and count, then the profile's bytes.
    std::map<int, std::span<const std::uint8_t>> chunks;
    int chunkCount = 0;
    bool chunksBroken = false;
    for (const JpegSegment& s : JpegHeaderSegments(jpeg)) {
        if (s.marker == kApp1 && side.exif.empty() && startsWith(s.payload, kExifId)) {
            side.exif.assign(s.payload.begin(), s.payload.end());
        } else if (s.marker == kApp1 && side.xmp.empty() && startsWith(s.payload, kXmpId)) {
            side.xmp.assign(s.payload.begin(), s.payload.end());
        } else if (s.marker == kApp2 && startsWith(s.payload, kIccId)) {
            if (s.payload.size() < kIccId.size() + 2) {
                chunksBroken = true;
                continue;
            }
            const int seq = s.payload[kIccId.size()];
            const int count = s.payload[kIccId.size() + 1];
            if (seq < 1 || seq > count || (chunkCount != 0 && count != chunkCount) ||
                chunks.count(seq) != 0)
                chunksBroken = true;
            chunkCount = count;
            chunks[seq] = s.payload.subspan(kIccId.size() + 2);
        }
    }
    if (!chunks.empty()) {
        if (chunksBroken || int(chunks.size()) != chunkCount) {
            side.iccProblem = "colour profile chunks missing or out of order";
        } else {
            for (const auto& [seq, bytes] : chunks)
                side.icc.insert(side.icc.end(), bytes.begin(), bytes.end());
        }
    }
    side.orientation = ExifOrientationOf(side.exif);
    return side;
}

int ExifOrientationOf(std::span<const std::uint8_t> exif) {
    if (exif.empty())
        return 1;
    ExifData* data = exif_data_new();
    if (!data)
        return 1;
    // Read as stored: no tags added or "fixed" on loading.
    exif_data_unset_option(data, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(data, exif.data(), unsigned(exif.size()));
    int orientation = 1;
    if (ExifEntry* e = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
        e && e->format == EXIF_FORMAT_SHORT && e->components >= 1 && e->data) {
        const int value = exif_get_short(e->data, exif_data_get_byte_order(data));
        if (value >= 1 && value <= 8)
            orientation = value;
    }
    exif_data_unref(data);
    return orientation;
}

} // namespace pictorant
