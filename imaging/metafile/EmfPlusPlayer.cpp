#include "imaging/metafile/EmfPlusPlayer.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <cmath>
#include <functional>

#include "imaging/metafile/Dib.h"
#include "imaging/metafile/GdiPlayer.h"
#include "imaging/metafile/QuietImageReader.h"

namespace pictorant::metafile {

namespace {

enum Record : std::uint16_t {
    Header = 0x4001,
    EndOfFile = 0x4002,
    ObjectRecord = 0x4008,
    Clear = 0x4009,
    FillRects = 0x400A,
    DrawRects = 0x400B,
    FillPolygon = 0x400C,
    DrawLines = 0x400D,
    FillEllipse = 0x400E,
    DrawEllipse = 0x400F,
    FillPie = 0x4010,
    DrawPie = 0x4011,
    DrawArc = 0x4012,
    FillRegion = 0x4013,
    FillPath = 0x4014,
    DrawPath = 0x4015,
    FillClosedCurve = 0x4016,
    DrawClosedCurve = 0x4017,
    DrawCurve = 0x4018,
    DrawBeziers = 0x4019,
    DrawImage = 0x401A,
    DrawImagePoints = 0x401B,
    DrawString = 0x401C,
    Save = 0x4025,
    Restore = 0x4026,
    BeginContainer = 0x4027,
    BeginContainerNoParams = 0x4028,
    EndContainer = 0x4029,
    SetWorldTransform = 0x402A,
    ResetWorldTransform = 0x402B,
    MultiplyWorldTransform = 0x402C,
    TranslateWorldTransform = 0x402D,
    ScaleWorldTransform = 0x402E,
    RotateWorldTransform = 0x402F,
    SetPageTransform = 0x4030,
    ResetClip = 0x4031,
    SetClipRect = 0x4032,
    SetClipPath = 0x4033,
    SetClipRegion = 0x4034,
    OffsetClip = 0x4035,
    DrawDriverString = 0x4036,
};

enum ObjectKind { BrushKind = 1, PenKind, PathKind, RegionKind, ImageKind, FontKind, FormatKind };

constexpr std::uint16_t kColourFlag = 0x8000;     // the brush field is a colour
constexpr std::uint16_t kCompressedFlag = 0x4000; // 16-bit integer coordinates
constexpr std::uint16_t kAppendFlag = 0x2000;     // post-multiply the world transform
constexpr std::uint16_t kRelativeFlag = 0x0800;   // points as deltas from the one before
constexpr std::uint32_t kMaxPoints = 1u << 20;
constexpr std::uint32_t kMaxObjectBytes = 1u << 26;

QColor argb(std::uint32_t v) {
    return QColor::fromRgba(v);
}

bool finite(std::initializer_list<double> values) {
    for (double v : values)
        if (!std::isfinite(v) || std::abs(v) > 1e9)
            return false;
    return true;
}

QTransform matrix(const ByteReader& r, std::uint64_t at) {
    const QTransform m(r.f32(at), r.f32(at + 4), r.f32(at + 8), r.f32(at + 12), r.f32(at + 16),
                       r.f32(at + 20));
    if (!finite({m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy()}))
        return {};
    return m;
}

// A region as large as any target: what "no clip" combines with.
QPainterPath infinite() {
    QPainterPath p;
    p.addRect(QRectF(-1e7, -1e7, 2e7, 2e7));
    return p;
}

QPainterPath combine(const QPainterPath& a, const QPainterPath& b, int mode) {
    switch (mode) {
    case 1: // intersect
        return a.intersected(b);
    case 2: // union
        return a.united(b);
    case 3: // xor
        return a.united(b).subtracted(a.intersected(b));
    case 4: // exclude
        return a.subtracted(b);
    case 5: // complement
        return b.subtracted(a);
    default: // replace
        return b;
    }
}

// A cardinal spline through the points as cubic Bezier segments.
QPainterPath curve(const QVector<QPointF>& p, double tension, bool closed) {
    QPainterPath path;
    const qsizetype n = p.size();
    if (n < 2)
        return path;
    path.moveTo(p[0]);
    const double t = tension / 3;
    auto at = [&](qsizetype i) {
        if (closed)
            return p[(i % n + n) % n];
        return p[std::clamp<qsizetype>(i, 0, n - 1)];
    };
    const qsizetype segments = closed ? n : n - 1;
    for (qsizetype i = 0; i < segments; ++i)
        path.cubicTo(at(i) + t * (at(i + 1) - at(i - 1)), at(i + 1) - t * (at(i + 2) - at(i)),
                     at(i + 1));
    if (closed)
        path.closeSubpath();
    return path;
}

Qt::BrushStyle hatch(std::uint32_t style) {
    // Past the six plain hatches come the many percentage and weave styles: a medium dither.
    return style < 6 ? hatchStyle(int(style)) : Qt::Dense4Pattern;
}

} // namespace

std::optional<bool> emfplus::headerIsDual(const ByteReader& records) {
    if (!records.has(0, 12) || records.u16(0) != kHeader)
        return std::nullopt;
    return (records.u16(2) & 1) != 0;
}

EmfPlusPlayer::EmfPlusPlayer(QPainter& painter, const QTransform& deviceToTarget)
    : painter_(painter), deviceToTarget_(deviceToTarget) {}

bool EmfPlusPlayer::play(const ByteReader& records) {
    std::uint64_t offset = 0;
    while (!ended_ && records.has(offset, 12)) {
        const std::uint16_t type = records.u16(offset), flags = records.u16(offset + 2);
        const std::uint64_t size = records.u32(offset + 4), dataSize = records.u32(offset + 8);
        if (size < 12 || size % 4 || !records.has(offset, size) || dataSize > size - 12)
            return false;
        work_ += 2000 + double(size);
        try {
            record(type, flags, records.sub(offset + 12, dataSize));
        } catch (const OutOfBounds&) {
            return false;
        }
        offset += size;
    }
    return true;
}

double EmfPlusPlayer::unitScale(int unit) const {
    switch (unit) {
    case 3: // point
        return dpi_.x() / 72;
    case 4: // inch
        return dpi_.x();
    case 5: // document, 1/300 inch
        return dpi_.x() / 300;
    case 6: // millimetre
        return dpi_.x() / 25.4;
    default: // world, display, pixel
        return 1;
    }
}

QTransform EmfPlusPlayer::toDevice() const {
    const double k = s_.pageScale * unitScale(s_.pageUnit);
    return s_.world * QTransform::fromScale(k, k * dpi_.y() / dpi_.x());
}

void EmfPlusPlayer::fillOrStroke(const QPainterPath& world, bool filling, std::uint16_t flags,
                                 std::uint32_t brush) {
    if (filling)
        fill(world, brushFor(flags, brush));
    else if (const PenObj* pen = penAt(flags & 0xFF))
        stroke(world, *pen);
}

QRectF EmfPlusPlayer::rect(const ByteReader& r, std::uint64_t at, bool compressed) const {
    if (compressed)
        return QRectF(r.i16(at), r.i16(at + 2), r.i16(at + 4), r.i16(at + 6));
    const QRectF out(r.f32(at), r.f32(at + 4), r.f32(at + 8), r.f32(at + 12));
    return finite({out.x(), out.y(), out.width(), out.height()}) ? out : QRectF();
}

QVector<QPointF> EmfPlusPlayer::points(const ByteReader& r, std::uint64_t at, std::uint64_t count,
                                       std::uint16_t flags) const {
    if (count > kMaxPoints)
        throw OutOfBounds{};
    QVector<QPointF> out;
    out.reserve(qsizetype(count));
    if (flags & kRelativeFlag) {
        // Each coordinate is 7 bits in one byte or 15 bits in two, signed.
        auto coordinate = [&](std::uint64_t& p) {
            const std::uint8_t b = r.u8(p++);
            if (!(b & 0x80))
                return double(std::int8_t(std::uint8_t(b << 1)) >> 1);
            const int v = ((b & 0x7F) << 8) | r.u8(p++);
            return double(v & 0x4000 ? v - 0x8000 : v);
        };
        QPointF last;
        std::uint64_t p = at;
        for (std::uint64_t i = 0; i < count; ++i) {
            const double dx = coordinate(p);
            last += QPointF(dx, coordinate(p));
            out.push_back(last);
        }
        return out;
    }
    const bool small = flags & kCompressedFlag;
    r.require(at, count * (small ? 4 : 8));
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t p = at + i * (small ? 4 : 8);
        const QPointF q = small ? QPointF(r.i16(p), r.i16(p + 2)) : QPointF(r.f32(p), r.f32(p + 4));
        out.push_back(finite({q.x(), q.y()}) ? q : QPointF());
    }
    return out;
}

// ---- objects ----

void EmfPlusPlayer::object(std::uint16_t flags, const ByteReader& data) {
    const int id = flags & 0xFF, kind = (flags >> 8) & 0x7F;
    if (id >= int(objects_.size()))
        return;
    if (flags & 0x8000) { // continued in the next record; the whole size comes first
        if (partial_.empty())
            partialSize_ = std::min(data.u32(0), kMaxObjectBytes);
        const ByteReader piece = data.from(4);
        if (partial_.size() + piece.size() > kMaxObjectBytes)
            throw OutOfBounds{};
        partial_.insert(partial_.end(), piece.data(), piece.data() + piece.size());
        if (partial_.size() < partialSize_)
            return;
    } else if (!partial_.empty()) {
        partial_.insert(partial_.end(), data.data(), data.data() + data.size());
    }
    if (partial_.empty()) {
        objects_[std::size_t(id)] = parseObject(kind, data);
        return;
    }
    const std::vector<std::uint8_t> whole = std::move(partial_);
    partial_.clear();
    objects_[std::size_t(id)] = parseObject(kind, ByteReader(whole));
}

EmfPlusPlayer::Object EmfPlusPlayer::parseObject(int kind, const ByteReader& data) const {
    try {
        switch (kind) {
        case BrushKind:
            return parseBrush(data);
        case PenKind:
            return parsePen(data);
        case PathKind:
            return parsePath(data);
        case RegionKind: {
            // Nodes: combinations of two nodes, rectangles, paths, empty and infinite.
            std::uint64_t at = 8;
            int budget = 256;
            std::function<QPainterPath()> node = [&]() -> QPainterPath {
                if (--budget < 0)
                    throw OutOfBounds{};
                const std::uint32_t type = data.u32(at);
                at += 4;
                if (type >= 1 && type <= 5) {
                    const QPainterPath left = node();
                    return combine(left, node(), int(type));
                }
                QPainterPath p;
                if (type == 0x10000000) {
                    p.addRect(rect(data, at, false));
                    at += 16;
                } else if (type == 0x10000001) {
                    const std::uint64_t size = data.u32(at);
                    p = parsePath(data.sub(at + 4, size));
                    at += 4 + size;
                } else if (type == 0x10000003) {
                    p = infinite();
                } else if (type != 0x10000002) {
                    throw OutOfBounds{};
                }
                return p;
            };
            QPainterPath region = node();
            region.setFillRule(Qt::WindingFill);
            return region;
        }
        case ImageKind: {
            QImage image = parseImage(data);
            if (image.isNull())
                return std::monostate{};
            return image;
        }
        case FontKind:
            return parseFont(data);
        case FormatKind:
            return FormatObj{int(data.u32(12)), int(data.u32(16))};
        default:
            return std::monostate{};
        }
    } catch (const OutOfBounds&) {
        return std::monostate{};
    }
}

QBrush EmfPlusPlayer::parseBrush(const ByteReader& r) const {
    const std::uint32_t type = r.u32(4);
    switch (type) {
    case 0: // solid
        return QBrush(argb(r.u32(8)));
    case 1: { // hatch: the pattern in the fore colour over the back colour
        QImage tile(8, 8, QImage::Format_ARGB32_Premultiplied);
        tile.fill(argb(r.u32(16)));
        QPainter p(&tile);
        p.fillRect(tile.rect(), QBrush(argb(r.u32(12)), hatch(r.u32(8))));
        p.end();
        return QBrush(tile);
    }
    case 2: { // texture
        const std::uint32_t flags = r.u32(8);
        std::uint64_t at = 16;
        QTransform t;
        if (flags & 0x02) {
            t = matrix(r, at);
            at += 24;
        }
        const QImage image = parseImage(r.from(at));
        if (image.isNull())
            return QBrush(Qt::gray);
        QBrush b(image);
        b.setTransform(t);
        return b;
    }
    case 3: { // path gradient: the mean of the centre and the first surrounding colour
        const QColor centre = argb(r.u32(16));
        const QColor edge = r.u32(28) > 0 ? argb(r.u32(32)) : centre;
        return QBrush(QColor((centre.red() + edge.red()) / 2, (centre.green() + edge.green()) / 2,
                             (centre.blue() + edge.blue()) / 2,
                             (centre.alpha() + edge.alpha()) / 2));
    }
    case 4: { // linear gradient across its rectangle; blends and presets are left out
        const std::uint32_t flags = r.u32(8), wrap = r.u32(12);
        const QRectF box = rect(r, 16, false);
        QLinearGradient g(box.topLeft(), box.topRight());
        g.setColorAt(0, argb(r.u32(32)));
        g.setColorAt(1, argb(r.u32(36)));
        g.setSpread(wrap == 0  ? QGradient::RepeatSpread
                    : wrap < 4 ? QGradient::ReflectSpread
                               : QGradient::PadSpread);
        QBrush b(g);
        if (flags & 0x02)
            b.setTransform(matrix(r, 48));
        return b;
    }
    default:
        return QBrush(Qt::black);
    }
}

EmfPlusPlayer::PenObj EmfPlusPlayer::parsePen(const ByteReader& r) const {
    const std::uint32_t flags = r.u32(8);
    const int unit = int(r.u32(12));
    const double width = r.f32(16);
    std::uint64_t at = 20;
    QPen pen;
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    auto cap = [](std::int32_t c) {
        return c == 1 ? Qt::SquareCap : c == 2 ? Qt::RoundCap : Qt::FlatCap;
    };
    QTransform penTransform;
    if (flags & 0x01) {
        penTransform = matrix(r, at);
        at += 24;
    }
    if (flags & 0x02) {
        pen.setCapStyle(cap(r.i32(at)));
        at += 4;
    }
    if (flags & 0x04)
        at += 4; // the end cap follows the start cap in Qt's single cap
    if (flags & 0x08) {
        const std::uint32_t join = r.u32(at);
        pen.setJoinStyle(join == 1 ? Qt::BevelJoin : join == 2 ? Qt::RoundJoin : Qt::MiterJoin);
        at += 4;
    }
    if (flags & 0x10) {
        const double limit = r.f32(at);
        if (std::isfinite(limit) && limit > 0)
            pen.setMiterLimit(std::min(limit, 100.0));
        at += 4;
    }
    if (flags & 0x20) {
        static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                              Qt::DashDotLine, Qt::DashDotDotLine};
        const std::int32_t style = r.i32(at);
        if (style >= 0 && style < 5)
            pen.setStyle(styles[style]);
        at += 4;
    }
    if (flags & 0x40)
        at += 4; // dashed line cap
    if (flags & 0x80)
        at += 4;         // dash offset
    if (flags & 0x100) { // dash lengths in pen widths
        const std::uint64_t count = r.u32(at);
        r.require(at + 4, count * 4);
        QList<qreal> dashes;
        for (std::uint64_t i = 0; i < count && i < 64; ++i) {
            const double d = r.f32(at + 4 + 4 * i);
            dashes.push_back(std::isfinite(d) ? std::clamp(d, 0.1, 1000.0) : 1.0);
        }
        if (dashes.size() % 2)
            dashes.push_back(dashes.back());
        if (!dashes.isEmpty())
            pen.setDashPattern(dashes);
        at += 4 + count * 4;
    }
    if (flags & 0x200)
        at += 4; // alignment
    if (flags & 0x400) {
        const std::uint64_t count = r.u32(at);
        r.require(at + 4, count * 4);
        at += 4 + count * 4; // compound lines are drawn as one
    }
    if (flags & 0x800)
        at += 4 + std::uint64_t(r.u32(at));
    if (flags & 0x1000)
        at += 4 + std::uint64_t(r.u32(at));
    PenObj out;
    pen.setBrush(parseBrush(r.from(at)));
    // The width is kept in the pen's unit; stroke() turns it into world units.
    const double scale = std::sqrt(std::abs(penTransform.determinant()));
    pen.setWidthF(std::isfinite(width) ? std::clamp(width * (scale > 0 ? scale : 1), 0.0, 1e6) : 0);
    out.pen = pen;
    out.unit = unit;
    return out;
}

QPainterPath EmfPlusPlayer::parsePath(const ByteReader& r) const {
    const std::uint64_t count = r.u32(4);
    const std::uint32_t flags = r.u32(8);
    const QVector<QPointF> pts = points(r, 12, count, std::uint16_t(flags));
    std::uint64_t typesAt = 12;
    if (flags & kRelativeFlag) {
        // Walk the variable-length deltas again to find their end.
        for (std::uint64_t i = 0; i < 2 * count; ++i)
            typesAt += (r.u8(typesAt) & 0x80) ? 2 : 1;
    } else {
        typesAt += count * ((flags & kCompressedFlag) ? 4 : 8);
    }
    std::vector<std::uint8_t> types;
    types.reserve(std::size_t(count));
    if (flags & 0x1000) { // run-length encoded types
        std::uint64_t at = typesAt;
        while (types.size() < count) {
            const std::uint8_t run = r.u8(at) & 0x3F, type = r.u8(at + 1);
            if (run == 0)
                throw OutOfBounds{};
            types.insert(types.end(), std::min<std::size_t>(run, count - types.size()), type);
            at += 2;
        }
    } else {
        r.require(typesAt, count);
        types.assign(r.data() + typesAt, r.data() + typesAt + count);
    }
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (std::size_t i = 0; i < std::size_t(pts.size()); ++i) {
        const int kind = types[i] & 0x07;
        if (kind == 0 || path.elementCount() == 0) {
            path.moveTo(pts[qsizetype(i)]);
        } else if (kind == 3 && i + 2 < std::size_t(pts.size())) {
            path.cubicTo(pts[qsizetype(i)], pts[qsizetype(i + 1)], pts[qsizetype(i + 2)]);
            i += 2;
        } else {
            path.lineTo(pts[qsizetype(i)]);
        }
        if (types[i] & 0x80)
            path.closeSubpath();
    }
    return path;
}

QImage EmfPlusPlayer::parseImage(const ByteReader& r) const {
    if (r.u32(4) != 1) // only bitmaps; embedded metafiles are left out
        return {};
    const std::int64_t w = r.i32(8), h = r.i32(12), stride = r.i32(16);
    const std::uint32_t format = r.u32(20), type = r.u32(24);
    const ByteReader bits = r.from(28);
    if (type == 1)
        return readEmbeddedImage(bits);
    if (w <= 0 || h <= 0 || w * h > kMaxDibPixels || stride <= 0)
        return {};
    const int depth = (format >> 8) & 0xFF;
    QVector<QRgb> palette;
    std::uint64_t at = 0;
    if (format & 0x00010000) { // indexed: a palette comes first
        const std::uint64_t count = std::min<std::uint64_t>(bits.u32(4), 256);
        for (std::uint64_t i = 0; i < count; ++i)
            palette.push_back(bits.u32(8 + 4 * i));
        at = 8 + 4 * std::uint64_t(bits.u32(4));
    }
    bits.require(at, std::uint64_t(stride) * std::uint64_t(h));
    if (std::uint64_t(stride) * 8 < std::uint64_t(w) * depth || depth == 0)
        return {};
    const bool alpha = format == 0x0026200A || format == 0x000E200B;
    QImage image(int(w), int(h),
                 format == 0x000E200B ? QImage::Format_ARGB32_Premultiplied
                 : alpha              ? QImage::Format_ARGB32
                                      : QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = bits.data() + at + std::uint64_t(y) * std::uint64_t(stride);
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            QRgb v = 0xFF000000;
            switch (depth) {
            case 32:
                v = row[4 * x] | row[4 * x + 1] << 8 | row[4 * x + 2] << 16 |
                    QRgb(alpha ? row[4 * x + 3] : 0xFF) << 24;
                break;
            case 24:
                v = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                break;
            case 16: {
                const int p = row[2 * x] | row[2 * x + 1] << 8;
                v = (format & 0xFF) == 0x06
                        ? qRgb((p >> 11) << 3, ((p >> 5) & 0x3F) << 2, (p & 0x1F) << 3)
                        : qRgb(((p >> 10) & 0x1F) << 3, ((p >> 5) & 0x1F) << 3, (p & 0x1F) << 3);
                break;
            }
            case 8:
            case 4:
            case 1: {
                const int perByte = 8 / depth;
                const int index = (row[x / perByte] >> ((perByte - 1 - x % perByte) * depth)) &
                                  ((1 << depth) - 1);
                v = index < palette.size() ? palette[index] : qRgb(0, 0, 0);
                break;
            }
            default:
                return {};
            }
            out[x] = v;
        }
    }
    return image;
}

EmfPlusPlayer::FontObj EmfPlusPlayer::parseFont(const ByteReader& r) const {
    FontObj out;
    out.emSize = r.f32(4);
    out.unit = int(r.u32(8));
    const std::uint32_t style = r.u32(12);
    const std::uint64_t length = std::min<std::uint64_t>(r.u32(20), 64);
    QString face;
    for (std::uint64_t i = 0; i < length; ++i)
        face.push_back(QChar(r.u16(24 + 2 * i)));
    out.font = QFont(face.isEmpty() ? QStringLiteral("Arial") : face);
    out.font.setBold(style & 1);
    out.font.setItalic(style & 2);
    out.font.setUnderline(style & 4);
    out.font.setStrikeOut(style & 8);
    if (!std::isfinite(out.emSize) || out.emSize <= 0 || out.emSize > 1e6)
        out.emSize = 0;
    return out;
}

// ---- drawing ----

QBrush EmfPlusPlayer::brushFor(std::uint16_t flags, std::uint32_t value) const {
    if (flags & kColourFlag)
        return QBrush(argb(value));
    if (const QBrush* b = at<QBrush>(value))
        return *b;
    return Qt::NoBrush;
}

const EmfPlusPlayer::PenObj* EmfPlusPlayer::penAt(std::uint32_t id) const {
    return at<PenObj>(id);
}

bool EmfPlusPlayer::begin() {
    painter_.save();
    if (s_.clip) {
        if (s_.clip->isEmpty()) {
            painter_.restore();
            return false;
        }
        painter_.setClipPath(deviceToTarget_.map(*s_.clip));
    } else {
        painter_.setClipping(false);
    }
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_.setTransform(toDevice() * deviceToTarget_);
    return true;
}

void EmfPlusPlayer::chargeArea(const QRectF& world) {
    const QPaintDevice* device = painter_.device();
    const QRectF seen = painter_.transform().mapRect(world).intersected(
        QRectF(0, 0, device->width(), device->height()));
    if (seen.isValid())
        work_ += seen.width() * seen.height();
}

void EmfPlusPlayer::end() {
    painter_.restore();
}

void EmfPlusPlayer::fill(const QPainterPath& world, const QBrush& brush) {
    if (brush.style() == Qt::NoBrush || !begin())
        return;
    chargeArea(world.controlPointRect());
    painter_.fillPath(world, brush);
    end();
}

void EmfPlusPlayer::stroke(const QPainterPath& world, const PenObj& pen) {
    if (!begin())
        return;
    QPen p = pen.pen;
    // A width in a page unit is turned into world units under the present transform.
    if (pen.unit != 0) {
        const double worldScale = std::sqrt(std::abs(toDevice().determinant()));
        p.setWidthF(worldScale > 0 ? p.widthF() * unitScale(pen.unit) / worldScale : 0);
    }
    const double w = p.widthF();
    chargeArea(world.controlPointRect().adjusted(-w, -w, w, w));
    painter_.strokePath(world, p);
    end();
}

void EmfPlusPlayer::drawImage(const QImage& image, QRectF source, const QPointF (&c)[3]) {
    if (source.width() == 0 || source.height() == 0 || !begin())
        return;
    const QPointF u = (c[1] - c[0]) / source.width(), v = (c[2] - c[0]) / source.height();
    const QTransform place(u.x(), u.y(), v.x(), v.y(),
                           c[0].x() - source.x() * u.x() - source.y() * v.x(),
                           c[0].y() - source.x() * u.y() - source.y() * v.y());
    painter_.setTransform(place * painter_.transform());
    chargeArea(source);
    painter_.drawImage(source, image, source);
    end();
}

bool EmfPlusPlayer::beginText(const FontObj& font, const QBrush& brush, bool nothing, double& k) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        ++textSkipped_;
        return false;
    }
    if (font.emSize <= 0 || nothing || !begin())
        return false;
    // Text is laid out in target pixels so that small world units keep their precision.
    const QTransform t = painter_.transform();
    k = std::sqrt(std::abs(t.determinant()));
    const double em = font.unit == 0
                          ? font.emSize
                          : font.emSize * unitScale(font.unit) /
                                std::max(1e-9, std::sqrt(std::abs(toDevice().determinant())));
    if (!(k > 0) || !std::isfinite(k) || em * k > 1e4) {
        end();
        return false;
    }
    painter_.setTransform(QTransform::fromScale(1 / k, 1 / k) * t);
    QFont f = font.font;
    f.setPointSizeF(std::max(em * k, 0.01) * 72.0 / 96.0);
    painter_.setFont(f);
    painter_.setPen(QPen(brush, 0));
    return true;
}

void EmfPlusPlayer::drawString(const FontObj& font, const QBrush& brush, const QString& text,
                               QRectF layout, const FormatObj* format) {
    double k = 1;
    if (!beginText(font, brush, text.isEmpty(), k))
        return;
    const QRectF box(layout.x() * k, layout.y() * k, layout.width() * k, layout.height() * k);
    int align = Qt::AlignLeft | Qt::AlignTop;
    if (format) {
        align = (format->align == 1   ? Qt::AlignHCenter
                 : format->align == 2 ? Qt::AlignRight
                                      : Qt::AlignLeft) |
                (format->lineAlign == 1   ? Qt::AlignVCenter
                 : format->lineAlign == 2 ? Qt::AlignBottom
                                          : Qt::AlignTop);
    }
    if (box.width() > 0 && box.height() > 0)
        painter_.drawText(box, align | Qt::TextWordWrap, text);
    else
        painter_.drawText(QRectF(box.topLeft(), QSizeF(0, 0)), align | Qt::TextDontClip, text);
    end();
}

void EmfPlusPlayer::drawGlyphs(const FontObj& font, const QBrush& brush, const QString& text,
                               const QVector<QPointF>& positions) {
    double k = 1;
    if (!beginText(font, brush, text.isEmpty() || positions.isEmpty(), k))
        return;
    if (positions.size() < text.size()) { // one origin: the font's own advances
        painter_.drawText(positions[0] * k, text);
    } else {
        for (qsizetype i = 0; i < text.size(); ++i)
            painter_.drawText(positions[i] * k, QString(text[i]));
    }
    end();
}

void EmfPlusPlayer::setClip(const QPainterPath& device, int mode) {
    QPainterPath p = device;
    p.setFillRule(Qt::WindingFill);
    if (mode == 0)
        s_.clip = p;
    else
        s_.clip = combine(s_.clip ? *s_.clip : infinite(), p, mode);
}

void EmfPlusPlayer::record(std::uint16_t type, std::uint16_t flags, const ByteReader& r) {
    const bool small = flags & kCompressedFlag;
    switch (type) {
    case Header: {
        const double x = r.u32(8), y = r.u32(12);
        if (x >= 1 && x <= 10000 && y >= 1 && y <= 10000)
            dpi_ = QPointF(x, y);
        break;
    }
    case EndOfFile:
        ended_ = true;
        break;
    case ObjectRecord:
        object(flags, r);
        break;
    case Clear:
        if (begin()) {
            painter_.resetTransform();
            painter_.setCompositionMode(QPainter::CompositionMode_Source);
            painter_.fillRect(painter_.window(), argb(r.u32(0)));
            end();
        }
        break;

    case FillRects:
    case DrawRects: {
        const bool filling = type == FillRects;
        const std::uint64_t count = r.u32(filling ? 4 : 0), at = filling ? 8 : 4;
        if (count > kMaxPoints)
            throw OutOfBounds{};
        r.require(at, count * (small ? 8 : 16));
        QPainterPath path;
        for (std::uint64_t i = 0; i < count; ++i)
            path.addRect(rect(r, at + i * (small ? 8 : 16), small));
        fillOrStroke(path, filling, flags, r.u32(0));
        break;
    }
    case FillPolygon: {
        QPainterPath path;
        path.addPolygon(QPolygonF(points(r, 8, r.u32(4), flags)));
        path.closeSubpath();
        fill(path, brushFor(flags, r.u32(0)));
        break;
    }
    case DrawLines: {
        QPainterPath path;
        path.addPolygon(QPolygonF(points(r, 4, r.u32(0), flags)));
        if (flags & 0x2000)
            path.closeSubpath();
        if (const PenObj* pen = penAt(flags & 0xFF))
            stroke(path, *pen);
        break;
    }
    case DrawBeziers: {
        const QVector<QPointF> p = points(r, 4, r.u32(0), flags);
        QPainterPath path;
        if (!p.isEmpty())
            path.moveTo(p[0]);
        for (qsizetype i = 1; i + 2 < p.size(); i += 3)
            path.cubicTo(p[i], p[i + 1], p[i + 2]);
        if (const PenObj* pen = penAt(flags & 0xFF))
            stroke(path, *pen);
        break;
    }
    case FillClosedCurve:
    case DrawClosedCurve:
    case DrawCurve: {
        const std::uint64_t at = type == FillClosedCurve ? 4 : 0;
        const double tension = r.f32(at);
        const std::uint64_t countAt = type == DrawCurve ? at + 12 : at + 4;
        QPainterPath path = curve(points(r, countAt + 4, r.u32(countAt), flags),
                                  std::isfinite(tension) ? tension : 0.5, type != DrawCurve);
        fillOrStroke(path, type == FillClosedCurve, flags, r.u32(0));
        break;
    }
    case FillEllipse:
    case DrawEllipse: {
        QPainterPath path;
        path.addEllipse(rect(r, type == FillEllipse ? 4 : 0, small));
        fillOrStroke(path, type == FillEllipse, flags, r.u32(0));
        break;
    }
    case FillPie:
    case DrawPie:
    case DrawArc: {
        const std::uint64_t at = type == FillPie ? 4 : 0;
        const double start = r.f32(at), sweep = r.f32(at + 4);
        const QRectF box = rect(r, at + 8, small);
        if (!finite({start, sweep}))
            break;
        QPainterPath path;
        if (type == DrawArc) {
            path.arcMoveTo(box, -start);
            path.arcTo(box, -start, -sweep);
        } else {
            path.moveTo(box.center());
            path.arcTo(box, -start, -sweep);
            path.closeSubpath();
        }
        fillOrStroke(path, type == FillPie, flags, r.u32(0));
        break;
    }
    case FillPath:
    case FillRegion:
        if (const QPainterPath* path = at<QPainterPath>(flags & 0xFF))
            fill(*path, brushFor(flags, r.u32(0)));
        break;
    case DrawPath:
        if (const QPainterPath* path = at<QPainterPath>(flags & 0xFF))
            if (const PenObj* pen = penAt(r.u32(0)))
                stroke(*path, *pen);
        break;

    case DrawImage:
    case DrawImagePoints: {
        const QImage* image = at<QImage>(flags & 0xFF);
        const QRectF source = rect(r, 8, false);
        QPointF corners[3];
        if (type == DrawImage) {
            const QRectF d = rect(r, 24, small);
            corners[0] = d.topLeft();
            corners[1] = d.topRight();
            corners[2] = d.bottomLeft();
        } else {
            if (r.u32(24) != 3)
                break;
            const QVector<QPointF> p = points(r, 28, 3, flags);
            std::copy(p.begin(), p.end(), corners);
        }
        if (image)
            drawImage(*image, source, corners);
        break;
    }
    case DrawString: {
        const FontObj* font = at<FontObj>(flags & 0xFF);
        const std::uint64_t length = std::min<std::uint64_t>(r.u32(8), 1u << 16);
        r.require(28, length * 2);
        QString text;
        for (std::uint64_t i = 0; i < length; ++i)
            text.push_back(QChar(r.u16(28 + 2 * i)));
        if (font)
            drawString(*font, brushFor(flags, r.u32(0)), text, rect(r, 12, false),
                       at<FormatObj>(r.u32(4)));
        break;
    }
    case DrawDriverString: {
        const FontObj* font = at<FontObj>(flags & 0xFF);
        const std::uint32_t options = r.u32(4);
        const std::uint64_t count = std::min<std::uint64_t>(r.u32(12), 1u << 16);
        r.require(16, count * 2);
        // Without a character-map lookup the values are glyph indices of the font,
        // which cannot be turned back into text here.
        if (!font || !(options & 1))
            break;
        QString text;
        for (std::uint64_t i = 0; i < count; ++i)
            text.push_back(QChar(r.u16(16 + 2 * i)));
        const std::uint64_t positions = (options & 4) ? 1 : count;
        drawGlyphs(*font, brushFor(flags, r.u32(0)), text, points(r, 16 + count * 2, positions, 0));
        break;
    }

    case Save:
    case BeginContainerNoParams:
        if (saved_.size() < 4096)
            saved_.emplace_back(r.u32(0), s_);
        break;
    case BeginContainer: {
        if (saved_.size() >= 4096)
            break;
        saved_.emplace_back(r.u32(32), s_);
        const QRectF dest = rect(r, 0, false), src = rect(r, 16, false);
        if (src.width() != 0 && src.height() != 0) {
            const double sx = dest.width() / src.width(), sy = dest.height() / src.height();
            s_.world = QTransform(sx, 0, 0, sy, dest.x() - src.x() * sx, dest.y() - src.y() * sy) *
                       s_.world;
        }
        break;
    }
    case Restore:
    case EndContainer: {
        const std::uint32_t index = r.u32(0);
        for (std::size_t i = saved_.size(); i-- > 0;) {
            if (saved_[i].first == index) {
                s_ = saved_[i].second;
                saved_.resize(i);
                break;
            }
        }
        break;
    }

    case SetWorldTransform:
        s_.world = matrix(r, 0);
        break;
    case ResetWorldTransform:
        s_.world = QTransform();
        break;
    case MultiplyWorldTransform:
    case TranslateWorldTransform:
    case ScaleWorldTransform:
    case RotateWorldTransform: {
        QTransform m;
        if (type == MultiplyWorldTransform) {
            m = matrix(r, 0);
        } else {
            const double a = r.f32(0), b = type == RotateWorldTransform ? 0 : r.f32(4);
            if (!finite({a, b}))
                break;
            if (type == TranslateWorldTransform)
                m.translate(a, b);
            else if (type == ScaleWorldTransform)
                m.scale(a, b);
            else
                m.rotate(a);
        }
        s_.world = (flags & kAppendFlag) ? s_.world * m : m * s_.world;
        break;
    }
    case SetPageTransform: {
        const double scale = r.f32(0);
        s_.pageUnit = flags & 0xFF;
        s_.pageScale = std::isfinite(scale) && scale > 0 && scale < 1e6 ? scale : 1;
        break;
    }

    case ResetClip:
        s_.clip.reset();
        break;
    case SetClipRect: {
        QPainterPath p;
        p.addRect(rect(r, 0, false));
        setClip(toDevice().map(p), (flags >> 8) & 0xF);
        break;
    }
    case SetClipPath:
    case SetClipRegion:
        if (const QPainterPath* path = at<QPainterPath>(flags & 0xFF))
            setClip(toDevice().map(*path), (flags >> 8) & 0xF);
        break;
    case OffsetClip:
        if (s_.clip && finite({r.f32(0), r.f32(4)})) {
            const QPointF d =
                toDevice().map(QPointF(r.f32(0), r.f32(4))) - toDevice().map(QPointF());
            s_.clip->translate(d);
        }
        break;

    default: // rendering hints, comments and the rest draw nothing
        break;
    }
}

} // namespace pictorant::metafile
