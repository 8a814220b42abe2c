#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/SafeFile.h"
#include "imaging/GifImage.h"
#include "imaging/Raster.h"
#include "imaging/metafile/Metafile.h"

namespace pictorant {

enum class PictureKind { Jpeg, Gif, Bitmap, Metafile, Png, Webp, Tiff, Heif };

// Kinds whose content is a 24-bit raster decoded when the file is read, as a Bitmap's
// (PNG, WebP, TIFF, HEIC/HEIF). Of them only PNG is written.
inline bool holdsRaster(PictureKind kind) {
    return kind == PictureKind::Bitmap || kind >= PictureKind::Png;
}

// The kind that a file name's extension selects ("jpg", "jpeg", "gif", "bmp", "emf",
// "wmf", "png", "webp", "tif", "tiff", "heic", "heif", compared without regard to
// case). Throws PictureError
// "Unknown picture file extension (.%s)" for any other extension.
PictureKind PictureKindForPath(const std::string& path);

// Textual name of a kind as the command-line tool prints it ("Jpeg", "Gif", ...).
const char* PictureKindName(PictureKind kind);

// A picture in memory. What it holds depends on its kind:
// - Jpeg: compressed data (decoded on first use), or a raster waiting to be encoded
//   at jpegQuality() when written;
// - Gif: the image list, drawn from its first frame;
// - Bitmap: a raster;
// - Metafile: a Metafile recording.
// A Picture is made once and may be refilled many times (the output objects).
class Picture {
public:
    explicit Picture(PictureKind kind = PictureKind::Bitmap);
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;
    Picture(Picture&&) noexcept;
    Picture& operator=(Picture&&) noexcept;
    ~Picture();

    PictureKind kind() const { return kind_; }
    // Natural size in pixels; 0 x 0 for a picture with no content.
    int width() const;
    int height() const;
    bool isEmpty() const;

    // JPEG settings. The quality (10..100 from the slider, 100 in the GIF path) is used
    // when the picture is encoded. The decode mode Indexed8 asks libjpeg for 236
    // quantised colours; Bgr24 is the normal mode.
    int jpegQuality() const { return jpegQuality_; }
    void setJpegQuality(int quality) { jpegQuality_ = quality; }
    PixelFormat jpegDecodeFormat() const { return jpegDecodeFormat_; }
    void setJpegDecodeFormat(PixelFormat format);

    // The JPEG file bytes as loaded or last encoded (empty when only a raster is held).
    const std::vector<std::uint8_t>& jpegData() const { return jpegData_; }

    // The decoded content for Jpeg (decoding on first use; Indexed8 for greyscale and
    // quantised decodes) and the raster of a Bitmap. Throws PictureError when a JPEG's
    // data cannot be decoded. Empty raster for other kinds.
    const Raster& raster() const;
    // raster() is at hand without a decode: a Bitmap, or a Jpeg decoded or pending.
    bool rasterHeld() const {
        return holdsRaster(kind_) || (kind_ == PictureKind::Jpeg && (jpegPending_ || rasterValid_));
    }

    // What the last decode of the JPEG data found wrong with it, in words for the user
    // ("data ends early; the rest is grey"); "" for clean data or no decode yet.
    const std::string& decodeWarning() const { return decodeWarning_; }
    // Set by the decoders that read the data without this object (row sources).
    void noteDecodeWarning(std::string text) const { decodeWarning_ = std::move(text); }

    // Moves the content out as a 24-bit raster of the natural size (as RenderToBitmap
    // draws it) without a second full-size copy where the content is a raster already;
    // the picture may be left empty. Throws PictureError as raster() does.
    void takeRaster(Raster& into);

    // Gif content; empty image for other kinds.
    const GifImage& gif() const { return gif_; }
    GifImage& gif() { return gif_; }

    // Metafile content (only meaningful for the Metafile kind).
    const Metafile& metafile() const { return *metafile_; }
    Metafile& metafile() { return *metafile_; }

    // Replaces the content (used by the loaders and StoreBitmap).
    void setJpegData(std::vector<std::uint8_t> data, int width, int height);
    void setJpegRaster(const Raster& raster);
    void setJpegRaster(Raster&& raster);
    void setBitmap(Raster raster);
    // The raster of one of the holdsRaster kinds.
    void setDecoded(PictureKind kind, Raster raster);
    void setGif(GifImage gif);
    void setMetafile(Metafile metafile);
    void clear();

    // The bytes of the file this picture is written as (see WritePicture). Encodes a
    // pending JPEG raster at jpegQuality(). Throws PictureError.
    std::vector<std::uint8_t> encode(bool asWmf = false) const;

private:
    void ensureDecoded() const;

    PictureKind kind_;
    int jpegQuality_ = 90;
    PixelFormat jpegDecodeFormat_ = PixelFormat::Bgr24;
    std::vector<std::uint8_t> jpegData_;
    int jpegWidth_ = 0, jpegHeight_ = 0;
    mutable Raster raster_;            // Bitmap content, or the JPEG's decoded/pending raster
    mutable bool rasterValid_ = false; // for Jpeg: raster_ matches the content
    mutable std::string decodeWarning_;
    bool jpegPending_ = false; // Jpeg holds a raster not yet encoded
    GifImage gif_;
    std::unique_ptr<Metafile> metafile_;
};

// Reads a picture file; the kind comes from the extension. Throws PictureError:
// "Unknown picture file extension (.%s)", "Cannot open file "%s". %s" (the reason is
// "Not a regular file" for a folder, FIFO or device, which are never opened for
// reading), or the kind's own message for invalid content.
Picture LoadPicture(const std::string& path);
// The same into an existing picture (whose kind is replaced), so a run can reuse it.
void LoadPicture(const std::string& path, Picture& into);
// Reads picture content from bytes of a known kind (the fuzz targets use this).
void LoadPictureFromBytes(PictureKind kind, std::vector<std::uint8_t> bytes, Picture& into);
// The bytes of a picture file, with LoadPicture's "Cannot open file" errors.
std::vector<std::uint8_t> ReadPictureFile(const std::string& path);

// The size a picture file's header claims, read without decoding anything; 0 x 0 where
// the header cannot be read (the loader then gives the reason). Never throws.
struct PictureHeader {
    int width = 0, height = 0;
    bool jpegProgressive = false;
};
PictureHeader PeekPictureHeader(PictureKind kind, std::span<const std::uint8_t> bytes);

// Makes the raster a 24-bit raster of the picture's natural size showing it at 1:1,
// on a white ground for Gif and Metafile.
void RenderToBitmap(const Picture& picture, Raster& raster);
// The same with a raster as the picture drawn: raster becomes a 24-bit copy of source.
void RenderToBitmap(const Raster& source, Raster& raster);

// Replaces the picture's content by the raster, by the picture's kind: Jpeg takes it at
// jpegQuality (callers set the quality first), Gif goes through the 236-colour path,
// Bitmap becomes a 24-bit copy, Metafile records it.
void StoreBitmap(Picture& picture, const Raster& raster);

// Puts a 24-bit raster into a Gif picture: JPEG at quality 100, quantised decode to at
// most 236 colours, the colour table optimised.
void StoreGif(GifImage& gif, const Raster& raster);
// The same, giving the raster's memory back as soon as it is encoded: the quantising
// decode then never runs beside a full-size 24-bit copy.
void StoreGif(GifImage& gif, Raster&& raster);

// Writes a picture to a file by its kind; a Metafile goes as WMF when its enhanced flag
// is clear or the path ends in ".wmf". The bytes go to a temporary file beside the
// target that then replaces whatever stands at the name (a link is replaced, never
// written through), so a failure leaves no partial file. Throws PictureError
// "Cannot create file "%s". %s" when the file cannot be made or put at its name, and
// "Cannot write file "%s". %s" when its bytes cannot be stored (a full disk). An empty
// picture (a side of 0) is refused by every encoder before any file is made.
void WritePicture(const Picture& picture, const std::string& path);
// The same for a document written again in place (rotation): a symbolic link is followed
// and the file it names is rewritten, keeping its owner, group and mode. A file without
// write bits, or one the user may not write, is refused (also for root) with
// "Cannot create file "%s". %s"; the file is then unchanged. A file that no longer
// exists is written anew.
void WritePictureReplacing(const Picture& picture, const std::string& path);

// Writes the bytes of an encoded picture as WritePicture does (NewFile) or as
// WritePictureReplacing does (Rewrite), with their errors.
void WritePictureFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                      WriteMode mode = WriteMode::NewFile);

// Writes a raster as a BMP file as WritePicture does, a row at a time (no encoded copy
// of the picture is held), with WritePicture's errors.
void WriteBmpFile(const Raster& raster, const std::string& path);

// The objects a window owns and every run reuses.
struct OutputObjects {
    Raster WorkBitmap;     // the thumbnail or converted raster
    Raster ResampleTarget; // target of the Quality filter
    Picture jpegOutput{PictureKind::Jpeg};
    Picture gifOutput{PictureKind::Gif};
    Picture metafileOutput{PictureKind::Metafile};
};

// Writes the raster as outputType ("JPG", "GIF", "BMP", "EMF", "WMF", "PNG") to path through
// the output objects; any other type writes nothing. jpegQuality is the slider's value.
// Writes as WritePicture does, with its errors.
void SavePicture(OutputObjects& outputs, const Raster& raster, std::string_view outputType,
                 const std::string& path, int jpegQuality);
// The same, the raster's memory given back as soon as the output no longer needs it
// (the raster is left empty).
void SavePicture(OutputObjects& outputs, Raster&& raster, std::string_view outputType,
                 const std::string& path, int jpegQuality);

// Largest picture (in pixels) the loaders accept; bigger ones fail as invalid instead of
// exhausting memory. The fuzz targets lower it.
std::int64_t MaxPicturePixels();
void SetMaxPicturePixels(std::int64_t pixels);
// Throws PictureError "Picture is too large (W x H pixels; the limit is N)" for a size
// above MaxPicturePixels().
void CheckPictureSize(std::int64_t width, std::int64_t height);

// Buffers of the output objects above keepBytes are given back, so a big picture's
// memory does not stay while the next file is loaded.
void ReleaseLargeBuffers(OutputObjects& outputs, std::size_t keepBytes);

} // namespace pictorant
