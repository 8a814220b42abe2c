#include "imaging/JpegCodec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <jerror.h>
#include <jpeglib.h>

#include "imaging/Picture.h"
#include "imaging/PictureError.h"

namespace pictorant {
namespace {

// libjpeg reports fatal errors through error_exit, which must not return; we leave
// through longjmp and turn the message code into an exception outside libjpeg's frames.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    JpegWarnings warnings;
};

[[noreturn]] void errorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void silentOutput(j_common_ptr) {}

// Level -1 is a warning; the others are trace messages, never shown.
void noteMessage(j_common_ptr cinfo, int level) {
    if (level >= 0)
        return;
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    err->warnings.note(err->pub.msg_code);
    ++err->pub.num_warnings;
}

void initErrors(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.output_message = silentOutput;
    err.pub.emit_message = noteMessage;
}

[[noreturn]] void throwJpegError(int code) {
    throw PictureError("JPEG error #" + std::to_string(code));
}

// Progressive files can hold any number of scans; a hostile one with thousands of tiny
// scans would take minutes. Real files have a dozen or so.
constexpr int kMaxScans = 1000;

void progressCheck(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor)
        return;
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans)
        ERREXIT(cinfo, JERR_NOT_COMPILED); // any fatal code; the file is refused
}

std::uint8_t mulDiv255(unsigned a, unsigned b) {
    return std::uint8_t((a * b + 127) / 255);
}

} // namespace

void JpegWarnings::note(int code) {
    // The first warning tells what happened; what follows it is its consequence (data
    // cut short is read on as markers and bad codes).
    if (endsEarly_ || damaged_)
        return;
    switch (code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER: // the entropy data stops at a marker before the picture does
        endsEarly_ = true;
        break;
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_TOO_MUCH_DATA:
        damaged_ = true;
        break;
    default:
        break;
    }
}

std::string JpegWarnings::text() const {
    if (endsEarly_)
        return kJpegEndsEarly;
    return damaged_ ? kJpegDamaged : "";
}

// CMYK to blue, green, red. Adobe writes the ink values inverted (0 = full ink).
void CmykRowToBgr(const std::uint8_t* in, std::uint8_t* out, int width, bool inverted) {
    for (int x = 0; x < width; ++x) {
        unsigned c = in[4 * x], m = in[4 * x + 1], y = in[4 * x + 2], k = in[4 * x + 3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        out[3 * x] = mulDiv255(y, k);
        out[3 * x + 1] = mulDiv255(m, k);
        out[3 * x + 2] = mulDiv255(c, k);
    }
}

JpegInfo ReadJpegInfo(std::span<const std::uint8_t> data) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    initErrors(err);
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        int code = err.pub.msg_code;
        jpeg_destroy_decompress(&cinfo);
        throwJpegError(code);
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    JpegInfo info{int(cinfo.image_width), int(cinfo.image_height), cinfo.num_components,
                  bool(cinfo.progressive_mode)};
    jpeg_destroy_decompress(&cinfo);
    return info;
}

std::string DecodeJpeg(std::span<const std::uint8_t> data, PixelFormat format, Raster& out) {
    jpeg_decompress_struct cinfo;
    jpeg_progress_mgr progress;
    ErrorManager err;
    initErrors(err);
    cinfo.err = &err.pub;
    // The CMYK scratch row lives outside the setjmp region so nothing needs unwinding.
    // Both are set after setjmp and read after a longjmp, so they must be volatile.
    std::uint8_t* volatile scratch = nullptr;
    volatile bool tooLarge = false;
    if (setjmp(err.jump)) {
        int code = err.pub.msg_code;
        std::free(scratch);
        jpeg_destroy_decompress(&cinfo);
        if (tooLarge)
            code = JERR_OUT_OF_MEMORY;
        throwJpegError(code);
    }
    jpeg_create_decompress(&cinfo);
    progress.progress_monitor = progressCheck;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (std::int64_t(cinfo.image_width) * cinfo.image_height > MaxPicturePixels()) {
        tooLarge = true;
        ERREXIT1(&cinfo, JERR_OUT_OF_MEMORY, 0);
    }

    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    cinfo.do_block_smoothing = TRUE;
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    const bool grey = cinfo.out_color_space == JCS_GRAYSCALE;
    bool quantise = grey || (format == PixelFormat::Indexed8 && !cmyk);
    if (cmyk)
        cinfo.out_color_space = JCS_CMYK;
    else if (!grey)
        cinfo.out_color_space = quantise ? JCS_RGB : JCS_EXT_BGR;
    if (quantise) {
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = 236;
    }
    jpeg_start_decompress(&cinfo);

    const int width = int(cinfo.output_width), height = int(cinfo.output_height);
    out.reset(width, height, quantise ? PixelFormat::Indexed8 : PixelFormat::Bgr24);
    if (quantise) {
        auto& palette = out.palette();
        palette.assign(std::size_t(cinfo.actual_number_of_colors), PaletteColor{});
        for (int i = 0; i < cinfo.actual_number_of_colors; ++i) {
            if (cinfo.out_color_components == 1) {
                std::uint8_t g = cinfo.colormap[0][i];
                palette[std::size_t(i)] = {g, g, g};
            } else {
                palette[std::size_t(i)] = {cinfo.colormap[0][i], cinfo.colormap[1][i],
                                           cinfo.colormap[2][i]};
            }
        }
    } else {
        out.palette().clear();
    }
    if (cmyk) {
        scratch = static_cast<std::uint8_t*>(std::malloc(std::size_t(width) * 4));
        if (!scratch)
            ERREXIT1(&cinfo, JERR_OUT_OF_MEMORY, 1);
    }
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        int y = int(cinfo.output_scanline);
        JSAMPROW row = cmyk ? scratch : out.scanLine(y);
        jpeg_read_scanlines(&cinfo, &row, 1);
        if (cmyk)
            CmykRowToBgr(scratch, out.scanLine(y), width, inverted);
    }
    jpeg_finish_decompress(&cinfo);
    std::free(scratch);
    scratch = nullptr;
    jpeg_destroy_decompress(&cinfo);
    return err.warnings.text();
}

bool DecodeJpegInk(std::span<const std::uint8_t> data, JpegInk& out) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    initErrors(err);
    cinfo.err = &err.pub;
    volatile bool tooLarge = false;
    if (setjmp(err.jump)) {
        const int code = tooLarge ? int(JERR_OUT_OF_MEMORY) : err.pub.msg_code;
        jpeg_destroy_decompress(&cinfo);
        throwJpegError(code);
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.jpeg_color_space != JCS_CMYK && cinfo.jpeg_color_space != JCS_YCCK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (std::int64_t(cinfo.image_width) * cinfo.image_height > MaxPicturePixels()) {
        tooLarge = true;
        ERREXIT1(&cinfo, JERR_OUT_OF_MEMORY, 0);
    }
    cinfo.do_block_smoothing = TRUE;
    cinfo.out_color_space = JCS_CMYK;
    jpeg_start_decompress(&cinfo);
    out.width = int(cinfo.output_width);
    out.height = int(cinfo.output_height);
    out.inverted = cinfo.saw_Adobe_marker;
    out.samples.assign(std::size_t(out.width) * std::size_t(out.height) * 4, 0);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.samples.data() + std::size_t(cinfo.output_scanline) * out.width * 4;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

namespace {

std::vector<std::uint8_t> encodeBgr(const Raster* sourceArg, int quality) {
    const Raster* volatile source = sourceArg;
    jpeg_compress_struct cinfo;
    ErrorManager err;
    initErrors(err);
    cinfo.err = &err.pub;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(err.jump)) {
        int code = err.pub.msg_code;
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        throwJpegError(code);
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(source->width());
    cinfo.image_height = JDIMENSION(source->height());
    cinfo.input_components = 3;
    // Same samples as RGB input: the colour converter only reorders its reads.
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(source->scanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<std::uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return bytes;
}

} // namespace

std::vector<std::uint8_t> EncodeJpeg(const Raster& raster, int quality) {
    if (raster.format() == PixelFormat::Bgr24)
        return encodeBgr(&raster, quality);
    // An indexed raster is expanded to 24 bits first; the encoder only sees colours.
    Raster expanded;
    RenderToBitmap(raster, expanded);
    return encodeBgr(&expanded, quality);
}

} // namespace pictorant
