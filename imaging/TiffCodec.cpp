#include <cstring>
#include <memory>
#include <string>

#include <tiffio.h>

#include "imaging/JpegCodec.h"
#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "imaging/RasterFormats.h"

namespace pictorant {
namespace {

// The file in memory, read through libtiff's client procedures, and the first error
// libtiff reported for it.
struct TiffSource {
    std::span<const std::uint8_t> data;
    toff_t at = 0;
    std::string error;
};

tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t size) {
    auto* s = static_cast<TiffSource*>(handle);
    if (size < 0 || s->at >= s->data.size())
        return 0;
    const tmsize_t n = std::min<tmsize_t>(size, tmsize_t(s->data.size() - s->at));
    std::memcpy(buffer, s->data.data() + s->at, std::size_t(n));
    s->at += toff_t(n);
    return n;
}

tmsize_t writeProc(thandle_t, void*, tmsize_t) {
    return 0;
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence) {
    auto* s = static_cast<TiffSource*>(handle);
    const toff_t base = whence == SEEK_CUR ? s->at : whence == SEEK_END ? s->data.size() : 0;
    s->at = base + offset;
    return s->at;
}

int closeProc(thandle_t) {
    return 0;
}

toff_t sizeProc(thandle_t handle) {
    return static_cast<TiffSource*>(handle)->data.size();
}

int noteError(TIFF*, void* user, const char*, const char* format, va_list args) {
    auto* s = static_cast<TiffSource*>(user);
    if (s->error.empty()) {
        char text[256];
        std::vsnprintf(text, sizeof text, format, args);
        s->error = text;
    }
    return 1;
}

int dropWarning(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};

[[noreturn]] void tiffFailed(const TiffSource& source) {
    throw PictureError("TIFF picture is not valid" +
                       (source.error.empty() ? std::string() : " (" + source.error + ")"));
}

// Plain 8-bit CMYK in strips, turned to RGB as a CMYK JPEG is.
bool readCmyk(TIFF* tif, Raster& out) {
    std::uint16_t photometric = 0, samples = 0, bits = 0, planar = PLANARCONFIG_CONTIG,
                  inkSet = INKSET_CMYK;
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tif, TIFFTAG_INKSET, &inkSet);
    if (photometric != PHOTOMETRIC_SEPARATED || samples != 4 || bits != 8 ||
        planar != PLANARCONFIG_CONTIG || inkSet != INKSET_CMYK || TIFFIsTiled(tif))
        return false;
    std::vector<std::uint8_t> row(std::size_t(TIFFScanlineSize(tif)));
    if (row.size() < std::size_t(out.width()) * 4)
        return false;
    for (int y = 0; y < out.height(); ++y) {
        if (TIFFReadScanline(tif, row.data(), std::uint32_t(y), 0) < 0)
            return false;
        CmykRowToBgr(row.data(), out.scanLine(y), out.width(), false);
    }
    return true;
}

} // namespace

Raster DecodeTiff(std::span<const std::uint8_t> data) {
    // The few messages libtiff still sends to its process-wide handlers would reach the
    // terminal; they go nowhere (the per-file handlers below keep the error text).
    static const bool quiet = [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
        return true;
    }();
    (void)quiet;
    TiffSource source;
    source.data = data;
    const std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(
        TIFFOpenOptionsAlloc(), TIFFOpenOptionsFree);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), noteError, &source);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), dropWarning, nullptr);
    // One allocation of libtiff's is held to what the program's largest picture takes.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(MaxPicturePixels()) * 4 + 65536);
    const std::unique_ptr<TIFF, TiffCloser> tif(
        TIFFClientOpenExt("picture", "rm", &source, readProc, writeProc, seekProc, closeProc,
                          sizeProc, nullptr, nullptr, options.get()));
    if (!tif)
        tiffFailed(source);
    std::uint32_t width = 0, height = 0;
    TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
    if (width == 0 || height == 0 || width > 0x7fffffff || height > 0x7fffffff)
        tiffFailed(source);
    CheckPictureSize(width, height);
    Raster out(int(width), int(height), PixelFormat::Bgr24);
    if (readCmyk(tif.get(), out))
        return out;
    source.error.clear();
    // libtiff's RGBA reader expands palette, grey and 16-bit samples, and premultiplies
    // the alpha, so a pixel on white is its colour plus the missing coverage.
    std::vector<std::uint32_t> rgba(std::size_t(width) * height);
    if (!TIFFReadRGBAImageOriented(tif.get(), width, height, rgba.data(), ORIENTATION_TOPLEFT, 1))
        tiffFailed(source);
    for (std::uint32_t y = 0; y < height; ++y) {
        const std::uint32_t* in = rgba.data() + std::size_t(y) * width;
        std::uint8_t* dst = out.scanLine(int(y));
        for (std::uint32_t x = 0; x < width; ++x, dst += 3) {
            const unsigned missing = 255 - TIFFGetA(in[x]);
            dst[0] = std::uint8_t(std::min(255u, TIFFGetB(in[x]) + missing));
            dst[1] = std::uint8_t(std::min(255u, TIFFGetG(in[x]) + missing));
            dst[2] = std::uint8_t(std::min(255u, TIFFGetR(in[x]) + missing));
        }
    }
    return out;
}

} // namespace pictorant
