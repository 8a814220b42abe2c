#include "imaging/metafile/GdiPlayer.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainterPathStroker>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace pictorant::metafile {

using namespace gdi;

namespace {

constexpr std::size_t kMaxSavedStates = 4096;

bool isMetric(int mode) {
    return mode >= MM_LOMETRIC && mode <= MM_TWIPS;
}

// Size of one logical unit of a metric map mode in millimetres.
double metricUnitMm(int mode) {
    switch (mode) {
    case MM_LOMETRIC:
        return 0.1;
    case MM_HIMETRIC:
        return 0.01;
    case MM_LOENGLISH:
        return 0.254;
    case MM_HIENGLISH:
        return 0.0254;
    case MM_TWIPS:
        return 25.4 / 1440;
    default:
        return 1;
    }
}

QPainter::CompositionMode rop2Mode(int rop2) {
    switch (rop2) {
    case 1: // R2_BLACK
        return QPainter::RasterOp_ClearDestination;
    case 2: // R2_NOTMERGEPEN
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case 3: // R2_MASKNOTPEN
        return QPainter::RasterOp_NotSourceAndDestination;
    case 4: // R2_NOTCOPYPEN
        return QPainter::RasterOp_NotSource;
    case 5: // R2_MASKPENNOT
        return QPainter::RasterOp_SourceAndNotDestination;
    case 6: // R2_NOT
        return QPainter::RasterOp_NotDestination;
    case 7: // R2_XORPEN
        return QPainter::RasterOp_SourceXorDestination;
    case 8: // R2_NOTMASKPEN
        return QPainter::RasterOp_NotSourceOrNotDestination;
    case 9: // R2_MASKPEN
        return QPainter::RasterOp_SourceAndDestination;
    case 10: // R2_NOTXORPEN
        return QPainter::RasterOp_NotSourceXorDestination;
    case 12: // R2_MERGENOTPEN
        return QPainter::RasterOp_NotSourceOrDestination;
    case 14: // R2_MERGEPENNOT
        return QPainter::RasterOp_SourceOrNotDestination;
    case 15: // R2_MERGEPEN
        return QPainter::RasterOp_SourceOrDestination;
    case 16: // R2_WHITE
        return QPainter::RasterOp_SetDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

QPainter::CompositionMode ropMode(std::uint32_t rop) {
    switch (rop) {
    case 0x00EE0086: // SRCPAINT
        return QPainter::RasterOp_SourceOrDestination;
    case 0x008800C6: // SRCAND
        return QPainter::RasterOp_SourceAndDestination;
    case 0x00660046: // SRCINVERT
        return QPainter::RasterOp_SourceXorDestination;
    case 0x00440328: // SRCERASE
        return QPainter::RasterOp_SourceAndNotDestination;
    case 0x00330008: // NOTSRCCOPY
        return QPainter::RasterOp_NotSource;
    case 0x001100A6: // NOTSRCERASE
        return QPainter::RasterOp_NotSourceAndNotDestination;
    case 0x00BB0226: // MERGEPAINT
        return QPainter::RasterOp_NotSourceOrDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

// Damaged files carry absurd widths; a pen wider than any target is still a fill.
double safeWidth(double width) {
    return std::isfinite(width) ? std::clamp(std::abs(width), 0.0, 1e4) : 0.0;
}

Brush solidBrush(QColor color) {
    Brush b;
    b.color = color;
    return b;
}

Brush nullBrush() {
    Brush b;
    b.style = BS_NULL;
    return b;
}

Pen stockPen(int style, QColor color) {
    Pen p;
    p.style = style;
    p.color = color;
    return p;
}

bool rasterOp(QPainter::CompositionMode mode) {
    return mode >= QPainter::RasterOp_SourceOrDestination;
}

} // namespace

Qt::BrushStyle hatchStyle(int hatch) {
    switch (hatch) {
    case 0:
        return Qt::HorPattern;
    case 1:
        return Qt::VerPattern;
    case 2:
        return Qt::FDiagPattern;
    case 3:
        return Qt::BDiagPattern;
    case 4:
        return Qt::CrossPattern;
    default:
        return Qt::DiagCrossPattern;
    }
}

GdiPlayer::GdiPlayer(QPainter& painter, const QTransform& deviceToTarget, QPointF devicePixelsPerMm)
    : painter_(painter), deviceToTarget_(deviceToTarget), pxPerMm_(devicePixelsPerMm) {
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

// ---- transforms ----

QTransform GdiPlayer::pageTransform() const {
    double sx = 1, sy = 1;
    if (isMetric(s.mapMode)) {
        const double unit = metricUnitMm(s.mapMode);
        sx = unit * pxPerMm_.x();
        sy = -unit * pxPerMm_.y();
    } else if (s.mapMode == MM_ISOTROPIC || s.mapMode == MM_ANISOTROPIC) {
        sx = s.viewportExt.x() / s.windowExt.x();
        sy = s.viewportExt.y() / s.windowExt.y();
        if (s.mapMode == MM_ISOTROPIC) {
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
    }
    return QTransform(sx, 0, 0, sy, s.viewportOrg.x() - s.windowOrg.x() * sx,
                      s.viewportOrg.y() - s.windowOrg.y() * sy);
}

void GdiPlayer::setMapMode(int mode) {
    if (mode < MM_TEXT || mode > MM_ANISOTROPIC || mode == s.mapMode)
        return;
    if (mode == MM_ISOTROPIC) {
        // Isotropic starts from the extents of MM_LOMETRIC.
        s.windowExt = QPointF(1, 1);
        s.viewportExt = QPointF(0.1 * pxPerMm_.x(), -0.1 * pxPerMm_.y());
    } else if (mode == MM_ANISOTROPIC && s.mapMode != MM_ISOTROPIC) {
        // Anisotropic keeps the scale in force.
        const QTransform page = pageTransform();
        s.windowExt = QPointF(1, 1);
        s.viewportExt = QPointF(page.m11(), page.m22());
    }
    s.mapMode = mode;
}

void GdiPlayer::setWindowExt(QPointF e) {
    if (s.mapMode != MM_ISOTROPIC && s.mapMode != MM_ANISOTROPIC)
        return;
    if (e.x() == 0 || e.y() == 0)
        return;
    s.windowExt = e;
}

void GdiPlayer::setViewportExt(QPointF e) {
    if (s.mapMode != MM_ISOTROPIC && s.mapMode != MM_ANISOTROPIC)
        return;
    if (e.x() == 0 || e.y() == 0)
        return;
    s.viewportExt = e;
}

void GdiPlayer::scaleWindowExt(double xNum, double xDen, double yNum, double yDen) {
    if (xDen == 0 || yDen == 0)
        return;
    setWindowExt(QPointF(s.windowExt.x() * xNum / xDen, s.windowExt.y() * yNum / yDen));
}

void GdiPlayer::scaleViewportExt(double xNum, double xDen, double yNum, double yDen) {
    if (xDen == 0 || yDen == 0)
        return;
    setViewportExt(QPointF(s.viewportExt.x() * xNum / xDen, s.viewportExt.y() * yNum / yDen));
}

void GdiPlayer::saveDc() {
    if (saved_.size() < kMaxSavedStates)
        saved_.push_back(s);
}

void GdiPlayer::restoreDc(int relative) {
    // Negative: that many levels back; positive: an absolute level counted from 1.
    const std::int64_t size = std::int64_t(saved_.size());
    const std::int64_t level = relative < 0 ? size + relative : std::int64_t(relative) - 1;
    if (level < 0 || level >= size)
        return;
    s = saved_[std::size_t(level)];
    saved_.resize(std::size_t(level));
}

// ---- objects ----

void GdiPlayer::selectStock(std::uint32_t index) {
    switch (index & 0x7FFFFFFF) {
    case 0:
    case 18: // DC_BRUSH
        s.brush = solidBrush(Qt::white);
        break;
    case 1:
        s.brush = solidBrush(QColor(192, 192, 192));
        break;
    case 2:
        s.brush = solidBrush(QColor(128, 128, 128));
        break;
    case 3:
        s.brush = solidBrush(QColor(64, 64, 64));
        break;
    case 4:
        s.brush = solidBrush(Qt::black);
        break;
    case 5:
        s.brush = nullBrush();
        break;
    case 6:
        s.pen = stockPen(0, Qt::white);
        break;
    case 7:
    case 19: // DC_PEN
        s.pen = stockPen(0, Qt::black);
        break;
    case 8:
        s.pen = stockPen(5, Qt::black);
        break;
    case 10:
    case 11:
    case 16:
        s.font = Font{};
        s.font.face = QStringLiteral("Courier New");
        s.font.height = 12;
        break;
    case 12:
    case 13:
    case 14:
    case 17:
        s.font = Font{};
        s.font.face = QStringLiteral("Arial");
        s.font.height = 12;
        break;
    case 15:
        s.palette.clear();
        break;
    default:
        break;
    }
}

QColor GdiPlayer::paletteColor(std::uint32_t ref) const {
    // 0x01000000 marks a palette index.
    if ((ref >> 24) == 1) {
        const std::uint32_t index = ref & 0xFFFF;
        if (index < std::uint32_t(s.palette.size()))
            return QColor(s.palette[int(index)]);
        return Qt::black;
    }
    return QColor(int(ref & 0xFF), int((ref >> 8) & 0xFF), int((ref >> 16) & 0xFF));
}

// ---- pens, brushes, clip ----

double GdiPlayer::targetScale() const {
    const QTransform t = logicalToTarget();
    return std::sqrt(std::abs(t.m11() * t.m22() - t.m12() * t.m21()));
}

QPen GdiPlayer::targetPen() const {
    const int style = s.pen.style & 0x0F;
    if (style == 5) // PS_NULL
        return Qt::NoPen;
    const double scale = targetScale();
    const double width = safeWidth(s.pen.width * scale);
    QPen pen(s.pen.color);
    const bool geometric = (s.pen.style & 0x10000) || width > 1.5;
    pen.setWidthF(width > 1.5 ? width : 0);
    if (geometric) {
        switch (s.pen.style & 0x0F00) {
        case 0x100:
            pen.setCapStyle(Qt::SquareCap);
            break;
        case 0x200:
            pen.setCapStyle(Qt::FlatCap);
            break;
        default:
            pen.setCapStyle(Qt::RoundCap);
        }
        switch (s.pen.style & 0xF000) {
        case 0x1000:
            pen.setJoinStyle(Qt::BevelJoin);
            break;
        case 0x2000:
            pen.setJoinStyle(Qt::MiterJoin);
            break;
        default:
            pen.setJoinStyle(Qt::RoundJoin);
        }
    } else {
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
    }
    switch (style) {
    case 1:
        pen.setStyle(Qt::DashLine);
        break;
    case 2:
    case 8:
        pen.setStyle(Qt::DotLine);
        break;
    case 3:
        pen.setStyle(Qt::DashDotLine);
        break;
    case 4:
        pen.setStyle(Qt::DashDotDotLine);
        break;
    case 7: { // PS_USERSTYLE: lengths in logical units, Qt wants them in pen widths
        QList<qreal> pattern;
        const double unit = std::max(width, 1.0);
        for (double d : s.pen.dashes)
            pattern.push_back(std::max(d * scale / unit, 0.1));
        if (pattern.size() % 2)
            pattern.push_back(pattern.back());
        if (!pattern.isEmpty())
            pen.setDashPattern(pattern);
        break;
    }
    default:
        break;
    }
    return pen;
}

QBrush GdiPlayer::targetBrush(const Brush& brush) const {
    switch (brush.style) {
    case BS_NULL:
        return Qt::NoBrush;
    case BS_HATCHED:
        return QBrush(brush.color, hatchStyle(brush.hatch));
    case BS_PATTERN:
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT: {
        if (brush.pattern.isNull())
            return QBrush(brush.color);
        QImage pattern = brush.pattern;
        if (brush.monochrome) {
            // Monochrome patterns paint their 0 bits in the text colour and their 1
            // bits in the background colour.
            pattern = pattern.convertToFormat(QImage::Format_RGB32);
            for (int y = 0; y < pattern.height(); ++y) {
                QRgb* row = reinterpret_cast<QRgb*>(pattern.scanLine(y));
                for (int x = 0; x < pattern.width(); ++x)
                    row[x] = qGray(row[x]) < 128 ? s.textColor.rgb() : s.bkColor.rgb();
            }
        }
        QBrush b(pattern);
        // Pattern pixels are reference-device pixels.
        QTransform t = QTransform::fromTranslate(s.brushOrigin.x(), s.brushOrigin.y());
        t *= QTransform(deviceToTarget_.m11(), 0, 0, deviceToTarget_.m22(), deviceToTarget_.dx(),
                        deviceToTarget_.dy());
        b.setTransform(t);
        return b;
    }
    default:
        return QBrush(brush.color);
    }
}

bool GdiPlayer::applyClip() {
    painter_.resetTransform();
    // Setting a clip path is costly; files with thousands of records keep one clip.
    if (s.clipSerial == appliedClip_)
        return !s.clip || !s.clip->isEmpty();
    appliedClip_ = s.clipSerial;
    if (!s.clip) {
        painter_.setClipping(false);
        return true;
    }
    if (s.clip->isEmpty())
        return false;
    painter_.setClipPath(*s.clip);
    return true;
}

void GdiPlayer::setRop(bool) {
    const QPainter::CompositionMode mode = rop2Mode(s.rop2);
    painter_.setCompositionMode(mode);
    painter_.setRenderHint(QPainter::Antialiasing, !rasterOp(mode));
}

QPainterPath GdiPlayer::rectPath(QRectF logical) const {
    QPainterPath p;
    p.addRect(logical.normalized());
    return p;
}

// ---- drawing ----

void GdiPlayer::addToPath(const QPainterPath& logical) {
    path_.addPath(logicalToTarget().map(logical));
    havePath_ = true;
}

void GdiPlayer::draw(const QPainterPath& logical, bool fill, bool stroke, bool) {
    if (inPath_) {
        addToPath(logical);
        return;
    }
    drawTarget(logicalToTarget().map(logical), fill, stroke);
}

void GdiPlayer::drawTarget(const QPainterPath& target, bool fill, bool stroke) {
    if (s.rop2 == 11) // R2_NOP
        return;
    if (!applyClip())
        return;
    setRop(fill);
    chargeArea(
        target.controlPointRect().adjusted(-s.pen.width, -s.pen.width, s.pen.width, s.pen.width));
    if (fill && s.brush.style != BS_NULL) {
        QPainterPath area = target;
        area.setFillRule(s.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
        if (s.brush.style == BS_HATCHED && s.bkMode == OPAQUE)
            painter_.fillPath(area, s.bkColor);
        painter_.fillPath(area, targetBrush(s.brush));
    }
    if (stroke) {
        const QPen pen = targetPen();
        if (pen.style() != Qt::NoPen)
            painter_.strokePath(target, pen);
    }
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void GdiPlayer::moveTo(QPointF p) {
    s.position = p;
    if (inPath_) {
        path_.moveTo(logicalToTarget().map(p));
        havePath_ = true;
    }
}

void GdiPlayer::lineTo(QPointF p) {
    if (inPath_) {
        const QTransform t = logicalToTarget();
        if (path_.elementCount() == 0)
            path_.moveTo(t.map(s.position));
        path_.lineTo(t.map(p));
        havePath_ = true;
    } else {
        QPainterPath line(s.position);
        line.lineTo(p);
        draw(line, false, true);
    }
    s.position = p;
}

void GdiPlayer::polyline(const QVector<QPointF>& points) {
    if (points.size() < 2)
        return;
    QPainterPath p(points[0]);
    for (int i = 1; i < points.size(); ++i)
        p.lineTo(points[i]);
    draw(p, false, true);
}

void GdiPlayer::polylineTo(const QVector<QPointF>& points) {
    if (points.isEmpty())
        return;
    if (inPath_) {
        for (const QPointF& p : points)
            lineTo(p);
        return;
    }
    QPainterPath p(s.position);
    for (const QPointF& q : points)
        p.lineTo(q);
    draw(p, false, true);
    s.position = points.back();
}

void GdiPlayer::polygon(const QVector<QPointF>& points) {
    if (points.size() < 2)
        return;
    QPainterPath p;
    p.addPolygon(QPolygonF(points));
    p.closeSubpath();
    draw(p, true, true);
}

void GdiPlayer::polyPolygon(const std::vector<QVector<QPointF>>& polygons) {
    QPainterPath p;
    for (const auto& poly : polygons) {
        if (poly.size() < 2)
            continue;
        p.addPolygon(QPolygonF(poly));
        p.closeSubpath();
    }
    draw(p, true, true);
}

void GdiPlayer::polyPolyline(const std::vector<QVector<QPointF>>& lines) {
    QPainterPath p;
    for (const auto& line : lines) {
        if (line.size() < 2)
            continue;
        p.moveTo(line[0]);
        for (int i = 1; i < line.size(); ++i)
            p.lineTo(line[i]);
    }
    draw(p, false, true);
}

void GdiPlayer::polyBezier(const QVector<QPointF>& points, bool fromCurrent) {
    int i = 0;
    QPainterPath p;
    if (fromCurrent) {
        p.moveTo(s.position);
    } else {
        if (points.isEmpty())
            return;
        p.moveTo(points[0]);
        i = 1;
    }
    for (; i + 2 < points.size(); i += 3)
        p.cubicTo(points[i], points[i + 1], points[i + 2]);
    if (fromCurrent) {
        if (points.size() >= 3)
            s.position = points[((points.size() / 3) * 3) - 1];
        if (inPath_) {
            const QTransform t = logicalToTarget();
            if (path_.elementCount() == 0)
                path_.moveTo(t.map(p.elementAt(0)));
            for (int k = 0; k + 2 < points.size(); k += 3)
                path_.cubicTo(t.map(points[k]), t.map(points[k + 1]), t.map(points[k + 2]));
            havePath_ = true;
            return;
        }
    }
    draw(p, false, true);
}

void GdiPlayer::polyDraw(const QVector<QPointF>& points, const std::vector<std::uint8_t>& types) {
    QPainterPath p(s.position);
    const int n = std::min<int>(points.size(), int(types.size()));
    for (int i = 0; i < n; ++i) {
        const std::uint8_t type = types[std::size_t(i)];
        if ((type & 6) == 6) {
            p.moveTo(points[i]);
        } else if ((type & 6) == 4 && i + 2 < n) {
            p.cubicTo(points[i], points[i + 1], points[i + 2]);
            i += 2;
        } else {
            p.lineTo(points[i]);
        }
        if (type & 1)
            p.closeSubpath();
    }
    if (n > 0)
        s.position = p.currentPosition();
    draw(p, false, true);
}

void GdiPlayer::rectangle(QRectF r) {
    draw(rectPath(r), true, true);
}

void GdiPlayer::roundRect(QRectF r, QSizeF corner) {
    QPainterPath p;
    p.addRoundedRect(r.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    draw(p, true, true);
}

void GdiPlayer::ellipse(QRectF r) {
    QPainterPath p;
    p.addEllipse(r.normalized());
    draw(p, true, true);
}

void GdiPlayer::arc(QRectF box, QPointF start, QPointF end, ArcKind kind) {
    const QRectF r = box.normalized();
    if (r.width() <= 0 || r.height() <= 0)
        return;
    const QPointF c = r.center();
    const double rx = r.width() / 2, ry = r.height() / 2;
    auto angle = [&](QPointF p) {
        return qRadiansToDegrees(std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx));
    };
    const double a0 = angle(start), a1 = angle(end);
    double sweep = a1 - a0;
    if (!s.clockwiseArcs) {
        while (sweep <= 0)
            sweep += 360;
    } else {
        while (sweep >= 0)
            sweep -= 360;
    }
    QPainterPath p;
    switch (kind) {
    case ArcKind::Arc:
        p.arcMoveTo(r, a0);
        p.arcTo(r, a0, sweep);
        draw(p, false, true);
        break;
    case ArcKind::ArcTo:
        if (inPath_) {
            QPainterPath piece;
            piece.arcMoveTo(r, a0);
            piece.arcTo(r, a0, sweep);
            const QTransform t = logicalToTarget();
            if (path_.elementCount() == 0)
                path_.moveTo(t.map(s.position));
            const QPainterPath mapped = t.map(piece);
            path_.lineTo(mapped.elementAt(0));
            path_.connectPath(mapped);
            havePath_ = true;
            s.position = piece.currentPosition();
            return;
        }
        p.moveTo(s.position);
        p.arcTo(r, a0, sweep);
        s.position = p.currentPosition();
        draw(p, false, true);
        break;
    case ArcKind::Chord:
        p.arcMoveTo(r, a0);
        p.arcTo(r, a0, sweep);
        p.closeSubpath();
        draw(p, true, true);
        break;
    case ArcKind::Pie:
        p.moveTo(c);
        p.arcTo(r, a0, sweep);
        p.closeSubpath();
        draw(p, true, true);
        break;
    }
}

void GdiPlayer::angleArc(QPointF center, double radius, double startDeg, double sweepDeg) {
    const QRectF r(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    QPainterPath p(s.position);
    p.arcTo(r, startDeg, sweepDeg);
    s.position = p.currentPosition();
    draw(p, false, true);
}

void GdiPlayer::setPixel(QPointF p, QColor c) {
    if (!applyClip())
        return;
    const QPointF t = logicalToTarget().map(p);
    const double size = std::max(1.0, targetScale());
    painter_.fillRect(QRectF(std::floor(t.x()), std::floor(t.y()), size, size), c);
}

// ---- paths ----

void GdiPlayer::beginPath() {
    path_ = QPainterPath();
    inPath_ = true;
    havePath_ = true;
}

void GdiPlayer::abortPath() {
    path_ = QPainterPath();
    inPath_ = false;
    havePath_ = false;
}

void GdiPlayer::closeFigure() {
    if (inPath_)
        path_.closeSubpath();
}

void GdiPlayer::fillPath() {
    inPath_ = false;
    drawTarget(path_, true, false);
    abortPath();
}

void GdiPlayer::strokePath() {
    inPath_ = false;
    drawTarget(path_, false, true);
    abortPath();
}

void GdiPlayer::strokeAndFillPath() {
    inPath_ = false;
    drawTarget(path_, true, true);
    abortPath();
}

void GdiPlayer::widenPath() {
    QPainterPathStroker stroker(targetPen());
    stroker.setWidth(std::max(1.0, safeWidth(s.pen.width * targetScale())));
    path_ = stroker.createStroke(path_);
}

void GdiPlayer::selectClipPath(int mode) {
    if (!havePath_)
        return;
    QPainterPath area = path_;
    area.setFillRule(s.polyFillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill);
    combineClip(area, mode);
    abortPath();
}

// ---- clipping ----

void GdiPlayer::combineClip(const QPainterPath& target, int mode) {
    // Combining paths costs about the product of their sizes.
    work_ += double(target.elementCount()) * (s.clip ? s.clip->elementCount() : 4) * 64;
    QPainterPath whole;
    const QPaintDevice* device = painter_.device();
    whole.addRect(QRectF(-2, -2, device->width() + 4, device->height() + 4));
    const QPainterPath current = s.clip ? *s.clip : whole;
    switch (mode) {
    case RGN_AND:
        s.clip = current.intersected(target);
        break;
    case RGN_OR:
        if (s.clip)
            s.clip = current.united(target);
        break;
    case RGN_XOR:
        s.clip = current.united(target).subtracted(current.intersected(target));
        break;
    case RGN_DIFF:
        s.clip = current.subtracted(target);
        break;
    case RGN_COPY:
        s.clip = target.isEmpty() ? std::nullopt : std::optional<QPainterPath>(target);
        break;
    default:
        break;
    }
    s.clipSerial = ++clipSerials_;
}

void GdiPlayer::intersectClipRect(QRectF logical) {
    combineClip(logicalToTarget().map(rectPath(logical)), RGN_AND);
}

void GdiPlayer::excludeClipRect(QRectF logical) {
    combineClip(logicalToTarget().map(rectPath(logical)), RGN_DIFF);
}

void GdiPlayer::offsetClip(QPointF logical) {
    if (!s.clip)
        return;
    const QTransform t = logicalToTarget();
    const QPointF d = t.map(logical) - t.map(QPointF(0, 0));
    s.clip->translate(d);
    s.clipSerial = ++clipSerials_;
}

// ---- regions ----

void GdiPlayer::fillRegion(const QPainterPath& device, const Brush& brush) {
    if (!applyClip())
        return;
    setRop(true);
    chargeArea(deviceToTarget_.mapRect(device.controlPointRect()));
    painter_.fillPath(deviceToTarget_.map(device), targetBrush(brush));
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void GdiPlayer::frameRegion(const QPainterPath& device, const Brush& brush, QSizeF stroke) {
    if (!applyClip())
        return;
    const double width =
        std::max(1.0, safeWidth(std::max(std::abs(stroke.width()), std::abs(stroke.height())) *
                                deviceToTarget_.m11()));
    QPen pen(targetBrush(brush), width);
    painter_.strokePath(deviceToTarget_.map(device), pen);
}

void GdiPlayer::invertRegion(const QPainterPath& device) {
    if (!applyClip())
        return;
    painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.fillPath(deviceToTarget_.map(device), Qt::black);
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

// ---- text ----

QFont GdiPlayer::makeFont(double emPixels, double& ascent, double& descent) const {
    QFont font(s.font.face.isEmpty() ? QStringLiteral("Arial") : s.font.face);
    font.setStyleHint(QFont::AnyStyle, QFont::PreferAntialias);
    const int weight = s.font.weight > 0 ? std::clamp(s.font.weight, 1, 1000) : 400;
    font.setWeight(QFont::Weight(weight));
    font.setItalic(s.font.italic);
    font.setUnderline(s.font.underline);
    font.setStrikeOut(s.font.strikeOut);
    font.setPointSizeF(std::max(emPixels, 0.01) * 72.0 / 96.0);
    if (s.font.width != 0) {
        const QFontMetricsF metrics(font, painter_.device());
        const double average = metrics.averageCharWidth();
        const double wanted = std::abs(double(s.font.width)) * targetScale();
        if (average > 0)
            font.setStretch(std::clamp(int(std::lround(100 * wanted / average)), 1, 4000));
    }
    const QFontMetricsF metrics(font, painter_.device());
    ascent = metrics.ascent();
    descent = metrics.descent();
    return font;
}

void GdiPlayer::textOut(QPointF reference, const QString& text, const std::vector<double>* dx,
                        std::uint32_t options, std::optional<QRectF> rect) {
    if (inPath_)
        return;
    // Fonts need a GUI application object; without one text cannot be drawn.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        ++textSkipped_;
        return;
    }
    if (s.textAlign & TA_UPDATECP)
        reference = s.position;
    if (!applyClip())
        return;
    const QTransform t = logicalToTarget();
    if (rect && (options & ETO_OPAQUE)) {
        painter_.fillPath(t.map(rectPath(*rect)), s.bkColor);
    }
    if (text.isEmpty())
        return;
    const double det = t.m11() * t.m22() - t.m12() * t.m21();
    const double scale = std::sqrt(std::abs(det));
    if (!(scale > 0) || !std::isfinite(scale))
        return;

    double em;
    if (s.font.height < 0) {
        em = -double(s.font.height) * scale;
    } else {
        // A positive height is the cell height (ascent plus descent).
        double a, d;
        const QFont probe = makeFont(100, a, d);
        (void)probe;
        const double cell = (s.font.height ? s.font.height : 12) * scale;
        em = a + d > 0 ? cell * 100 / (a + d) : cell;
    }
    if (em < 0.3 || em > 1e5)
        return;
    double ascent = 0, descent = 0;
    const QFont font = makeFont(em, ascent, descent);
    const QFontMetricsF metrics(font, painter_.device());

    double width = 0;
    if (dx) {
        for (double d : *dx)
            width += d * scale;
    } else {
        width = metrics.horizontalAdvance(text);
    }
    double x0 = 0, y0 = 0;
    switch (s.textAlign & 6) {
    case TA_CENTER:
        x0 = -width / 2;
        break;
    case TA_RIGHT:
        x0 = -width;
        break;
    default:
        break;
    }
    switch (s.textAlign & 24) {
    case TA_BASELINE:
        break;
    case TA_BOTTOM:
        y0 = -descent;
        break;
    default:
        y0 = ascent;
    }

    if (rect && (options & ETO_CLIPPED)) {
        painter_.setClipPath(t.map(rectPath(*rect)), s.clip ? Qt::IntersectClip : Qt::ReplaceClip);
        appliedClip_ = -1;
    }

    // Glyphs stay upright when the mapping turns the y axis up; the world transform and
    // the escapement turn them.
    const QTransform linear(t.m11() / scale, t.m12() / scale, t.m21() / scale, t.m22() / scale, 0,
                            0);
    const QPointF origin = t.map(reference);
    QTransform glyphs = QTransform().rotate(-s.font.escapement / 10.0);
    if (det < 0)
        glyphs *= QTransform(1, 0, 0, -1, 0, 0);
    glyphs *= linear * QTransform::fromTranslate(origin.x(), origin.y());
    painter_.setTransform(glyphs);
    if (s.bkMode == OPAQUE && !(options & ETO_OPAQUE))
        painter_.fillRect(QRectF(x0, y0 - ascent, width, ascent + descent), s.bkColor);
    painter_.setFont(font);
    painter_.setPen(s.textColor);
    if (dx) {
        double x = x0;
        for (int i = 0; i < text.size(); ++i) {
            if (text[i].isLowSurrogate()) {
                x += (*dx)[std::size_t(i)] * scale;
                continue;
            }
            const bool pair = text[i].isHighSurrogate() && i + 1 < text.size();
            painter_.drawText(QPointF(x, y0), text.mid(i, pair ? 2 : 1));
            x += (*dx)[std::size_t(i)] * scale;
        }
    } else {
        painter_.drawText(QPointF(x0, y0), text);
    }
    painter_.resetTransform();

    if (s.textAlign & TA_UPDATECP) {
        const double advance = width / scale;
        if ((s.textAlign & 6) == 0)
            s.position.rx() += advance;
        else if ((s.textAlign & 6) == TA_RIGHT)
            s.position.rx() -= advance;
    }
}

// ---- bitmaps ----

void GdiPlayer::patBlt(QRectF destination, std::uint32_t rop) {
    if (!applyClip())
        return;
    const QPainterPath area = logicalToTarget().map(rectPath(destination));
    chargeArea(area.boundingRect());
    switch (rop) {
    case 0x00000042: // BLACKNESS
        painter_.fillPath(area, Qt::black);
        break;
    case 0x00FF0062: // WHITENESS
        painter_.fillPath(area, Qt::white);
        break;
    case 0x00550009: // DSTINVERT
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter_.fillPath(area, Qt::black);
        break;
    case 0x005A0049: // PATINVERT
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter_.fillPath(area, targetBrush(s.brush));
        break;
    case 0x00AA0029: // the destination as it is
        break;
    default: // PATCOPY and the rest: the brush
        if (s.brush.style != BS_NULL)
            painter_.fillPath(area, targetBrush(s.brush));
    }
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setRenderHint(QPainter::Antialiasing, true);
}

void GdiPlayer::drawBitmap(QRectF destination, const QImage& image, QRectF source,
                           std::uint32_t rop) {
    switch (rop) {
    case 0x00000042:
    case 0x00FF0062:
    case 0x00550009:
    case 0x005A0049:
    case 0x00F00021:
    case 0x00AA0029:
        patBlt(destination, rop);
        return;
    default:
        break;
    }
    if (image.isNull() || destination.width() == 0 || destination.height() == 0 ||
        source.width() == 0 || source.height() == 0)
        return;
    if (!applyClip())
        return;
    QImage picture = image;
    // Negative extents mirror the picture.
    const bool mirrorX = (destination.width() < 0) != (source.width() < 0);
    const bool mirrorY = (destination.height() < 0) != (source.height() < 0);
    source = source.normalized();
    destination = destination.normalized();
    if (mirrorX || mirrorY) {
        picture = image.copy(source.toAlignedRect()).mirrored(mirrorX, mirrorY);
        source = QRectF(0, 0, picture.width(), picture.height());
    }
    const QTransform t = logicalToTarget();
    const QRectF onTarget = t.mapRect(destination);
    const bool exact = t.type() <= QTransform::TxTranslate &&
                       std::abs(onTarget.width() - source.width()) < 1e-6 &&
                       std::abs(onTarget.height() - source.height()) < 1e-6;
    chargeArea(onTarget);
    painter_.setTransform(t);
    const QPainter::CompositionMode mode = ropMode(rop);
    painter_.setCompositionMode(mode);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, !exact && !rasterOp(mode));
    painter_.setRenderHint(QPainter::Antialiasing, !exact && !rasterOp(mode));
    painter_.drawImage(destination, picture, source);
    painter_.resetTransform();
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setRenderHint(QPainter::Antialiasing, true);
}

void GdiPlayer::drawBitmapAlpha(QRectF destination, const QImage& image, QRectF source,
                                int constantAlpha) {
    if (image.isNull() || !applyClip())
        return;
    chargeArea(logicalToTarget().mapRect(destination.normalized()));
    painter_.setTransform(logicalToTarget());
    painter_.setOpacity(std::clamp(constantAlpha, 0, 255) / 255.0);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_.drawImage(destination.normalized(), image, source.normalized());
    painter_.setOpacity(1);
    painter_.resetTransform();
}

void GdiPlayer::gradientRect(QRectF logical, QColor from, QColor to, bool vertical) {
    if (!applyClip())
        return;
    const QTransform t = logicalToTarget();
    const QRectF r = logical.normalized();
    QLinearGradient gradient(t.map(r.topLeft()), t.map(vertical ? r.bottomLeft() : r.topRight()));
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter_.fillPath(t.map(rectPath(r)), gradient);
}

void GdiPlayer::gradientTriangle(const QPointF (&points)[3], const QColor (&colors)[3]) {
    if (!applyClip())
        return;
    // A triangle takes the mean of its corner colours.
    const QColor mean((colors[0].red() + colors[1].red() + colors[2].red()) / 3,
                      (colors[0].green() + colors[1].green() + colors[2].green()) / 3,
                      (colors[0].blue() + colors[1].blue() + colors[2].blue()) / 3);
    QPainterPath p;
    p.addPolygon(QPolygonF({points[0], points[1], points[2]}));
    p.closeSubpath();
    painter_.fillPath(logicalToTarget().map(p), mean);
}

} // namespace pictorant::metafile
