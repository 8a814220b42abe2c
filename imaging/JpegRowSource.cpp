#include "JpegRowSource.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "JpegCodec.h"
#include "Resample.h"

namespace pictorant {
namespace {

struct RowErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void rowErrorExit(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<RowErrorManager*>(cinfo->err)->jump, 1);
}

void quiet(j_common_ptr) {}

// Same cap as the full decode's: a hostile progressive file gets no further here.
constexpr int kMaxScans = 1000;

void scanLimit(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    // A warning already sends this file to the full decode, so stop at once: skipping
    // through some damaged progressive files does not come back (found by the fuzz
    // regression, afl-turbo-full/003569).
    if (d->input_scan_number > kMaxScans || cinfo->err->num_warnings > 0)
        rowErrorExit(cinfo);
}

// All libjpeg work of one decode, with nothing in this frame that needs unwinding after
// a longjmp: the rows go into `out`, sized before the first read.
bool decodeRows(const std::uint8_t* data, std::size_t size, const int* rows, int rowCount,
                Raster* out, std::uint8_t* scratch, std::size_t scratchSize) {
    jpeg_decompress_struct cinfo;
    jpeg_progress_mgr progress;
    RowErrorManager err;
    jpeg_std_error(&err.pub);
    err.pub.error_exit = rowErrorExit;
    err.pub.output_message = quiet;
    cinfo.err = &err.pub;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    progress.progress_monitor = scanLimit;
    cinfo.progress = &progress;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (err.pub.num_warnings > 0) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const bool plainColour =
        cinfo.num_components == 3 &&
        (cinfo.jpeg_color_space == JCS_YCbCr || cinfo.jpeg_color_space == JCS_RGB) &&
        !cinfo.arith_code;
    if (!plainColour || std::int64_t(cinfo.image_width) * cinfo.image_height > MaxPicturePixels() ||
        std::size_t(cinfo.image_width) * 3 > scratchSize ||
        int(cinfo.image_width) != out->width()) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // Exactly the settings of the full decode.
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    cinfo.do_block_smoothing = TRUE;
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    const JDIMENSION height = cinfo.output_height;
    for (int i = 0; i < rowCount; ++i) {
        const JDIMENSION row = JDIMENSION(rows[i]);
        if (row >= height || row < cinfo.output_scanline)
            rowErrorExit(reinterpret_cast<j_common_ptr>(&cinfo));
        if (row > cinfo.output_scanline)
            jpeg_skip_scanlines(&cinfo, row - cinfo.output_scanline);
        JSAMPROW target = out->scanLine(i);
        jpeg_read_scanlines(&cinfo, &target, 1);
    }
    // Go through the rest of the data as the full decode does, so that damage after the
    // last row read is met here too. Skipping to the very end would stop reading, so the
    // last row is decoded into scratch.
    if (cinfo.output_scanline < height) {
        if (cinfo.output_scanline + 1 < height)
            jpeg_skip_scanlines(&cinfo, height - 1 - cinfo.output_scanline);
        JSAMPROW target = scratch;
        jpeg_read_scanlines(&cinfo, &target, 1);
    }
    jpeg_finish_decompress(&cinfo);
    const bool clean = err.pub.num_warnings == 0;
    jpeg_destroy_decompress(&cinfo);
    return clean;
}

// Runs the filter once over a blank source, noting the rows it asks for: they are the
// rows to decode, found by the filter's own arithmetic.
std::vector<int> rowsRead(RowFilter filter, int sw, int sh, int W, int H) {
    std::vector<int> rows;
    const std::vector<std::uint8_t> blank(std::size_t(sw) * 3);
    const SourceRows note = [&](int y) {
        if (rows.empty() || rows.back() != y)
            rows.push_back(y);
        return blank.data();
    };
    Raster scratch;
    if (filter == RowFilter::Bilinear)
        BilinearFilter(sw, sh, note, W, H, scratch);
    else
        NearestFilter(sw, sh, note, W, H, scratch);
    // Ascending by the filters' promise; the bilinear filter's pairs overlap.
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace

bool DecodeJpegRows(std::span<const std::uint8_t> data, const std::vector<int>& rows, Raster& out) {
    if (data.empty())
        return false;
    JpegInfo info;
    try {
        info = ReadJpegInfo(data);
    } catch (...) {
        return false;
    }
    if (info.width <= 0 || info.height <= 0 ||
        std::int64_t(info.width) * info.height > MaxPicturePixels())
        return false;
    out.reset(info.width, int(rows.size()), PixelFormat::Bgr24);
    std::vector<std::uint8_t> scratch(std::size_t(info.width) * 3);
    return decodeRows(data.data(), data.size(), rows.data(), int(rows.size()), &out, scratch.data(),
                      scratch.size());
}

bool ResampleJpegRows(const Picture& picture, RowFilter filter, int W, int H, Raster& workBitmap) {
    if (picture.kind() != PictureKind::Jpeg || picture.jpegData().empty() ||
        picture.jpegDecodeFormat() != PixelFormat::Bgr24)
        return false;
    const int sw = picture.width(), sh = picture.height();
    // Empty targets write nothing, and a one-pixel side is a small picture: the full
    // decode serves them.
    if (W <= 0 || H <= 0 || sw < 2 || sh < 2)
        return false;
    const std::vector<int> rows = rowsRead(filter, sw, sh, W, H);
    // Where the filter reads most rows anyway (enlarging, small sources) the full decode
    // costs no more.
    if (rows.size() * 2 > std::size_t(sh))
        return false;
    Raster band;
    if (!DecodeJpegRows(picture.jpegData(), rows, band))
        return false;
    std::vector<int> slot(std::size_t(sh), 0);
    for (std::size_t i = 0; i < rows.size(); ++i)
        slot[std::size_t(rows[i])] = int(i);
    const SourceRows fromBand = [&](int y) { return band.scanLine(slot[std::size_t(y)]); };
    if (filter == RowFilter::Bilinear)
        BilinearFilter(sw, sh, fromBand, W, H, workBitmap);
    else
        NearestFilter(sw, sh, fromBand, W, H, workBitmap);
    return true;
}

} // namespace pictorant
