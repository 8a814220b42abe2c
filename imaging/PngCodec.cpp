#include <csetjmp>
#include <cstring>
#include <string>

#include <png.h>

#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "imaging/RasterFormats.h"

namespace pictorant {
namespace {

// libpng reports through these; the message is kept for the PictureError thrown once
// libpng's frames are left, and warnings are dropped.
struct PngJob {
    std::span<const std::uint8_t> in;
    std::size_t at = 0;
    std::vector<std::uint8_t>* out = nullptr;
    std::string message;
    std::int64_t width = 0, height = 0; // set when the picture is above the size cap
    std::jmp_buf jump;
};

[[noreturn]] void pngError(png_structp png, png_const_charp message) {
    auto* job = static_cast<PngJob*>(png_get_error_ptr(png));
    job->message = message ? message : "unknown error";
    std::longjmp(job->jump, 1);
}

void pngWarning(png_structp, png_const_charp) {}

void readBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    if (length > job->in.size() - job->at)
        png_error(png, "data ends early");
    std::memcpy(data, job->in.data() + job->at, length);
    job->at += length;
}

void writeBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* job = static_cast<PngJob*>(png_get_io_ptr(png));
    job->out->insert(job->out->end(), data, data + length);
}

void flushNothing(png_structp) {}

// Everything libpng does for one decode, with nothing in this frame that a longjmp
// would skip: the picture goes into `out`, the RGBA rows through `rows`.
bool decodeInto(PngJob& job, Raster& out, std::vector<std::uint8_t>& rows) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, pngError, pngWarning);
    if (!png) {
        job.message = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (setjmp(job.jump)) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    if (!info)
        png_error(png, "out of memory");
    png_set_read_fn(png, &job, readBytes);
    // The picture cap is ours; libpng's own limit would refuse earlier with another text.
    png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (std::int64_t(width) * height > MaxPicturePixels()) {
        job.width = width;
        job.height = height;
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_expand(png);   // palette to RGB, grey below 8 bits to 8, tRNS to alpha
    png_set_scale_16(png); // 16 bits to 8, rounded
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xff, PNG_FILLER_AFTER); // alpha of an opaque picture
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = std::size_t(width) * 4;
    // An interlaced picture's passes fill the same rows, so all of them are kept.
    const std::size_t keptRows = passes > 1 ? height : 1;
    rows.assign(rowBytes * keptRows, 0);
    out.reset(int(width), int(height), PixelFormat::Bgr24);
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y) {
            png_bytep row = rows.data() + (passes > 1 ? y * rowBytes : 0);
            png_read_row(png, row, nullptr);
            if (pass == passes - 1)
                RgbaRowOnWhite(row, out.scanLine(int(y)), int(width));
        }
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool encodeInto(PngJob& job, const Raster& raster) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job, pngError, pngWarning);
    if (!png) {
        job.message = "out of memory";
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (setjmp(job.jump)) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    if (!info)
        png_error(png, "out of memory");
    png_set_write_fn(png, &job, writeBytes, flushNothing);
    png_set_IHDR(png, info, png_uint_32(raster.width()), png_uint_32(raster.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    for (int y = 0; y < raster.height(); ++y)
        png_write_row(png, raster.scanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

Raster DecodePng(std::span<const std::uint8_t> data) {
    PngJob job;
    job.in = data;
    Raster out;
    std::vector<std::uint8_t> rows;
    if (!decodeInto(job, out, rows)) {
        CheckPictureSize(job.width, job.height);
        throw PictureError("PNG error: " + job.message);
    }
    return out;
}

std::vector<std::uint8_t> EncodePng(const Raster& source) {
    if (source.isEmpty())
        throw PictureError("Cannot write an empty picture as PNG");
    Raster bgr;
    if (source.format() != PixelFormat::Bgr24)
        RenderToBitmap(source, bgr);
    const Raster& raster = source.format() == PixelFormat::Bgr24 ? source : bgr;
    std::vector<std::uint8_t> bytes;
    PngJob job;
    job.out = &bytes;
    if (!encodeInto(job, raster))
        throw PictureError("PNG error: " + job.message);
    return bytes;
}

void PeekPngSize(std::span<const std::uint8_t> b, int& width, int& height) {
    width = height = 0;
    static const std::uint8_t signature[] = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
    if (b.size() < 24 || std::memcmp(b.data(), signature, 8) != 0 ||
        std::memcmp(b.data() + 12, "IHDR", 4) != 0)
        return;
    const auto u32 = [&](std::size_t at) {
        return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 |
               std::uint32_t(b[at + 2]) << 8 | b[at + 3];
    };
    if (u32(16) < 0x80000000u && u32(20) < 0x80000000u) {
        width = int(u32(16));
        height = int(u32(20));
    }
}

} // namespace pictorant
