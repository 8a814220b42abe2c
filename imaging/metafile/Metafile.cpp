#include "imaging/metafile/Metafile.h"

#include <QImage>
#include <algorithm>

#include "imaging/ByteReader.h"
#include "imaging/PictureError.h"
#include "imaging/metafile/MetafilePlayer.h"
#include "imaging/metafile/MetafileWriter.h"

namespace pictorant {

namespace {

constexpr std::uint32_t kEmfSignature = 0x464D4520; // " EMF"
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;

[[noreturn]] void notValid() {
    throw PictureError("Metafile is not valid");
}

// num / den rounded to nearest, ties to even; den > 0.
std::int64_t roundDiv(std::int64_t num, std::int64_t den) {
    const bool negative = num < 0;
    const std::uint64_t n = negative ? std::uint64_t(0) - std::uint64_t(num) : std::uint64_t(num);
    const std::uint64_t d = std::uint64_t(den);
    std::uint64_t q = n / d;
    const std::uint64_t r = n % d;
    if (2 * r > d || (2 * r == d && (q & 1)))
        ++q;
    return negative ? -std::int64_t(q) : std::int64_t(q);
}

void checkSize(std::int64_t w, std::int64_t h) {
    if (w < 0 || h < 0 || w > Metafile::kMaxSide || h > Metafile::kMaxSide ||
        w * h > Metafile::kMaxPixels)
        notValid();
}

// Pixels per inch of the display the program stands in for.
constexpr std::int64_t kDpi = metafile::kDisplayDpi;

} // namespace

Metafile Metafile::fromBytes(std::span<const std::uint8_t> bytes) {
    const ByteReader in(bytes);
    Metafile m;
    try {
        if (in.has(0, 44) && in.u32(0) == 1 && in.u32(40) == kEmfSignature) {
            // Everything up to szlMillimeters must be there: the natural size needs it.
            if (!in.has(0, 88) || in.u32(4) < 88)
                notValid();
            const std::int64_t frameW = std::int64_t(in.i32(32)) - in.i32(24);
            const std::int64_t frameH = std::int64_t(in.i32(36)) - in.i32(28);
            const std::int64_t devX = in.i32(72), devY = in.i32(76);
            const std::int64_t mmX = in.i32(80), mmY = in.i32(84);
            if (frameW < 0 || frameH < 0 || devX <= 0 || devY <= 0 || mmX <= 0 || mmY <= 0)
                notValid();
            m.mmWidth_ = frameW;
            m.mmHeight_ = frameH;
            const std::int64_t w = roundDiv(frameW * devX, mmX * 100);
            const std::int64_t h = roundDiv(frameH * devY, mmY * 100);
            checkSize(w, h);
            m.width_ = int(w);
            m.height_ = int(h);
            m.inch_ = 0;
            m.enhanced_ = true;
            m.wmfBytes_ = false;
        } else if (in.has(0, 4) && in.u32(0) == kPlaceableKey) {
            if (!in.has(0, 22 + 18) || metafile::placeableChecksum(bytes.data()) != in.u16(20))
                notValid();
            const std::uint16_t type = in.u16(22), headerWords = in.u16(24);
            if ((type != 1 && type != 2) || headerWords != 9)
                notValid();
            const std::int64_t boxW = std::int64_t(in.i16(10)) - in.i16(6);
            const std::int64_t boxH = std::int64_t(in.i16(12)) - in.i16(8);
            if (boxW < 0 || boxH < 0)
                notValid();
            const int inch = in.u16(14);
            const std::int64_t perInch = inch ? inch : 96;
            m.mmWidth_ = roundDiv(boxW * 2540, perInch);
            m.mmHeight_ = roundDiv(boxH * 2540, perInch);
            const std::int64_t w = roundDiv(m.mmWidth_ * kDpi, 2540);
            const std::int64_t h = roundDiv(m.mmHeight_ * kDpi, 2540);
            checkSize(w, h);
            m.width_ = int(w);
            m.height_ = int(h);
            m.inch_ = inch;
            m.enhanced_ = false;
            m.wmfBytes_ = true;
        } else {
            notValid();
        }
    } catch (const OutOfBounds&) {
        notValid();
    }
    m.bytes_.assign(bytes.begin(), bytes.end());
    return m;
}

MetafilePlayReport Metafile::playInto(Raster& target, double work) const {
    MetafilePlayReport report;
    if (bytes_.empty() || target.isEmpty() || target.format() != PixelFormat::Bgr24)
        return report;
    const int w = target.width(), h = target.height();
    // Play in bands so that the working image stays small whatever the target's size;
    // each band plays every record, clipped to its rows.
    constexpr std::int64_t kBandPixels = std::int64_t(1) << 22;
    const int bandRows = int(std::clamp<std::int64_t>(kBandPixels / w, 1, h));
    QImage band(w, bandRows, QImage::Format_RGB32);
    band.setDotsPerMeterX(3780); // 96 pixels per inch, which text sizes rely on
    band.setDotsPerMeterY(3780);
    const ByteReader file(bytes_);
    // Each band may spend an equal part of what the bands before it left, so that a
    // file that is slow in every band costs no more in many bands than in one.
    metafile::PlayBudget budget;
    int bandsLeft = (h + bandRows - 1) / bandRows;
    for (int top = 0; top < h; top += bandRows, --bandsLeft) {
        const int rows = std::min(bandRows, h - top);
        budget.limit = (work - budget.spent) / bandsLeft;
        for (int y = 0; y < rows; ++y) {
            const std::uint8_t* in = target.scanLine(top + y);
            QRgb* out = reinterpret_cast<QRgb*>(band.scanLine(y));
            for (int x = 0; x < w; ++x)
                out[x] = qRgb(in[3 * x + 2], in[3 * x + 1], in[3 * x]);
        }
        report = wmfBytes_ ? metafile::playWmf(file, band, top, w, h, budget)
                           : metafile::playEmf(file, band, top, w, h, budget);
        for (int y = 0; y < rows; ++y) {
            const QRgb* in = reinterpret_cast<const QRgb*>(band.constScanLine(y));
            std::uint8_t* out = target.scanLine(top + y);
            for (int x = 0; x < w; ++x) {
                out[3 * x] = std::uint8_t(qBlue(in[x]));
                out[3 * x + 1] = std::uint8_t(qGreen(in[x]));
                out[3 * x + 2] = std::uint8_t(qRed(in[x]));
            }
        }
    }
    return report;
}

void Metafile::storeRaster(const Raster& raster) {
    const std::int64_t w = raster.width(), h = raster.height();
    // The frame is the raster's size at the millimetres per pixel of the content held now
    // (an A4 page turned stays A4, whatever device it was recorded for and however often
    // it is turned), or at the display's when nothing is held yet.
    std::int64_t spanX = 2540, spanY = 2540, devX = kDpi, devY = kDpi;
    if (width_ > 0 && height_ > 0 && mmWidth_ > 0 && mmHeight_ > 0)
        spanX = mmWidth_, spanY = mmHeight_, devX = width_, devY = height_;
    const std::int64_t mmW = roundDiv(w * spanX, devX);
    const std::int64_t mmH = roundDiv(h * spanY, devY);
    if (raster.format() != PixelFormat::Bgr24)
        throw PictureError("Metafile is not valid");
    bytes_ = metafile::writeEmf(raster, mmW, mmH);
    width_ = int(w);
    height_ = int(h);
    mmWidth_ = mmW;
    mmHeight_ = mmH;
    wmfBytes_ = false;
}

std::vector<std::uint8_t> Metafile::encode(bool asWmf) const {
    if (bytes_.empty())
        throw PictureError("Metafile is not valid");
    if (asWmf == wmfBytes_)
        return bytes_;
    Raster raster(width_, height_);
    raster.fill(255, 255, 255);
    playInto(raster);
    if (!asWmf)
        return metafile::writeEmf(raster, roundDiv(std::int64_t(width_) * 2540, kDpi),
                                  roundDiv(std::int64_t(height_) * 2540, kDpi));
    // The bounding box in the picture's own units per inch, unless that does not fit a
    // 16-bit coordinate; 96 units per inch then keeps the box equal to the pixel size.
    std::int64_t inch = inch_ ? inch_ : kDpi;
    std::int64_t right = roundDiv(mmWidth_ * inch, 2540);
    std::int64_t bottom = roundDiv(mmHeight_ * inch, 2540);
    if (right > 32767 || bottom > 32767) {
        inch = kDpi;
        right = width_;
        bottom = height_;
    }
    return metafile::writeWmf(raster, int(right), int(bottom), int(inch));
}

} // namespace pictorant
