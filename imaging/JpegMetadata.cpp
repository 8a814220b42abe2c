#include "imaging/JpegMetadata.h"

#include <cstdlib>

#include <libexif/exif-data.h>

namespace pictorant {
namespace {

constexpr std::uint8_t kApp0 = 0xE0, kApp1 = 0xE1;
constexpr std::size_t kMaxPayload = 65533;

void setNumber(ExifData* data, ExifEntry* e, unsigned value) {
    const ExifByteOrder order = exif_data_get_byte_order(data);
    if (e->format == EXIF_FORMAT_SHORT)
        exif_set_short(e->data, order, ExifShort(value));
    else if (e->format == EXIF_FORMAT_LONG)
        exif_set_long(e->data, order, ExifLong(value));
}

void removeAll(ExifContent* content) {
    while (content->count > 0)
        exif_content_remove_entry(content, content->entries[content->count - 1]);
}

bool isApp1With(const JpegSegment& s, std::string_view id) {
    return s.marker == kApp1 && s.payload.size() >= id.size() &&
           std::equal(id.begin(), id.end(), s.payload.begin(),
                      [](char a, std::uint8_t b) { return std::uint8_t(a) == b; });
}

void appendSegment(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> payload) {
    const std::size_t length = payload.size() + 2;
    out.insert(out.end(), {0xFF, kApp1, std::uint8_t(length >> 8), std::uint8_t(length)});
    out.insert(out.end(), payload.begin(), payload.end());
}

} // namespace

std::vector<std::uint8_t> EditExif(std::span<const std::uint8_t> exif, const ExifEdit& edit) {
    std::vector<std::uint8_t> result;
    if (exif.empty())
        return result;
    ExifData* data = exif_data_new();
    if (!data)
        return result;
    // Kept as the camera wrote it: no tags added or changed beyond the edit.
    exif_data_unset_option(data, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(data, exif.data(), unsigned(exif.size()));
    if (data->ifd[EXIF_IFD_0]->count == 0 && data->ifd[EXIF_IFD_EXIF]->count == 0) {
        exif_data_unref(data);
        return result;
    }
    if (edit.uprighted) {
        if (ExifEntry* e = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
            e && e->components >= 1)
            setNumber(data, e, 1);
    }
    if (edit.width > 0 && edit.height > 0) {
        ExifContent* sub = data->ifd[EXIF_IFD_EXIF];
        if (ExifEntry* e = exif_content_get_entry(sub, EXIF_TAG_PIXEL_X_DIMENSION); e)
            setNumber(data, e, unsigned(edit.width));
        if (ExifEntry* e = exif_content_get_entry(sub, EXIF_TAG_PIXEL_Y_DIMENSION); e)
            setNumber(data, e, unsigned(edit.height));
    }
    if (edit.stripGps)
        removeAll(data->ifd[EXIF_IFD_GPS]);
    // The thumbnail and the directory that describes it.
    removeAll(data->ifd[EXIF_IFD_1]);
    if (data->data) {
        free(data->data);
        data->data = nullptr;
        data->size = 0;
    }
    unsigned char* bytes = nullptr;
    unsigned int size = 0;
    exif_data_save_data(data, &bytes, &size);
    if (bytes) {
        // libexif writes the "Exif\0\0" identifier itself.
        result.assign(bytes, bytes + size);
        free(bytes);
    }
    exif_data_unref(data);
    return result;
}

std::vector<std::uint8_t> WithJpegMetadata(std::span<const std::uint8_t> jpeg,
                                           std::span<const std::uint8_t> exif,
                                           std::span<const std::uint8_t> xmp) {
    const std::vector<JpegSegment> segments = JpegHeaderSegments(jpeg);
    if (segments.empty() && (jpeg.size() < 2 || jpeg[0] != 0xFF || jpeg[1] != 0xD8))
        return {jpeg.begin(), jpeg.end()};
    std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
    out.reserve(jpeg.size() + exif.size() + xmp.size() + 8);
    std::size_t at = 2;
    bool inserted = false;
    const auto insertOurs = [&] {
        if (!exif.empty() && exif.size() <= kMaxPayload)
            appendSegment(out, exif);
        if (!xmp.empty() && xmp.size() <= kMaxPayload)
            appendSegment(out, xmp);
        inserted = true;
    };
    for (const JpegSegment& s : segments) {
        // Whatever lies between segments (fill bytes) is kept as it stands.
        out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(at),
                   jpeg.begin() + std::ptrdiff_t(s.offset));
        at = s.offset + s.size;
        if (!inserted && s.marker != kApp0)
            insertOurs();
        if (isApp1With(s, kExifId) || isApp1With(s, kXmpId))
            continue;
        out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(s.offset),
                   jpeg.begin() + std::ptrdiff_t(at));
    }
    if (!inserted)
        insertOurs();
    out.insert(out.end(), jpeg.begin() + std::ptrdiff_t(at), jpeg.end());
    return out;
}

} // namespace pictorant
