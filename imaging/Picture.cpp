#include "imaging/Picture.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "files/SafeFile.h"
#include "imaging/BmpCodec.h"
#include "imaging/GifCodec.h"
#include "imaging/JpegCodec.h"
#include "imaging/PictureError.h"
#include "imaging/RasterFormats.h"

namespace pictorant {
namespace {

std::atomic<std::int64_t> maxPixels{std::int64_t(1) << 28};

std::string extensionOf(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::size_t start = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || dot < start)
        return {};
    return path.substr(dot + 1);
}

std::string lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

[[noreturn]] void cannotOpen(const std::string& path, int error) {
    throw PictureError("Cannot open file \"" + path + "\". " + readErrorText(error));
}

// The program's own texts: "Cannot create file" while the file cannot come into being
// at its name, "Cannot write file" when its bytes could not be stored.
[[noreturn]] void cannotWrite(const std::string& path, const SafeWriteError& error) {
    const char* step = error.step() == SafeWriteError::Step::Write ? "Cannot write file \""
                                                                   : "Cannot create file \"";
    throw PictureError(step + path + "\". " + error.reason());
}

} // namespace

std::vector<std::uint8_t> ReadPictureFile(const std::string& path) {
    const ReadableFile file = openRegularFile(path);
    if (file.error != 0)
        cannotOpen(path, file.error);
    const int fd = file.fd;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(std::size_t(file.size));
    std::uint8_t buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            int error = errno;
            ::close(fd);
            cannotOpen(path, error);
        }
        if (n == 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    ::close(fd);
    return bytes;
}

namespace {

// A rewrite keeps the document's owner, group and mode and goes through its link; a file
// that is gone since it was loaded is simply written anew.
WriteMode replacingMode(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) != 0 && errno == ENOENT ? WriteMode::NewFile
                                                              : WriteMode::Rewrite;
}

bool writesAsWmf(const Picture& picture, const std::string& path) {
    return picture.kind() == PictureKind::Metafile &&
           (lower(extensionOf(path)) == "wmf" || !picture.metafile().enhanced());
}

} // namespace

void WritePictureFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
                      WriteMode mode) {
    try {
        SafeFileWriter writer(path, mode);
        writer.write(bytes.data(), bytes.size());
        writer.commit();
    } catch (const SafeWriteError& error) {
        cannotWrite(path, error);
    }
}

void WriteBmpFile(const Raster& raster, const std::string& path) {
    // Refused before any file is made, as the other encoders refuse an empty picture.
    if (raster.isEmpty())
        (void)EncodeBmp(raster);
    try {
        SafeFileWriter writer(path, WriteMode::NewFile);
        EncodeBmp(raster,
                  [&](const std::uint8_t* bytes, std::size_t size) { writer.write(bytes, size); });
        writer.commit();
    } catch (const SafeWriteError& error) {
        cannotWrite(path, error);
    }
}

std::int64_t MaxPicturePixels() {
    return maxPixels.load();
}
void SetMaxPicturePixels(std::int64_t pixels) {
    maxPixels.store(pixels);
}

void CheckPictureSize(std::int64_t width, std::int64_t height) {
    if (width * height > MaxPicturePixels())
        throw PictureError("Picture is too large (" + std::to_string(width) + " x " +
                           std::to_string(height) + " pixels; the limit is " +
                           std::to_string(MaxPicturePixels()) + ")");
}

PictureKind PictureKindForPath(const std::string& path) {
    const std::string ext = extensionOf(path);
    const std::string e = lower(ext);
    if (e == "jpg" || e == "jpeg")
        return PictureKind::Jpeg;
    if (e == "gif")
        return PictureKind::Gif;
    if (e == "bmp")
        return PictureKind::Bitmap;
    if (e == "emf" || e == "wmf")
        return PictureKind::Metafile;
    if (e == "png")
        return PictureKind::Png;
    if (e == "webp")
        return PictureKind::Webp;
    if (e == "tif" || e == "tiff")
        return PictureKind::Tiff;
    if (e == "heic" || e == "heif")
        return PictureKind::Heif;
    throw PictureError("Unknown picture file extension (." + ext + ")");
}

const char* PictureKindName(PictureKind kind) {
    switch (kind) {
    case PictureKind::Jpeg:
        return "Jpeg";
    case PictureKind::Gif:
        return "Gif";
    case PictureKind::Bitmap:
        return "Bitmap";
    case PictureKind::Metafile:
        return "Metafile";
    case PictureKind::Png:
        return "Png";
    case PictureKind::Webp:
        return "Webp";
    case PictureKind::Tiff:
        return "Tiff";
    case PictureKind::Heif:
        return "Heif";
    }
    return "";
}

Picture::Picture(PictureKind kind) : kind_(kind), metafile_(std::make_unique<Metafile>()) {}
Picture::Picture(Picture&&) noexcept = default;
Picture& Picture::operator=(Picture&&) noexcept = default;
Picture::~Picture() = default;

int Picture::width() const {
    switch (kind_) {
    case PictureKind::Jpeg:
        return jpegPending_ ? raster_.width() : jpegWidth_;
    case PictureKind::Gif:
        return gif_.screenWidth;
    case PictureKind::Bitmap:
    case PictureKind::Png:
    case PictureKind::Webp:
    case PictureKind::Tiff:
    case PictureKind::Heif:
        return raster_.width();
    case PictureKind::Metafile:
        return metafile_ ? metafile_->width() : 0;
    }
    return 0;
}

int Picture::height() const {
    switch (kind_) {
    case PictureKind::Jpeg:
        return jpegPending_ ? raster_.height() : jpegHeight_;
    case PictureKind::Gif:
        return gif_.screenHeight;
    case PictureKind::Bitmap:
    case PictureKind::Png:
    case PictureKind::Webp:
    case PictureKind::Tiff:
    case PictureKind::Heif:
        return raster_.height();
    case PictureKind::Metafile:
        return metafile_ ? metafile_->height() : 0;
    }
    return 0;
}

bool Picture::isEmpty() const {
    switch (kind_) {
    case PictureKind::Jpeg:
        return !jpegPending_ && jpegData_.empty();
    case PictureKind::Gif:
        return gif_.frames.empty();
    case PictureKind::Bitmap:
    case PictureKind::Png:
    case PictureKind::Webp:
    case PictureKind::Tiff:
    case PictureKind::Heif:
        return raster_.isEmpty();
    case PictureKind::Metafile:
        return !metafile_ || metafile_->isEmpty();
    }
    return true;
}

void Picture::setJpegDecodeFormat(PixelFormat format) {
    if (format == jpegDecodeFormat_)
        return;
    jpegDecodeFormat_ = format;
    if (!jpegPending_)
        rasterValid_ = false;
}

void Picture::ensureDecoded() const {
    if (kind_ != PictureKind::Jpeg || jpegPending_ || rasterValid_)
        return;
    if (jpegData_.empty()) {
        raster_.reset(0, 0, PixelFormat::Bgr24);
    } else {
        decodeWarning_ = DecodeJpeg(jpegData_, jpegDecodeFormat_, raster_);
    }
    rasterValid_ = true;
}

void Picture::takeRaster(Raster& into) {
    switch (kind_) {
    case PictureKind::Jpeg:
        if (!rasterValid_ && !jpegPending_ && !jpegData_.empty()) {
            // Straight into the caller's raster: the picture never holds a copy.
            decodeWarning_ = DecodeJpeg(jpegData_, jpegDecodeFormat_, into);
            if (into.format() != PixelFormat::Bgr24)
                RenderToBitmap(into, into);
            return;
        }
        ensureDecoded();
        if (raster_.format() != PixelFormat::Bgr24) {
            RenderToBitmap(raster_, into);
            return;
        }
        into = std::move(raster_);
        raster_ = Raster();
        rasterValid_ = false;
        if (jpegPending_) {
            jpegPending_ = false; // the raster was the whole content
            jpegData_.clear();
        }
        return;
    case PictureKind::Bitmap:
    case PictureKind::Png:
    case PictureKind::Webp:
    case PictureKind::Tiff:
    case PictureKind::Heif:
        if (raster_.format() != PixelFormat::Bgr24) {
            RenderToBitmap(raster_, into);
            return;
        }
        into = std::move(raster_);
        raster_ = Raster();
        return;
    case PictureKind::Gif:
    case PictureKind::Metafile:
        RenderToBitmap(*this, into);
        return;
    }
}

const Raster& Picture::raster() const {
    static const Raster empty;
    if (kind_ == PictureKind::Jpeg) {
        ensureDecoded();
        return raster_;
    }
    return holdsRaster(kind_) ? raster_ : empty;
}

void Picture::clear() {
    jpegData_.clear();
    jpegWidth_ = jpegHeight_ = 0;
    jpegPending_ = false;
    rasterValid_ = false;
    decodeWarning_.clear();
    raster_.release();
    gif_ = GifImage{};
    metafile_ = std::make_unique<Metafile>();
}

void Picture::setJpegData(std::vector<std::uint8_t> data, int width, int height) {
    kind_ = PictureKind::Jpeg;
    jpegData_ = std::move(data);
    jpegWidth_ = width;
    jpegHeight_ = height;
    jpegPending_ = false;
    rasterValid_ = false;
    decodeWarning_.clear();
}

void Picture::setJpegRaster(Raster&& raster) {
    if (raster.format() != PixelFormat::Bgr24) {
        setJpegRaster(static_cast<const Raster&>(raster));
        return;
    }
    kind_ = PictureKind::Jpeg;
    raster_ = std::move(raster);
    jpegData_.clear();
    jpegPending_ = true;
    rasterValid_ = true;
    decodeWarning_.clear();
}

void Picture::setJpegRaster(const Raster& raster) {
    kind_ = PictureKind::Jpeg;
    if (&raster != &raster_)
        RenderToBitmap(raster, raster_);
    jpegData_.clear();
    jpegPending_ = true;
    rasterValid_ = true;
    decodeWarning_.clear();
}

void Picture::setBitmap(Raster raster) {
    kind_ = PictureKind::Bitmap;
    raster_ = std::move(raster);
}

void Picture::setDecoded(PictureKind kind, Raster raster) {
    kind_ = kind;
    raster_ = std::move(raster);
}

void Picture::setGif(GifImage gif) {
    kind_ = PictureKind::Gif;
    gif_ = std::move(gif);
}

void Picture::setMetafile(Metafile metafile) {
    kind_ = PictureKind::Metafile;
    *metafile_ = std::move(metafile);
}

std::vector<std::uint8_t> Picture::encode(bool asWmf) const {
    switch (kind_) {
    case PictureKind::Jpeg:
        if (jpegPending_)
            return EncodeJpeg(raster_, jpegQuality_);
        return jpegData_;
    case PictureKind::Gif:
        return EncodeGif(gif_);
    case PictureKind::Bitmap:
        return EncodeBmp(raster_);
    case PictureKind::Metafile:
        return metafile_->encode(asWmf || !metafile_->enhanced());
    case PictureKind::Png:
        return EncodePng(raster_);
    case PictureKind::Webp:
    case PictureKind::Tiff:
    case PictureKind::Heif:
        throw PictureError(std::string("Cannot write ") + PictureKindName(kind_) +
                           " pictures; convert them to PNG");
    }
    return {};
}

void LoadPictureFromBytes(PictureKind kind, std::vector<std::uint8_t> bytes, Picture& into) {
    Picture picture(kind);
    switch (kind) {
    case PictureKind::Jpeg: {
        JpegInfo info = ReadJpegInfo(bytes);
        // Refused here, where the file is opened, rather than when it is first drawn.
        CheckPictureSize(info.width, info.height);
        picture.setJpegData(std::move(bytes), info.width, info.height);
        break;
    }
    case PictureKind::Gif:
        picture.setGif(DecodeGif(bytes));
        break;
    case PictureKind::Bitmap:
        picture.setBitmap(DecodeBmp(bytes));
        break;
    case PictureKind::Metafile:
        picture.setMetafile(Metafile::fromBytes(bytes));
        break;
    case PictureKind::Png:
        picture.setDecoded(kind, DecodePng(bytes));
        break;
    case PictureKind::Webp:
        picture.setDecoded(kind, DecodeWebp(bytes));
        break;
    case PictureKind::Tiff:
        picture.setDecoded(kind, DecodeTiff(bytes));
        break;
    case PictureKind::Heif:
        picture.setDecoded(kind, DecodeHeif(bytes));
        break;
    }
    into = std::move(picture);
}

void LoadPicture(const std::string& path, Picture& into) {
    PictureKind kind = PictureKindForPath(path);
    LoadPictureFromBytes(kind, ReadPictureFile(path), into);
}

PictureHeader PeekPictureHeader(PictureKind kind, std::span<const std::uint8_t> b) {
    PictureHeader header;
    auto u16 = [&](std::size_t at) { return int(b[at]) | int(b[at + 1]) << 8; };
    switch (kind) {
    case PictureKind::Jpeg:
        try {
            const JpegInfo info = ReadJpegInfo(b);
            header = {info.width, info.height, info.progressive};
        } catch (const PictureError&) {
        }
        break;
    case PictureKind::Gif:
        if (b.size() >= 10 && b[0] == 'G' && b[1] == 'I' && b[2] == 'F')
            header = {u16(6), u16(8)};
        break;
    case PictureKind::Bitmap:
        if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
            const int headerSize = u16(14);
            if (headerSize == 12) {
                header = {u16(18), u16(20)};
            } else {
                const auto i32 = [&](std::size_t at) {
                    return std::int32_t(std::uint32_t(u16(at)) | std::uint32_t(u16(at + 2)) << 16);
                };
                const std::int64_t w = i32(18), h = i32(22);
                const std::int64_t side = std::int64_t(1) << 30;
                if (w > 0 && w < side && h != 0 && h > -side && h < side)
                    header = {int(w), int(h < 0 ? -h : h)};
            }
        }
        break;
    case PictureKind::Png:
        PeekPngSize(b, header.width, header.height);
        break;
    case PictureKind::Webp:
        PeekWebpSize(b, header.width, header.height);
        break;
    case PictureKind::Metafile:
    case PictureKind::Tiff:
    case PictureKind::Heif:
        break;
    }
    return header;
}

void ReleaseLargeBuffers(OutputObjects& outputs, std::size_t keepBytes) {
    outputs.WorkBitmap.trim(keepBytes);
    outputs.ResampleTarget.trim(keepBytes);
    const auto pictureBytes = [](const Picture& p) {
        return std::size_t(std::max(p.width(), 0)) * std::size_t(std::max(p.height(), 0)) * 3;
    };
    for (Picture* p : {&outputs.jpegOutput, &outputs.gifOutput})
        if (pictureBytes(*p) > keepBytes)
            p->clear();
}

Picture LoadPicture(const std::string& path) {
    Picture picture;
    LoadPicture(path, picture);
    return picture;
}

void RenderToBitmap(const Raster& source, Raster& raster) {
    if (&source == &raster) {
        if (source.format() == PixelFormat::Bgr24)
            return;
        Raster copy = source;
        RenderToBitmap(copy, raster);
        return;
    }
    raster.reset(source.width(), source.height(), PixelFormat::Bgr24);
    if (raster.isEmpty())
        return;
    if (source.format() == PixelFormat::Bgr24) {
        std::memcpy(raster.bits(), source.bits(),
                    raster.bytesPerLine() * std::size_t(raster.height()));
        return;
    }
    const auto& palette = source.palette();
    for (int y = 0; y < source.height(); ++y) {
        const std::uint8_t* src = source.scanLine(y);
        std::uint8_t* dst = raster.scanLine(y);
        for (int x = 0; x < source.width(); ++x) {
            PaletteColor c = src[x] < palette.size() ? palette[src[x]] : PaletteColor{};
            dst[3 * x] = c.blue;
            dst[3 * x + 1] = c.green;
            dst[3 * x + 2] = c.red;
        }
    }
}

void RenderToBitmap(const Picture& picture, Raster& raster) {
    switch (picture.kind()) {
    case PictureKind::Jpeg:
    case PictureKind::Bitmap:
    case PictureKind::Png:
    case PictureKind::Webp:
    case PictureKind::Tiff:
    case PictureKind::Heif:
        RenderToBitmap(picture.raster(), raster);
        return;
    case PictureKind::Gif:
    case PictureKind::Metafile:
        raster.reset(picture.width(), picture.height(), PixelFormat::Bgr24);
        raster.fill(255, 255, 255);
        if (picture.kind() == PictureKind::Gif)
            DrawGifFirstFrame(picture.gif(), raster);
        else
            picture.metafile().playInto(raster);
        return;
    }
}

namespace {

GifImage gifFromJpeg(std::vector<std::uint8_t> jpeg) {
    Raster quantised;
    (void)DecodeJpeg(jpeg, PixelFormat::Indexed8, quantised);
    std::vector<std::uint8_t>().swap(jpeg);
    return GifFromIndexed(quantised);
}

} // namespace

void StoreGif(GifImage& gif, const Raster& raster) {
    gif = gifFromJpeg(EncodeJpeg(raster, 100));
}

void StoreGif(GifImage& gif, Raster&& raster) {
    std::vector<std::uint8_t> jpeg = EncodeJpeg(raster, 100);
    raster.release();
    gif = gifFromJpeg(std::move(jpeg));
}

void StoreBitmap(Picture& picture, const Raster& raster) {
    switch (picture.kind()) {
    case PictureKind::Jpeg:
        picture.setJpegRaster(raster);
        return;
    case PictureKind::Gif: {
        GifImage gif;
        StoreGif(gif, raster);
        picture.setGif(std::move(gif));
        return;
    }
    case PictureKind::Bitmap:
    case PictureKind::Png:
    case PictureKind::Webp:
    case PictureKind::Tiff:
    case PictureKind::Heif: {
        Raster copy;
        RenderToBitmap(raster, copy);
        picture.setDecoded(picture.kind(), std::move(copy));
        return;
    }
    case PictureKind::Metafile:
        if (raster.format() == PixelFormat::Bgr24) {
            picture.metafile().storeRaster(raster);
        } else {
            Raster copy;
            RenderToBitmap(raster, copy);
            picture.metafile().storeRaster(copy);
        }
        return;
    }
}

void WritePicture(const Picture& picture, const std::string& path) {
    // Encode before touching the file, so an encoder failure leaves no empty file.
    WritePictureFile(path, picture.encode(writesAsWmf(picture, path)), WriteMode::NewFile);
}

void WritePictureReplacing(const Picture& picture, const std::string& path) {
    WritePictureFile(path, picture.encode(writesAsWmf(picture, path)), replacingMode(path));
}

void SavePicture(OutputObjects& outputs, const Raster& raster, std::string_view outputType,
                 const std::string& path, int jpegQuality) {
    if (outputType == "JPG") {
        outputs.jpegOutput.setJpegQuality(jpegQuality);
        StoreBitmap(outputs.jpegOutput, raster);
        WritePicture(outputs.jpegOutput, path);
    } else if (outputType == "GIF") {
        StoreBitmap(outputs.gifOutput, raster);
        WritePicture(outputs.gifOutput, path);
    } else if (outputType == "EMF" || outputType == "WMF") {
        outputs.metafileOutput.metafile().setEnhanced(outputType == "EMF");
        StoreBitmap(outputs.metafileOutput, raster);
        WritePicture(outputs.metafileOutput, path);
    } else if (outputType == "BMP") {
        WriteBmpFile(raster, path);
    } else if (outputType == "PNG") {
        WritePictureFile(path, EncodePng(raster));
    }
}

void SavePicture(OutputObjects& outputs, Raster&& raster, std::string_view outputType,
                 const std::string& path, int jpegQuality) {
    if (outputType == "JPG") {
        // The JPEG output object takes the raster itself instead of a copy.
        outputs.jpegOutput.setJpegQuality(jpegQuality);
        outputs.jpegOutput.setJpegRaster(std::move(raster));
        raster.release();
        WritePicture(outputs.jpegOutput, path);
        return;
    }
    if (outputType != "GIF") {
        SavePicture(outputs, static_cast<const Raster&>(raster), outputType, path, jpegQuality);
        raster.release();
        return;
    }
    GifImage gif;
    StoreGif(gif, std::move(raster));
    outputs.gifOutput.setGif(std::move(gif));
    WritePicture(outputs.gifOutput, path);
}

} // namespace pictorant
