#include "imaging/ColourProfile.h"

#include <memory>
#include <vector>

#include <lcms2.h>

namespace pictorant {
namespace {

constexpr const char* kDamaged = "colour profile is damaged; colours kept as stored";
constexpr const char* kMismatch = "colour profile does not fit the picture; colours kept as stored";

struct ProfileCloser {
    void operator()(void* p) const { cmsCloseProfile(p); }
};
struct TransformDeleter {
    void operator()(void* t) const { cmsDeleteTransform(t); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;
using Transform = std::unique_ptr<void, TransformDeleter>;

Profile openProfile(std::span<const std::uint8_t> icc) {
    if (icc.empty())
        return nullptr;
    return Profile(cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size())));
}

Transform toSrgb(const Profile& from, cmsUInt32Number inFormat, cmsUInt32Number outFormat) {
    Profile srgb(cmsCreate_sRGBProfile());
    return Transform(
        cmsCreateTransform(from.get(), inFormat, srgb.get(), outFormat, INTENT_PERCEPTUAL, 0));
}

} // namespace

std::string ConvertToSrgb(Raster& raster, std::span<const std::uint8_t> icc) {
    const Profile profile = openProfile(icc);
    if (!profile)
        return kDamaged;
    const cmsColorSpaceSignature space = cmsGetColorSpace(profile.get());
    if (space == cmsSigGrayData) {
        // A grey picture decoded to 24 bits: every pixel's three samples are equal.
        const Transform t = toSrgb(profile, TYPE_GRAY_8, TYPE_BGR_8);
        if (!t)
            return kDamaged;
        std::uint8_t lut[256][3];
        for (int v = 0; v < 256; ++v) {
            const std::uint8_t grey = std::uint8_t(v);
            cmsDoTransform(t.get(), &grey, lut[v], 1);
        }
        for (int y = 0; y < raster.height(); ++y) {
            std::uint8_t* p = raster.scanLine(y);
            for (int x = 0; x < raster.width(); ++x, p += 3) {
                const std::uint8_t* c = lut[p[1]];
                p[0] = c[0];
                p[1] = c[1];
                p[2] = c[2];
            }
        }
        return "";
    }
    if (space != cmsSigRgbData)
        return kMismatch;
    const Transform t = toSrgb(profile, TYPE_BGR_8, TYPE_BGR_8);
    if (!t)
        return kDamaged;
    for (int y = 0; y < raster.height(); ++y)
        cmsDoTransform(t.get(), raster.scanLine(y), raster.scanLine(y),
                       cmsUInt32Number(raster.width()));
    return "";
}

std::string ConvertInkToSrgb(const JpegInk& ink, std::span<const std::uint8_t> icc, Raster& out) {
    const Profile profile = openProfile(icc);
    if (!profile)
        return kDamaged;
    if (cmsGetColorSpace(profile.get()) != cmsSigCmykData)
        return kMismatch;
    // Adobe's files hold the ink inverted; lcms2 reads them so with the reversed flavour.
    const Transform t = toSrgb(profile, ink.inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8, TYPE_BGR_8);
    if (!t)
        return kDamaged;
    out.reset(ink.width, ink.height, PixelFormat::Bgr24);
    for (int y = 0; y < ink.height; ++y)
        cmsDoTransform(t.get(), ink.samples.data() + std::size_t(y) * ink.width * 4,
                       out.scanLine(y), cmsUInt32Number(ink.width));
    return "";
}

} // namespace pictorant
