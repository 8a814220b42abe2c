// Bitmaps onto parallelograms, masked copies and flood fills: the raster operations of
// the player that work on the target's pixels rather than through QPainter composition.
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "imaging/metafile/Dib.h"
#include "imaging/metafile/GdiPlayer.h"

namespace pictorant::metafile {

void GdiPlayer::chargeArea(const QRectF& target) {
    const QPaintDevice* device = painter_.device();
    const QRectF seen = target.intersected(QRectF(0, 0, device->width(), device->height()));
    if (seen.isValid())
        work_ += seen.width() * seen.height();
}

void GdiPlayer::drawBitmapOnto(const QPointF (&c)[3], const QImage& image, QRectF source,
                               const QImage& mask, QPointF maskOrigin) {
    if (image.isNull() || source.width() == 0 || source.height() == 0 || !applyClip())
        return;
    QImage picture = image;
    if (!mask.isNull()) {
        // Where the mask is 0 the destination shows through.
        const QRect part = source.toAlignedRect().intersected(image.rect());
        picture = image.copy(part).convertToFormat(QImage::Format_ARGB32);
        const int mx = int(std::floor(maskOrigin.x())), my = int(std::floor(maskOrigin.y()));
        for (int y = 0; y < picture.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                const QPoint m(mx + x, my + y);
                if (!mask.rect().contains(m) || qGray(mask.pixel(m)) < 128)
                    row[x] = 0;
            }
        }
        source.translate(-part.topLeft());
    }
    const QPointF u = (c[1] - c[0]) / source.width(), v = (c[2] - c[0]) / source.height();
    const QTransform place(u.x(), u.y(), v.x(), v.y(),
                           c[0].x() - source.x() * u.x() - source.y() * v.x(),
                           c[0].y() - source.x() * u.y() - source.y() * v.y());
    const QTransform t = place * logicalToTarget();
    chargeArea(t.mapRect(source));
    painter_.setTransform(t);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_.drawImage(source, picture, source);
    painter_.resetTransform();
}

void GdiPlayer::floodFill(QPointF logical, QColor colour, bool surface) {
    QImage* band = dynamic_cast<QImage*>(painter_.device());
    if (!band || s.brush.style == gdi::BS_NULL || !applyClip())
        return;
    const QPointF seed = logicalToTarget().map(logical);
    const int w = band->width(), h = band->height();
    if (!std::isfinite(seed.x()) || !std::isfinite(seed.y()))
        return;
    const int sx = int(std::floor(seed.x())), sy = int(std::floor(seed.y()));
    if (sx < 0 || sy < 0 || sx >= w || sy >= h)
        return;
    const QRgb key = colour.rgb() & 0xFFFFFF;
    auto at = [&](int x, int y) {
        return reinterpret_cast<const QRgb*>(band->constScanLine(y))[x] & 0xFFFFFF;
    };
    // Lines are drawn anti-aliased, so a border is seldom its exact colour: a thin one
    // is a run of blends of it with what lies behind. A border fill stops at any pixel
    // that is at least a quarter of the way from the starting colour to the border's
    // and near the line between them; other colours inside are filled over.
    const QRgb start = at(sx, sy);
    const std::int64_t dr = qRed(key) - qRed(start), dg = qGreen(key) - qGreen(start),
                       db = qBlue(key) - qBlue(start);
    const std::int64_t span = dr * dr + dg * dg + db * db;
    auto border = [&](QRgb p) {
        const std::int64_t vr = qRed(p) - qRed(start), vg = qGreen(p) - qGreen(start),
                           vb = qBlue(p) - qBlue(start);
        const std::int64_t along = vr * dr + vg * dg + vb * db;
        const std::int64_t off = (vr * vr + vg * vg + vb * vb) * span - along * along;
        return p == key || (4 * along >= span && 16 * off <= span * span);
    };
    auto inside = [&](int x, int y) {
        const QRgb p = at(x, y);
        return surface ? p == key : !border(p);
    };
    if (!inside(sx, sy))
        return;
    // Span fill: each popped point fills its whole run and queues the rows around it.
    std::vector<std::uint8_t> filled(std::size_t(w) * std::size_t(h), 0);
    std::vector<QPoint> stack{{sx, sy}};
    QRect box(sx, sy, 1, 1);
    double count = 0;
    while (!stack.empty()) {
        const QPoint p = stack.back();
        stack.pop_back();
        std::uint8_t* row = filled.data() + std::size_t(p.y()) * std::size_t(w);
        if (row[p.x()] || !inside(p.x(), p.y()))
            continue;
        int left = p.x(), right = p.x();
        while (left > 0 && !row[left - 1] && inside(left - 1, p.y()))
            --left;
        while (right + 1 < w && !row[right + 1] && inside(right + 1, p.y()))
            ++right;
        std::fill(row + left, row + right + 1, 1);
        count += right - left + 1;
        box |= QRect(left, p.y(), right - left + 1, 1);
        for (int dy : {-1, 1}) {
            const int y = p.y() + dy;
            if (y < 0 || y >= h)
                continue;
            for (int x = left; x <= right; ++x)
                if (!filled[std::size_t(y) * std::size_t(w) + std::size_t(x)] &&
                    (x == left || filled[std::size_t(y) * std::size_t(w) + std::size_t(x - 1)] ||
                     !inside(x - 1, y)) &&
                    inside(x, y))
                    stack.push_back({x, y});
        }
    }
    work_ += count * 4;
    // The brush painted over the box, then cut to the filled pixels.
    QImage fill(box.size(), QImage::Format_ARGB32_Premultiplied);
    fill.fill(Qt::transparent);
    {
        QPainter p(&fill);
        p.translate(-box.topLeft());
        p.fillRect(box, targetBrush(s.brush));
    }
    for (int y = 0; y < box.height(); ++y) {
        QRgb* out = reinterpret_cast<QRgb*>(fill.scanLine(y));
        const std::uint8_t* in =
            filled.data() + std::size_t(box.top() + y) * std::size_t(w) + std::size_t(box.left());
        for (int x = 0; x < box.width(); ++x)
            if (!in[x])
                out[x] = 0;
    }
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.drawImage(box.topLeft(), fill);
    painter_.setRenderHint(QPainter::Antialiasing, true);
}

QImage decodeBitmap16(const ByteReader& r, QRgb zero, QRgb one, const QVector<QRgb>& palette) {
    // Type, width, height, bytes per row, planes, bits per pixel, then the rows top down.
    const int width = r.i16(2), height = r.i16(4), stride = r.i16(6);
    const int planes = r.u8(8), bits = r.u8(9);
    if (width <= 0 || height <= 0 || stride <= 0 || planes != 1 ||
        std::int64_t(width) * height > kMaxDibPixels ||
        std::int64_t(stride) * 8 < std::int64_t(width) * bits)
        return {};
    r.require(10, std::uint64_t(stride) * std::uint64_t(height));
    // The 16 colours of the standard VGA palette stand in for a device's own palette.
    static const QRgb vga[16] = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000,
                                 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
                                 0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00,
                                 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = r.data() + 10 + std::uint64_t(y) * std::uint64_t(stride);
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            switch (bits) {
            case 1:
                out[x] = (row[x / 8] >> (7 - x % 8)) & 1 ? one : zero;
                break;
            case 4: {
                const int i = (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
                out[x] = i < palette.size() ? palette[i] : vga[i];
                break;
            }
            case 8: {
                const int i = row[x];
                out[x] = i < palette.size() ? palette[i] : qRgb(i, i, i);
                break;
            }
            case 16: {
                const int p = row[2 * x] | row[2 * x + 1] << 8;
                out[x] = qRgb(((p >> 10) & 0x1F) << 3, ((p >> 5) & 0x1F) << 3, (p & 0x1F) << 3);
                break;
            }
            case 24:
                out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                break;
            case 32:
                out[x] = qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
                break;
            default:
                return {};
            }
        }
    }
    return image;
}

} // namespace pictorant::metafile
