#include "imaging/JpegRowSource.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <jerror.h>
#include <jpeglib.h>

#include "imaging/JpegCodec.h"
#include "imaging/PictureError.h"
#include "imaging/Resample.h"

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

namespace pictorant {

struct JpegRowStream::State {
    struct Errors {
        jpeg_error_mgr pub;
        std::jmp_buf jump;
        JpegWarnings warnings;
    };

    std::span<const std::uint8_t> data;
    jpeg_decompress_struct cinfo{};
    jpeg_progress_mgr progress{};
    Errors err{};
    Options options;
    bool created = false;
    bool failed = false;
    int failCode = 0;
    bool cmyk = false, inverted = false;
    int width = 0, height = 0;
    int nextRow = 0; // the row libjpeg gives next
    std::vector<std::uint8_t> slots[2], cmykRow;
    int slotRow[2] = {-1, -1};
    int lastSlot = 0; // the slot given out last, kept while the other is refilled

    static void exitWithError(j_common_ptr cinfo) {
        std::longjmp(reinterpret_cast<Errors*>(cinfo->err)->jump, 1);
    }
    static void noteMessage(j_common_ptr cinfo, int level) {
        if (level >= 0)
            return;
        auto* err = reinterpret_cast<Errors*>(cinfo->err);
        err->warnings.note(err->pub.msg_code);
        ++err->pub.num_warnings;
    }
    static void scanLimit(j_common_ptr cinfo) {
        if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans)
            ERREXIT(cinfo, JERR_NOT_COMPILED);
    }

    ~State() {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }

    // Each function below that calls libjpeg sets the jump itself, so a fatal error
    // leaves only libjpeg's frames and this one.
    // 1: started; 0: not streamable; -1: failed.
    int begin() {
        if (setjmp(err.jump)) {
            failed = true;
            failCode = err.pub.msg_code;
            return -1;
        }
        jpeg_create_decompress(&cinfo);
        created = true;
        progress.progress_monitor = scanLimit;
        cinfo.progress = &progress;
        jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
        jpeg_read_header(&cinfo, TRUE);
        if (std::int64_t(cinfo.image_width) * cinfo.image_height > MaxPicturePixels())
            ERREXIT1(&cinfo, JERR_OUT_OF_MEMORY, 0);
        cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
        if (!cmyk && cinfo.out_color_space == JCS_GRAYSCALE && !options.greyAsColour)
            return 0;
        cinfo.scale_num = 1;
        cinfo.scale_denom = unsigned(options.scaleDenom);
        cinfo.do_block_smoothing = options.blockSmoothing;
        cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
        jpeg_start_decompress(&cinfo);
        inverted = cinfo.saw_Adobe_marker;
        return 1;
    }

    bool readInto(std::uint8_t* target) {
        if (setjmp(err.jump)) {
            failed = true;
            failCode = err.pub.msg_code;
            return false;
        }
        JSAMPROW row = cmyk ? cmykRow.data() : target;
        jpeg_read_scanlines(&cinfo, &row, 1);
        return true;
    }

    bool end() {
        if (setjmp(err.jump)) {
            failed = true;
            failCode = err.pub.msg_code;
            return false;
        }
        jpeg_finish_decompress(&cinfo);
        return true;
    }

    // Decodes the next row into a slot; a failed decode leaves it blank.
    void decodeNext(std::vector<std::uint8_t>& slot) {
        if (!failed && readInto(slot.data())) {
            if (cmyk)
                CmykRowToBgr(cmykRow.data(), slot.data(), width, inverted);
        } else {
            std::fill(slot.begin(), slot.end(), std::uint8_t(0));
        }
        ++nextRow;
    }
};

JpegRowStream::JpegRowStream(std::span<const std::uint8_t> data) : JpegRowStream(data, Options{}) {}

JpegRowStream::JpegRowStream(std::span<const std::uint8_t> data, const Options& options)
    : state_(std::make_unique<State>()) {
    state_->data = data;
    state_->options = options;
    jpeg_std_error(&state_->err.pub);
    state_->err.pub.error_exit = State::exitWithError;
    state_->err.pub.output_message = quiet;
    state_->err.pub.emit_message = State::noteMessage;
    state_->cinfo.err = &state_->err.pub;
}

JpegRowStream::~JpegRowStream() = default;

bool JpegRowStream::start() {
    State& s = *state_;
    const int begun = s.begin();
    if (begun < 0)
        throw PictureError("JPEG error #" + std::to_string(s.failCode));
    if (begun == 0)
        return false;
    s.width = int(s.cinfo.output_width);
    s.height = int(s.cinfo.output_height);
    for (auto& slot : s.slots)
        slot.assign(std::size_t(s.width) * 3, 0);
    if (s.cmyk)
        s.cmykRow.assign(std::size_t(s.width) * 4, 0);
    return true;
}

int JpegRowStream::width() const {
    return state_->width;
}

int JpegRowStream::height() const {
    return state_->height;
}

const std::uint8_t* JpegRowStream::row(int y) {
    State& s = *state_;
    for (int i = 0; i < 2; ++i) {
        if (s.slotRow[i] == y) {
            s.lastSlot = i;
            return s.slots[i].data();
        }
    }
    if (y < s.nextRow || y >= s.height)
        throw std::logic_error("JpegRowStream: rows out of order");
    // The slot given out last may still be read beside this one.
    const int slot = 1 - s.lastSlot;
    s.slotRow[slot] = -1;
    while (s.nextRow <= y)
        s.decodeNext(s.slots[slot]);
    s.slotRow[slot] = y;
    s.lastSlot = slot;
    return s.slots[slot].data();
}

std::string JpegRowStream::finish() {
    State& s = *state_;
    // The full decode reads every row and the end of the file; so does this, so the
    // same damage is met.
    const int slot = 1 - s.lastSlot;
    s.slotRow[slot] = -1;
    while (!s.failed && s.nextRow < s.height)
        s.decodeNext(s.slots[slot]);
    if (!s.failed)
        s.end();
    if (s.failed)
        throw PictureError("JPEG error #" + std::to_string(s.failCode));
    return s.err.warnings.text();
}

std::vector<int> RowsReadBy(RowFilter filter, int sw, int sh, int W, int H) {
    return rowsRead(filter, sw, sh, W, H);
}

} // namespace pictorant
