#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "imaging/Picture.h"
#include "imaging/Raster.h"

namespace pictorant {

// The two filters of the thumbnail run.
enum class RowFilter { Nearest, Bilinear };

// Decodes only the given rows (ascending, each once) of a 24-bit JPEG at 1/1 with block
// smoothing: the rows in between are entropy-decoded and skipped, never converted. Row i
// of `rows` lands in out's scan line i (out becomes width x rows.size()). Returns false,
// leaving out in no particular state, whenever the rows might differ by a bit from those
// of DecodeJpeg: a greyscale, CMYK or arithmetic-coded file, a picture above the size
// limit, a fatal error, or any libjpeg warning (corrupt data). Never throws.
bool DecodeJpegRows(std::span<const std::uint8_t> data, const std::vector<int>& rows, Raster& out);

// The thumbnail of a Jpeg picture from the rows that `filter` reads, into workBitmap:
// the same bytes as ResampleQuality (Bilinear) or ResampleFast (Nearest) after a full
// decode. Returns false, touching nothing observable, when the full decode is needed:
// another kind, the 8-bit decode mode, a target side of 0, a source side of 1, or a
// file DecodeJpegRows refuses. Never throws.
bool ResampleJpegRows(const Picture& picture, RowFilter filter, int W, int H, Raster& workBitmap);

// The source rows, ascending and each once, that `filter` reads to make a W x H target
// of a sw x sh source (the columns it reads are RowsReadBy(filter, sh, sw, H, W)).
std::vector<int> RowsReadBy(RowFilter filter, int sw, int sh, int W, int H);

// The rows of DecodeJpeg's Bgr24 decode, made one at a time and given out in order, so a
// filter can read a whole picture while only two of its rows are held. Every row is
// decoded (none skipped), so the rows are those of the full decode, damaged data
// included. Greyscale files are quantised over the whole picture and cannot be
// streamed.
class JpegRowStream {
public:
    explicit JpegRowStream(std::span<const std::uint8_t> data);
    // Other decodes of the same rows: at 1/scaleDenom (2, 4 or 8) in the DCT domain; with
    // greyAsColour a greyscale file streams too, its grey levels as they are; block
    // smoothing off for data whose missing scans are known not to be read.
    struct Options {
        int scaleDenom = 1;
        bool greyAsColour = false;
        bool blockSmoothing = true;
    };
    JpegRowStream(std::span<const std::uint8_t> data, const Options& options);
    ~JpegRowStream();
    JpegRowStream(const JpegRowStream&) = delete;
    JpegRowStream& operator=(const JpegRowStream&) = delete;

    // Reads the header and starts the decode. False for a file that cannot be streamed
    // (greyscale, unless greyAsColour); throws PictureError "JPEG error #%d" as DecodeJpeg does.
    bool start();
    int width() const;
    int height() const;
    // Row y, y never below the row asked for before it. The row stays valid until two
    // further rows have been asked for. After a fatal error the rows are blank.
    const std::uint8_t* row(int y);
    // Decodes what is left and ends the decode. Throws PictureError for a fatal error
    // met at any point; else returns DecodeJpeg's warning text.
    std::string finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace pictorant
