#pragma once

// Photos as cameras and phones write them, made in the test: EXIF with an orientation,
// a date, a location and a thumbnail; colour profiles made with lcms2; CMYK JPEGs.

#include "imaging/JpegCodec.h"
#include "imaging/JpegMetadata.h"
#include "imaging/Raster.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <lcms2.h>
#include <libexif/exif-data.h>
#include <turbojpeg.h>

namespace pictorant::testing {

inline constexpr const char* kTakenAt = "2024:05:01 10:20:30";

inline ExifEntry* addEntry(ExifData* data, ExifIfd ifd, ExifTag tag, ExifFormat format,
                           unsigned components) {
    ExifEntry* e = exif_entry_new();
    e->tag = tag;
    e->format = format;
    e->components = components;
    e->size = exif_format_get_size(format) * components;
    e->data = static_cast<unsigned char*>(std::calloc(1, e->size));
    exif_content_add_entry(data->ifd[ifd], e);
    exif_entry_unref(e);
    return e;
}

// An EXIF APP1 payload ("Exif\0\0" + TIFF data) with an orientation tag (none for 0)
// and, when `dated`, a date taken, a location and a thumbnail.
inline std::vector<std::uint8_t> makeExif(int orientation, bool dated = false) {
    ExifData* data = exif_data_new();
    exif_data_unset_option(data, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_set_byte_order(data, EXIF_BYTE_ORDER_INTEL);
    if (orientation)
        exif_set_short(addEntry(data, EXIF_IFD_0, EXIF_TAG_ORIENTATION, EXIF_FORMAT_SHORT, 1)->data,
                       EXIF_BYTE_ORDER_INTEL, ExifShort(orientation));
    if (dated) {
        std::memcpy(
            addEntry(data, EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL, EXIF_FORMAT_ASCII, 20)->data,
            kTakenAt, 20);
        std::memcpy(
            addEntry(data, EXIF_IFD_GPS, ExifTag(EXIF_TAG_GPS_LATITUDE_REF), EXIF_FORMAT_ASCII, 2)
                ->data,
            "N", 2);
        const std::vector<std::uint8_t> thumb = EncodeJpeg(Raster(16, 16), 50);
        data->data = static_cast<unsigned char*>(std::malloc(thumb.size()));
        std::memcpy(data->data, thumb.data(), thumb.size());
        data->size = unsigned(thumb.size());
    }
    unsigned char* bytes = nullptr;
    unsigned size = 0;
    exif_data_save_data(data, &bytes, &size);
    std::vector<std::uint8_t> out(bytes, bytes + size);
    std::free(bytes);
    exif_data_unref(data);
    return out;
}

inline bool holds(const std::vector<std::uint8_t>& bytes, std::string_view text) {
    return std::search(bytes.begin(), bytes.end(), text.begin(), text.end()) != bytes.end();
}

// What an EXIF payload holds besides its tags.
struct ExifFound {
    bool location = false;  // a GPS directory with entries
    bool thumbnail = false; // an embedded thumbnail
};
inline ExifFound exifFound(const std::vector<std::uint8_t>& exif) {
    ExifData* data = exif_data_new_from_data(exif.data(), unsigned(exif.size()));
    const ExifFound found{data->ifd[EXIF_IFD_GPS]->count > 0, data->data != nullptr};
    exif_data_unref(data);
    return found;
}

// A JPEG with its ICC profile in APP2 chunks of at most `chunk` bytes, after SOI.
inline std::vector<std::uint8_t> withIcc(const std::vector<std::uint8_t>& jpeg,
                                         const std::vector<std::uint8_t>& icc,
                                         std::size_t chunk = 60000) {
    std::vector<std::uint8_t> out(jpeg.begin(), jpeg.begin() + 2);
    const std::size_t count = (icc.size() + chunk - 1) / chunk;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t n = std::min(chunk, icc.size() - i * chunk);
        const std::size_t length = 2 + 12 + 2 + n;
        out.insert(out.end(), {0xFF, 0xE2, std::uint8_t(length >> 8), std::uint8_t(length)});
        const char id[] = "ICC_PROFILE";
        out.insert(out.end(), id, id + 12);
        out.insert(out.end(), {std::uint8_t(i + 1), std::uint8_t(count)});
        out.insert(out.end(), icc.begin() + std::ptrdiff_t(i * chunk),
                   icc.begin() + std::ptrdiff_t(i * chunk + n));
    }
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

inline std::vector<std::uint8_t> savedProfile(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<std::uint8_t> bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

// Adobe RGB (1998): its primaries, D65 white and a gamma of 563/256.
inline std::vector<std::uint8_t> adobeRgbProfile() {
    const cmsCIExyY white = {0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 563.0 / 256.0);
    cmsToneCurve* curves[3] = {gamma, gamma, gamma};
    cmsHPROFILE p = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    return savedProfile(p);
}

// A printer-like CMYK profile: ink to Lab through a 9-point table of a plain ink model
// (each ink takes away its complementary light), so lcms2 has a real lookup to follow.
inline std::vector<std::uint8_t> cmykProfile() {
    cmsHPROFILE p = cmsCreateProfilePlaceholder(nullptr);
    cmsSetProfileVersion(p, 2.1);
    cmsSetDeviceClass(p, cmsSigOutputClass);
    cmsSetColorSpace(p, cmsSigCmykData);
    cmsSetPCS(p, cmsSigLabData);
    cmsPipeline* toLab = cmsPipelineAlloc(nullptr, 4, 3);
    cmsStage* table = cmsStageAllocCLut16bit(nullptr, 9, 4, 3, nullptr);
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
    cmsHTRANSFORM rgbToLab =
        cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_PERCEPTUAL, 0);
    cmsStageSampleCLut16bit(
        table,
        [](const cmsUInt16Number in[], cmsUInt16Number out[], void* c) -> cmsInt32Number {
            const double k = 1.0 - in[3] / 65535.0;
            const double rgb[3] = {(1.0 - in[0] / 65535.0) * k, (1.0 - in[1] / 65535.0) * k,
                                   (1.0 - in[2] / 65535.0) * k};
            cmsCIELab lab;
            cmsDoTransform(c, rgb, &lab, 1); // the sRGB to Lab transform
            cmsFloat2LabEncoded(out, &lab);
            return 1;
        },
        rgbToLab, 0);
    cmsPipelineInsertStage(toLab, cmsAT_END, table);
    cmsWriteTag(p, cmsSigAToB0Tag, toLab);
    cmsPipelineFree(toLab);
    cmsDeleteTransform(rgbToLab);
    cmsCloseProfile(srgb);
    cmsCloseProfile(lab);
    return savedProfile(p);
}

// A flat w x h CMYK JPEG as image editors write one: YCCK with Adobe's marker, the ink
// inverted (0 = full ink).
inline std::vector<std::uint8_t> flatCmykJpeg(int w, int h, const std::uint8_t ink[4]) {
    std::vector<std::uint8_t> samples(std::size_t(w) * h * 4);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::uint8_t(255 - ink[i % 4]);
    tjhandle handle = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, samples.data(), w, 0, h, TJPF_CMYK, &out, &size, TJSAMP_444, 95, 0);
    std::vector<std::uint8_t> jpeg(out, out + size);
    tjFree(out);
    tjDestroy(handle);
    return jpeg;
}

// The one pixel colour lcms2 gives for `bgr` through `from` (RGB or CMYK) to sRGB.
inline void lcmsToSrgb(const std::vector<std::uint8_t>& icc, const std::uint8_t* in, bool cmyk,
                       std::uint8_t bgr[3]) {
    cmsHPROFILE from = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM t = cmsCreateTransform(from, cmyk ? TYPE_CMYK_8 : TYPE_BGR_8, srgb, TYPE_BGR_8,
                                         INTENT_PERCEPTUAL, 0);
    cmsDoTransform(t, in, bgr, 1);
    cmsDeleteTransform(t);
    cmsCloseProfile(srgb);
    cmsCloseProfile(from);
}

} // namespace pictorant::testing
