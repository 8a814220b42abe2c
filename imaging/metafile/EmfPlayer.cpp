#include <QPainter>
#include <cmath>
#include <memory>

#include "imaging/metafile/Dib.h"
#include "imaging/metafile/EmfPlusPlayer.h"
#include "imaging/metafile/GdiPlayer.h"
#include "imaging/metafile/MetafilePlayer.h"

namespace pictorant::metafile {

namespace {

enum EmfRecord : std::uint32_t {
    EMR_HEADER = 1,
    EMR_POLYBEZIER,
    EMR_POLYGON,
    EMR_POLYLINE,
    EMR_POLYBEZIERTO,
    EMR_POLYLINETO,
    EMR_POLYPOLYLINE,
    EMR_POLYPOLYGON,
    EMR_SETWINDOWEXTEX,
    EMR_SETWINDOWORGEX,
    EMR_SETVIEWPORTEXTEX,
    EMR_SETVIEWPORTORGEX,
    EMR_SETBRUSHORGEX,
    EMR_EOF,
    EMR_SETPIXELV,
    EMR_SETMAPPERFLAGS,
    EMR_SETMAPMODE,
    EMR_SETBKMODE,
    EMR_SETPOLYFILLMODE,
    EMR_SETROP2,
    EMR_SETSTRETCHBLTMODE,
    EMR_SETTEXTALIGN,
    EMR_SETCOLORADJUSTMENT,
    EMR_SETTEXTCOLOR,
    EMR_SETBKCOLOR,
    EMR_OFFSETCLIPRGN,
    EMR_MOVETOEX,
    EMR_SETMETARGN,
    EMR_EXCLUDECLIPRECT,
    EMR_INTERSECTCLIPRECT,
    EMR_SCALEVIEWPORTEXTEX,
    EMR_SCALEWINDOWEXTEX,
    EMR_SAVEDC,
    EMR_RESTOREDC,
    EMR_SETWORLDTRANSFORM,
    EMR_MODIFYWORLDTRANSFORM,
    EMR_SELECTOBJECT,
    EMR_CREATEPEN,
    EMR_CREATEBRUSHINDIRECT,
    EMR_DELETEOBJECT,
    EMR_ANGLEARC,
    EMR_ELLIPSE,
    EMR_RECTANGLE,
    EMR_ROUNDRECT,
    EMR_ARC,
    EMR_CHORD,
    EMR_PIE,
    EMR_SELECTPALETTE,
    EMR_CREATEPALETTE,
    EMR_SETPALETTEENTRIES,
    EMR_RESIZEPALETTE,
    EMR_REALIZEPALETTE,
    EMR_EXTFLOODFILL,
    EMR_LINETO,
    EMR_ARCTO,
    EMR_POLYDRAW,
    EMR_SETARCDIRECTION,
    EMR_SETMITERLIMIT,
    EMR_BEGINPATH,
    EMR_ENDPATH,
    EMR_CLOSEFIGURE,
    EMR_FILLPATH,
    EMR_STROKEANDFILLPATH,
    EMR_STROKEPATH,
    EMR_FLATTENPATH,
    EMR_WIDENPATH,
    EMR_SELECTCLIPPATH,
    EMR_ABORTPATH,
    EMR_GDICOMMENT = 70,
    EMR_FILLRGN,
    EMR_FRAMERGN,
    EMR_INVERTRGN,
    EMR_PAINTRGN,
    EMR_EXTSELECTCLIPRGN,
    EMR_BITBLT,
    EMR_STRETCHBLT,
    EMR_MASKBLT,
    EMR_PLGBLT,
    EMR_SETDIBITSTODEVICE,
    EMR_STRETCHDIBITS,
    EMR_EXTCREATEFONTINDIRECTW,
    EMR_EXTTEXTOUTA,
    EMR_EXTTEXTOUTW,
    EMR_POLYBEZIER16,
    EMR_POLYGON16,
    EMR_POLYLINE16,
    EMR_POLYBEZIERTO16,
    EMR_POLYLINETO16,
    EMR_POLYPOLYLINE16,
    EMR_POLYPOLYGON16,
    EMR_POLYDRAW16,
    EMR_CREATEMONOBRUSH,
    EMR_CREATEDIBPATTERNBRUSHPT,
    EMR_EXTCREATEPEN,
    EMR_POLYTEXTOUTA,
    EMR_POLYTEXTOUTW,
    EMR_SETICMMODE,
    EMR_CREATECOLORSPACE,
    EMR_SETCOLORSPACE,
    EMR_DELETECOLORSPACE,
    EMR_SMALLTEXTOUT = 108,
    EMR_FORCEUFIMAPPING,
    EMR_NAMEDESCAPE,
    EMR_COLORCORRECTPALETTE,
    EMR_SETICMPROFILEA,
    EMR_SETICMPROFILEW,
    EMR_ALPHABLEND,
    EMR_SETLAYOUT,
    EMR_TRANSPARENTBLT,
    EMR_GRADIENTFILL = 118,
    EMR_SETLINKEDUFIS,
    EMR_SETTEXTJUSTIFICATION,
    EMR_COLORMATCHTOTARGETW,
    EMR_CREATECOLORSPACEW
};

// Handle table indices beyond this are ignored rather than allocated.
constexpr std::uint32_t kMaxHandles = 1u << 16;

class EmfFrontEnd {
public:
    EmfFrontEnd(const ByteReader& file, GdiPlayer& gdi, QPainter& painter, PlayBudget& budget)
        : file_(file), gdi_(gdi), painter_(painter), budget_(budget) {}

    void run(MetafilePlayReport& report);
    int textSkipped() const { return gdi_.textSkipped() + (plus_ ? plus_->textSkipped() : 0); }
    double work() const { return gdi_.work() + (plus_ ? plus_->work() : 0); }

private:
    void record(std::uint32_t type, const ByteReader& r, MetafilePlayReport& report);

    static QPointF point32(const ByteReader& r, std::uint64_t at) {
        return QPointF(r.i32(at), r.i32(at + 4));
    }
    static QRectF rect32(const ByteReader& r, std::uint64_t at) {
        return QRectF(QPointF(r.i32(at), r.i32(at + 4)), QPointF(r.i32(at + 8), r.i32(at + 12)));
    }
    static QVector<QPointF> points(const ByteReader& r, std::uint64_t at, std::uint64_t count,
                                   bool small) {
        const std::uint64_t size = small ? 4 : 8;
        r.require(at, count * size);
        QVector<QPointF> out;
        out.reserve(qsizetype(count));
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t p = at + i * size;
            out.push_back(small ? QPointF(r.i16(p), r.i16(p + 2))
                                : QPointF(r.i32(p), r.i32(p + 4)));
        }
        return out;
    }
    static std::vector<QVector<QPointF>> polyPoints(const ByteReader& r, bool small) {
        const std::uint64_t count = r.u32(24), total = r.u32(28);
        r.require(32, count * 4);
        const std::uint64_t pointsAt = 32 + count * 4;
        const std::uint64_t size = small ? 4 : 8;
        r.require(pointsAt, total * size);
        std::vector<QVector<QPointF>> polys;
        std::uint64_t used = 0;
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t n = r.u32(32 + 4 * i);
            if (n > total - used)
                throw OutOfBounds{};
            polys.push_back(points(r, pointsAt + used * size, n, small));
            used += n;
        }
        return polys;
    }

    QImage dib(const ByteReader& r, std::uint64_t offBmi, std::uint64_t cbBmi,
               std::uint64_t offBits, std::uint64_t cbBits, std::uint32_t usage,
               bool keepAlpha = false, bool* bottomUp = nullptr) const;
    QPainterPath region(const ByteReader& r, std::uint64_t at, std::uint64_t size) const;
    void text(const ByteReader& r, bool wide, std::uint64_t at);
    void smallText(const ByteReader& r);
    void blit(std::uint32_t type, const ByteReader& r);
    void plgBlt(const ByteReader& r);
    void gradient(const ByteReader& r);
    void comment(const ByteReader& r);
    // True when the file has no records but its header, comments and end: a dual EMF+
    // file without its fallback.
    bool onlyComments() const;

    GdiObject* object(std::uint32_t index) {
        if (index >= objects_.size())
            return nullptr;
        return &objects_[index];
    }
    void store(std::uint32_t index, GdiObject object) {
        if (index == 0 || index >= kMaxHandles)
            return;
        if (index >= objects_.size())
            objects_.resize(index + 1);
        objects_[index] = std::move(object);
    }

    const ByteReader& file_;
    GdiPlayer& gdi_;
    QPainter& painter_;
    PlayBudget& budget_;
    std::vector<GdiObject> objects_;
    bool plusSeen_ = false;
    // Only for a file whose EMF+ header says it holds EMF+ records only; a dual file
    // is drawn from its GDI records.
    std::unique_ptr<EmfPlusPlayer> plus_;
};

QImage EmfFrontEnd::dib(const ByteReader& r, std::uint64_t offBmi, std::uint64_t cbBmi,
                        std::uint64_t offBits, std::uint64_t cbBits, std::uint32_t usage,
                        bool keepAlpha, bool* bottomUp) const {
    if (cbBmi == 0)
        return {};
    const ByteReader info = r.sub(offBmi, cbBmi);
    const ByteReader bits = r.sub(offBits, cbBits);
    DibOptions options;
    options.paletteIndices = usage == 1;
    options.logicalPalette = &gdi_.s.palette;
    options.keepAlpha = keepAlpha;
    if (bottomUp) {
        DibHeader header;
        *bottomUp = readDibHeader(info, header, options.paletteIndices) && !header.topDown;
    }
    QImage image = decodeDib(info, bits, options);
    gdi_.charge(4.0 * image.width() * image.height());
    return image;
}

void EmfFrontEnd::comment(const ByteReader& r) {
    if (!r.has(12, 4) || r.u32(12) != emfplus::kCommentId || r.u32(8) < 4)
        return;
    const ByteReader records = r.sub(16, r.u32(8) - 4);
    if (!plusSeen_) {
        plusSeen_ = true;
        const std::optional<bool> dual = emfplus::headerIsDual(records);
        if (dual && (!*dual || onlyComments()))
            plus_ = std::make_unique<EmfPlusPlayer>(painter_, gdi_.deviceToTarget());
    }
    if (plus_ && !plus_->play(records))
        throw OutOfBounds{}; // a damaged EMF+ record ends the play like a GDI one
}

bool EmfFrontEnd::onlyComments() const {
    for (std::uint64_t offset = 0; file_.has(offset, 8);) {
        const std::uint32_t type = file_.u32(offset), size = file_.u32(offset + 4);
        if (type == EMR_EOF || size < 8 || size % 4)
            return true;
        if (type != EMR_HEADER && type != EMR_GDICOMMENT)
            return false;
        offset += size;
    }
    return true;
}

QPainterPath EmfFrontEnd::region(const ByteReader& r, std::uint64_t at, std::uint64_t size) const {
    QPainterPath path;
    if (size < 32)
        return path;
    const ByteReader data = r.sub(at, size);
    const std::uint64_t headerSize = std::max<std::uint64_t>(data.u32(0), 32);
    const std::uint64_t count = data.u32(8);
    data.require(headerSize, count * 16);
    for (std::uint64_t i = 0; i < count; ++i)
        path.addRect(rect32(data, headerSize + 16 * i).normalized());
    path.setFillRule(Qt::WindingFill);
    return path;
}

void EmfFrontEnd::text(const ByteReader& r, bool wide, std::uint64_t at) {
    // at: the EMRTEXT structure; its string and spacing offsets count from the record.
    const QPointF reference = point32(r, at);
    const std::uint64_t count = r.u32(at + 8);
    const std::uint64_t offString = r.u32(at + 12);
    const std::uint32_t options = r.u32(at + 16);
    std::optional<QRectF> rect;
    if (options & (gdi::ETO_OPAQUE | gdi::ETO_CLIPPED))
        rect = rect32(r, at + 20);
    const std::uint64_t offDx = r.u32(at + 36);
    QString string;
    if (count > 0) {
        const ByteReader chars = r.sub(offString, count * (wide ? 2 : 1));
        string.reserve(qsizetype(count));
        for (std::uint64_t i = 0; i < count; ++i)
            string.push_back(wide ? QChar(chars.u16(2 * i)) : QChar(char16_t(chars.u8(i))));
    }
    std::vector<double> dx;
    const bool pairs = options & 0x2000; // ETO_PDY: dx, dy pairs
    if (offDx && count && r.has(offDx, count * (pairs ? 8 : 4))) {
        dx.resize(std::size_t(count));
        for (std::uint64_t i = 0; i < count; ++i)
            dx[std::size_t(i)] = r.i32(offDx + i * (pairs ? 8 : 4));
    }
    gdi_.textOut(reference, string, dx.empty() ? nullptr : &dx, options, rect);
}

void EmfFrontEnd::smallText(const ByteReader& r) {
    const QPointF reference = point32(r, 8);
    const std::uint64_t count = r.u32(16);
    const std::uint32_t options = r.u32(20);
    std::uint64_t at = 36;
    std::optional<QRectF> rect;
    if (!(options & 0x100)) { // ETO_NO_RECT
        rect = rect32(r, at);
        at += 16;
    }
    const bool small = options & 0x200; // ETO_SMALL_CHARS: 8-bit characters
    const ByteReader chars = r.sub(at, count * (small ? 1 : 2));
    QString string;
    for (std::uint64_t i = 0; i < count; ++i)
        string.push_back(small ? QChar(char16_t(chars.u8(i))) : QChar(chars.u16(2 * i)));
    gdi_.textOut(reference, string, nullptr, options & 0xFF, rect);
}

void EmfFrontEnd::blit(std::uint32_t type, const ByteReader& r) {
    if (type == EMR_STRETCHDIBITS || type == EMR_SETDIBITSTODEVICE) {
        const QPointF dest = point32(r, 24);
        const double xSrc = r.i32(32), ySrc = r.i32(36), cxSrc = r.i32(40), cySrc = r.i32(44);
        const std::uint32_t usage = r.u32(64);
        bool bottomUp = true;
        const QImage image =
            dib(r, r.u32(48), r.u32(52), r.u32(56), r.u32(60), usage, false, &bottomUp);
        QRectF destination;
        std::uint32_t rop = 0x00CC0020;
        if (type == EMR_STRETCHDIBITS) {
            rop = r.u32(68);
            destination = QRectF(dest.x(), dest.y(), r.i32(72), r.i32(76));
        } else {
            destination = QRectF(dest.x(), dest.y(), cxSrc, cySrc);
        }
        if (image.isNull()) {
            if (r.u32(52) == 0)
                gdi_.patBlt(destination, rop);
            return;
        }
        // The source rectangle of a bottom-up DIB counts rows from its bottom.
        const double top = bottomUp ? image.height() - ySrc - cySrc : ySrc;
        gdi_.drawBitmap(destination, image, QRectF(xSrc, top, cxSrc, cySrc), rop);
        return;
    }
    // BITBLT, STRETCHBLT, MASKBLT, ALPHABLEND, TRANSPARENTBLT share their first fields.
    const QRectF destination(r.i32(24), r.i32(28), r.i32(32), r.i32(36));
    const std::uint32_t rop = r.u32(40);
    const double xSrc = r.i32(44), ySrc = r.i32(48);
    const std::uint32_t usage = r.u32(80);
    double cxSrc = destination.width(), cySrc = destination.height();
    if (type != EMR_BITBLT && type != EMR_MASKBLT) {
        cxSrc = r.i32(100);
        cySrc = r.i32(104);
    }
    const bool alpha = type == EMR_ALPHABLEND && (r.u8(43) & 1); // AC_SRC_ALPHA
    QImage image = dib(r, r.u32(84), r.u32(88), r.u32(92), r.u32(96), usage, alpha);
    if (image.isNull()) {
        // A blit without a bitmap uses only the brush and the destination.
        if ((type == EMR_BITBLT || type == EMR_STRETCHBLT) && r.u32(88) == 0)
            gdi_.patBlt(destination, rop);
        return;
    }
    const QRectF source(xSrc, ySrc, cxSrc, cySrc);
    if (type == EMR_ALPHABLEND) {
        if (alpha) // the pixels are premultiplied by their alpha
            image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
        gdi_.drawBitmapAlpha(destination, image, source, r.u8(42));
    } else if (type == EMR_TRANSPARENTBLT) {
        const QRgb key = gdi_.paletteColor(rop).rgb() & 0xFFFFFF;
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x)
                if ((row[x] & 0xFFFFFF) == key)
                    row[x] = 0;
        }
        gdi_.drawBitmapAlpha(destination, image, source, 255);
    } else if (type == EMR_MASKBLT) {
        // The foreground operation is drawn as a copy of the source where the mask is
        // 1; where it is 0 the destination stays, whatever the background operation.
        const QImage mask = dib(r, r.u32(112), r.u32(116), r.u32(120), r.u32(124), r.u32(108));
        const QRectF d = destination;
        const QPointF corners[3] = {d.topLeft(), d.topRight(), d.bottomLeft()};
        gdi_.drawBitmapOnto(corners, image, source, mask, QPointF(r.i32(100), r.i32(104)));
    } else {
        gdi_.drawBitmap(destination, image, source, rop);
    }
}

void EmfFrontEnd::plgBlt(const ByteReader& r) {
    // Three corners: the images of the source's top-left, top-right and bottom-left.
    const QPointF corners[3] = {point32(r, 24), point32(r, 32), point32(r, 40)};
    const QRectF source(r.i32(48), r.i32(52), r.i32(56), r.i32(60));
    const QImage image = dib(r, r.u32(96), r.u32(100), r.u32(104), r.u32(108), r.u32(92));
    const QImage mask = dib(r, r.u32(124), r.u32(128), r.u32(132), r.u32(136), r.u32(120));
    gdi_.drawBitmapOnto(corners, image, source, mask, QPointF(r.i32(112), r.i32(116)));
}

void EmfFrontEnd::gradient(const ByteReader& r) {
    const std::uint64_t vertices = r.u32(24), meshes = r.u32(28);
    const std::uint32_t mode = r.u32(32);
    r.require(36, vertices * 16);
    auto vertex = [&](std::uint64_t i, QPointF& p, QColor& c) {
        if (i >= vertices)
            return false;
        const std::uint64_t at = 36 + 16 * i;
        p = QPointF(r.i32(at), r.i32(at + 4));
        c = QColor(r.u16(at + 8) >> 8, r.u16(at + 10) >> 8, r.u16(at + 12) >> 8);
        return true;
    };
    const std::uint64_t meshAt = 36 + 16 * vertices;
    if (mode == 2) {
        r.require(meshAt, meshes * 12);
        for (std::uint64_t m = 0; m < meshes; ++m) {
            QPointF p[3];
            QColor c[3];
            bool ok = true;
            for (int k = 0; k < 3; ++k)
                ok = ok && vertex(r.u32(meshAt + 12 * m + 4 * k), p[k], c[k]);
            if (ok)
                gdi_.gradientTriangle(p, c);
        }
    } else {
        r.require(meshAt, meshes * 8);
        for (std::uint64_t m = 0; m < meshes; ++m) {
            QPointF p0, p1;
            QColor c0, c1;
            if (vertex(r.u32(meshAt + 8 * m), p0, c0) && vertex(r.u32(meshAt + 8 * m + 4), p1, c1))
                gdi_.gradientRect(QRectF(p0, p1), c0, c1, mode == 1);
        }
    }
}

void EmfFrontEnd::record(std::uint32_t type, const ByteReader& r, MetafilePlayReport& report) {
    DcState& s = gdi_.s;
    switch (type) {
    case EMR_GDICOMMENT:
        comment(r);
        break;
    case EMR_HEADER:
    case EMR_SETMAPPERFLAGS:
    case EMR_SETSTRETCHBLTMODE:
    case EMR_SETCOLORADJUSTMENT:
    case EMR_SETMETARGN:
    case EMR_REALIZEPALETTE:
    case EMR_RESIZEPALETTE:
    case EMR_SETMITERLIMIT:
    case EMR_FLATTENPATH:
    case EMR_SETICMMODE:
    case EMR_CREATECOLORSPACE:
    case EMR_SETCOLORSPACE:
    case EMR_DELETECOLORSPACE:
    case EMR_SETICMPROFILEA:
    case EMR_SETICMPROFILEW:
    case EMR_COLORCORRECTPALETTE:
    case EMR_SETLAYOUT:
    case EMR_SETLINKEDUFIS:
    case EMR_SETTEXTJUSTIFICATION:
    case EMR_COLORMATCHTOTARGETW:
    case EMR_CREATECOLORSPACEW:
    case EMR_FORCEUFIMAPPING:
        break;

    case EMR_POLYBEZIER:
    case EMR_POLYBEZIER16:
        gdi_.polyBezier(points(r, 28, r.u32(24), type == EMR_POLYBEZIER16), false);
        break;
    case EMR_POLYBEZIERTO:
    case EMR_POLYBEZIERTO16:
        gdi_.polyBezier(points(r, 28, r.u32(24), type == EMR_POLYBEZIERTO16), true);
        break;
    case EMR_POLYGON:
    case EMR_POLYGON16:
        gdi_.polygon(points(r, 28, r.u32(24), type == EMR_POLYGON16));
        break;
    case EMR_POLYLINE:
    case EMR_POLYLINE16:
        gdi_.polyline(points(r, 28, r.u32(24), type == EMR_POLYLINE16));
        break;
    case EMR_POLYLINETO:
    case EMR_POLYLINETO16:
        gdi_.polylineTo(points(r, 28, r.u32(24), type == EMR_POLYLINETO16));
        break;
    case EMR_POLYPOLYLINE:
    case EMR_POLYPOLYLINE16:
        gdi_.polyPolyline(polyPoints(r, type == EMR_POLYPOLYLINE16));
        break;
    case EMR_POLYPOLYGON:
    case EMR_POLYPOLYGON16:
        gdi_.polyPolygon(polyPoints(r, type == EMR_POLYPOLYGON16));
        break;
    case EMR_POLYDRAW:
    case EMR_POLYDRAW16: {
        const bool small = type == EMR_POLYDRAW16;
        const std::uint64_t count = r.u32(24);
        const QVector<QPointF> pts = points(r, 28, count, small);
        const std::uint64_t typesAt = 28 + count * (small ? 4 : 8);
        r.require(typesAt, count);
        std::vector<std::uint8_t> types(r.data() + typesAt, r.data() + typesAt + count);
        gdi_.polyDraw(pts, types);
        break;
    }

    case EMR_SETWINDOWEXTEX:
        gdi_.setWindowExt(point32(r, 8));
        break;
    case EMR_SETWINDOWORGEX:
        gdi_.setWindowOrg(point32(r, 8));
        break;
    case EMR_SETVIEWPORTEXTEX:
        gdi_.setViewportExt(point32(r, 8));
        break;
    case EMR_SETVIEWPORTORGEX:
        gdi_.setViewportOrg(point32(r, 8));
        break;
    case EMR_SCALEVIEWPORTEXTEX:
        gdi_.scaleViewportExt(r.i32(8), r.i32(12), r.i32(16), r.i32(20));
        break;
    case EMR_SCALEWINDOWEXTEX:
        gdi_.scaleWindowExt(r.i32(8), r.i32(12), r.i32(16), r.i32(20));
        break;
    case EMR_SETBRUSHORGEX:
        s.brushOrigin = point32(r, 8);
        break;
    case EMR_SETMAPMODE:
        gdi_.setMapMode(int(r.u32(8)));
        break;
    case EMR_SETBKMODE:
        s.bkMode = int(r.u32(8));
        break;
    case EMR_SETPOLYFILLMODE:
        s.polyFillMode = int(r.u32(8));
        break;
    case EMR_SETROP2:
        s.rop2 = int(r.u32(8));
        break;
    case EMR_SETTEXTALIGN:
        s.textAlign = r.u32(8);
        break;
    case EMR_SETTEXTCOLOR:
        s.textColor = gdi_.paletteColor(r.u32(8));
        break;
    case EMR_SETBKCOLOR:
        s.bkColor = gdi_.paletteColor(r.u32(8));
        break;
    case EMR_SETARCDIRECTION:
        s.clockwiseArcs = r.u32(8) == 2;
        break;
    case EMR_SAVEDC:
        gdi_.saveDc();
        break;
    case EMR_RESTOREDC:
        gdi_.restoreDc(r.i32(8));
        break;
    case EMR_SETWORLDTRANSFORM:
    case EMR_MODIFYWORLDTRANSFORM: {
        const QTransform x(r.f32(8), r.f32(12), r.f32(16), r.f32(20), r.f32(24), r.f32(28));
        const bool finite = std::isfinite(x.m11()) && std::isfinite(x.m12()) &&
                            std::isfinite(x.m21()) && std::isfinite(x.m22()) &&
                            std::isfinite(x.dx()) && std::isfinite(x.dy());
        const std::uint32_t mode = type == EMR_SETWORLDTRANSFORM ? 4 : r.u32(32);
        if (mode == 1)
            s.world = QTransform();
        else if (!finite)
            break;
        else if (mode == 2)
            s.world = x * s.world;
        else if (mode == 3)
            s.world = s.world * x;
        else if (mode == 4)
            s.world = x;
        break;
    }

    case EMR_MOVETOEX:
        gdi_.moveTo(point32(r, 8));
        break;
    case EMR_LINETO:
        gdi_.lineTo(point32(r, 8));
        break;
    case EMR_SETPIXELV:
        gdi_.setPixel(point32(r, 8), gdi_.paletteColor(r.u32(16)));
        break;
    case EMR_RECTANGLE:
        gdi_.rectangle(rect32(r, 8));
        break;
    case EMR_ELLIPSE:
        gdi_.ellipse(rect32(r, 8));
        break;
    case EMR_ROUNDRECT:
        gdi_.roundRect(rect32(r, 8), QSizeF(r.i32(24), r.i32(28)));
        break;
    case EMR_ARC:
    case EMR_ARCTO:
    case EMR_CHORD:
    case EMR_PIE: {
        using Kind = GdiPlayer::ArcKind;
        const Kind kind = type == EMR_ARC     ? Kind::Arc
                          : type == EMR_ARCTO ? Kind::ArcTo
                          : type == EMR_CHORD ? Kind::Chord
                                              : Kind::Pie;
        gdi_.arc(rect32(r, 8), point32(r, 24), point32(r, 32), kind);
        break;
    }
    case EMR_ANGLEARC: {
        const double start = r.f32(20), sweep = r.f32(24);
        if (std::isfinite(start) && std::isfinite(sweep))
            gdi_.angleArc(point32(r, 8), r.u32(16), start, sweep);
        break;
    }

    case EMR_BEGINPATH:
        gdi_.beginPath();
        break;
    case EMR_ENDPATH:
        gdi_.endPath();
        break;
    case EMR_CLOSEFIGURE:
        gdi_.closeFigure();
        break;
    case EMR_FILLPATH:
        gdi_.fillPath();
        break;
    case EMR_STROKEPATH:
        gdi_.strokePath();
        break;
    case EMR_STROKEANDFILLPATH:
        gdi_.strokeAndFillPath();
        break;
    case EMR_WIDENPATH:
        gdi_.widenPath();
        break;
    case EMR_ABORTPATH:
        gdi_.abortPath();
        break;
    case EMR_SELECTCLIPPATH:
        gdi_.selectClipPath(int(r.u32(8)));
        break;

    case EMR_INTERSECTCLIPRECT:
        gdi_.intersectClipRect(rect32(r, 8));
        break;
    case EMR_EXCLUDECLIPRECT:
        gdi_.excludeClipRect(rect32(r, 8));
        break;
    case EMR_OFFSETCLIPRGN:
        gdi_.offsetClip(point32(r, 8));
        break;
    case EMR_EXTSELECTCLIPRGN: {
        const std::uint64_t size = r.u32(8);
        const int mode = int(r.u32(12));
        if (size == 0 || r.u32(16 + 8) == 0) {
            // No region: a copy resets the clip to the whole picture.
            if (mode == gdi::RGN_COPY)
                gdi_.resetClip();
            break;
        }
        gdi_.combineClip(gdi_.deviceToTarget().map(region(r, 16, size)), mode);
        break;
    }
    case EMR_FILLRGN:
    case EMR_FRAMERGN: {
        const GdiObject* brush = object(r.u32(28));
        const Brush* b = brush ? std::get_if<Brush>(brush) : nullptr;
        const std::uint32_t index = r.u32(28);
        Brush stock;
        if (index & 0x80000000) {
            const Brush saved = s.brush;
            gdi_.selectStock(index);
            stock = s.brush;
            s.brush = saved;
            b = &stock;
        }
        if (!b)
            break;
        if (type == EMR_FILLRGN)
            gdi_.fillRegion(region(r, 32, r.u32(24)), *b);
        else
            gdi_.frameRegion(region(r, 40, r.u32(24)), *b, QSizeF(r.i32(32), r.i32(36)));
        break;
    }
    case EMR_PAINTRGN:
        gdi_.fillRegion(region(r, 28, r.u32(24)), s.brush);
        break;
    case EMR_INVERTRGN:
        gdi_.invertRegion(region(r, 28, r.u32(24)));
        break;

    case EMR_SELECTOBJECT: {
        const std::uint32_t index = r.u32(8);
        if (index & 0x80000000) {
            gdi_.selectStock(index);
            break;
        }
        const GdiObject* o = object(index);
        if (!o)
            break;
        if (const Pen* pen = std::get_if<Pen>(o))
            gdi_.selectPen(*pen);
        else if (const Brush* brush = std::get_if<Brush>(o))
            gdi_.selectBrush(*brush);
        else if (const Font* font = std::get_if<Font>(o))
            gdi_.selectFont(*font);
        break;
    }
    case EMR_SELECTPALETTE: {
        const std::uint32_t index = r.u32(8);
        if (index & 0x80000000) {
            s.palette.clear();
        } else if (const GdiObject* o = object(index)) {
            if (const Palette* p = std::get_if<Palette>(o))
                s.palette = p->colors;
        }
        break;
    }
    case EMR_DELETEOBJECT: {
        if (GdiObject* o = object(r.u32(8)))
            *o = std::monostate{};
        break;
    }
    case EMR_CREATEPEN: {
        Pen pen;
        pen.style = int(r.u32(12));
        pen.width = r.i32(16);
        pen.color = gdi_.paletteColor(r.u32(24));
        store(r.u32(8), pen);
        break;
    }
    case EMR_EXTCREATEPEN: {
        Pen pen;
        pen.style = int(r.u32(28));
        pen.width = r.u32(32);
        const std::uint32_t brushStyle = r.u32(36);
        pen.color = gdi_.paletteColor(r.u32(40));
        if (brushStyle == gdi::BS_NULL)
            pen.style = (pen.style & ~0xF) | 5;
        const std::uint64_t entries = r.u32(48);
        if ((pen.style & 0xF) == 7 && r.has(52, entries * 4))
            for (std::uint64_t i = 0; i < std::min<std::uint64_t>(entries, 64); ++i)
                pen.dashes.push_back(r.u32(52 + 4 * i));
        store(r.u32(8), pen);
        break;
    }
    case EMR_CREATEBRUSHINDIRECT: {
        Brush brush;
        brush.style = int(r.u32(12));
        brush.color = gdi_.paletteColor(r.u32(16));
        brush.hatch = int(r.u32(20));
        if (brush.style != gdi::BS_NULL && brush.style != gdi::BS_HATCHED)
            brush.style = gdi::BS_SOLID;
        store(r.u32(8), brush);
        break;
    }
    case EMR_CREATEMONOBRUSH:
    case EMR_CREATEDIBPATTERNBRUSHPT: {
        Brush brush;
        brush.style = type == EMR_CREATEMONOBRUSH ? gdi::BS_PATTERN : gdi::BS_DIBPATTERNPT;
        brush.pattern = patternTile(dib(r, r.u32(16), r.u32(20), r.u32(24), r.u32(28), r.u32(12)));
        brush.monochrome = type == EMR_CREATEMONOBRUSH;
        if (brush.pattern.isNull())
            brush.style = gdi::BS_SOLID, brush.color = Qt::black;
        store(r.u32(8), brush);
        break;
    }
    case EMR_EXTCREATEFONTINDIRECTW: {
        Font font;
        font.height = r.i32(12);
        font.width = r.i32(16);
        font.escapement = r.i32(20);
        font.orientation = r.i32(24);
        font.weight = r.i32(28);
        font.italic = r.u8(32);
        font.underline = r.u8(33);
        font.strikeOut = r.u8(34);
        font.charSet = r.u8(35);
        for (std::uint64_t i = 0; i < 32 && r.has(40 + 2 * i, 2); ++i) {
            const std::uint16_t c = r.u16(40 + 2 * i);
            if (!c)
                break;
            font.face.push_back(QChar(c));
        }
        store(r.u32(8), font);
        break;
    }
    case EMR_CREATEPALETTE: {
        Palette palette;
        const std::uint64_t count = r.u16(14);
        r.require(16, count * 4);
        for (std::uint64_t i = 0; i < count; ++i)
            palette.colors.push_back(qRgb(r.u8(16 + 4 * i), r.u8(17 + 4 * i), r.u8(18 + 4 * i)));
        store(r.u32(8), palette);
        break;
    }
    case EMR_SETPALETTEENTRIES: {
        GdiObject* o = object(r.u32(8));
        Palette* p = o ? std::get_if<Palette>(o) : nullptr;
        if (!p)
            break;
        const std::uint64_t start = r.u32(12), count = r.u32(16);
        r.require(20, count * 4);
        for (std::uint64_t i = 0; i < count && start + i < 4096; ++i) {
            if (start + i >= std::uint64_t(p->colors.size()))
                p->colors.resize(qsizetype(start + i + 1));
            p->colors[qsizetype(start + i)] =
                qRgb(r.u8(20 + 4 * i), r.u8(21 + 4 * i), r.u8(22 + 4 * i));
        }
        break;
    }

    case EMR_EXTTEXTOUTA:
    case EMR_EXTTEXTOUTW:
        text(r, type == EMR_EXTTEXTOUTW, 36);
        break;
    case EMR_POLYTEXTOUTA:
    case EMR_POLYTEXTOUTW: {
        const std::uint64_t strings = r.u32(36);
        r.require(40, strings * 40);
        for (std::uint64_t i = 0; i < strings; ++i)
            text(r, type == EMR_POLYTEXTOUTW, 40 + 40 * i);
        break;
    }
    case EMR_SMALLTEXTOUT:
        smallText(r);
        break;

    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_MASKBLT:
    case EMR_ALPHABLEND:
    case EMR_TRANSPARENTBLT:
    case EMR_STRETCHDIBITS:
    case EMR_SETDIBITSTODEVICE:
        blit(type, r);
        break;
    case EMR_GRADIENTFILL:
        gradient(r);
        break;
    case EMR_PLGBLT:
        plgBlt(r);
        break;
    case EMR_EXTFLOODFILL: // mode 1 fills the surface of the colour, 0 up to its border
        gdi_.floodFill(point32(r, 8), gdi_.paletteColor(r.u32(16)), r.u32(20) == 1);
        break;

    default:
        ++report.skipped[int(type)];
        break;
    }
}

void EmfFrontEnd::run(MetafilePlayReport& report) {
    const std::uint64_t headerSize = file_.u32(4);
    if (file_.has(56, 2))
        objects_.reserve(std::min<std::uint32_t>(file_.u16(56), 4096));
    std::uint64_t offset = headerSize;
    if (headerSize < 88 || headerSize % 4 || headerSize > file_.size())
        return;
    ++report.records;
    while (file_.has(offset, 8)) {
        const std::uint32_t type = file_.u32(offset);
        const std::uint64_t size = file_.u32(offset + 4);
        // A record that cannot be walked past ends the play.
        if (size < 8 || size % 4 || !file_.has(offset, size))
            return;
        if (report.records >= budget_.stopAt)
            return;
        ++report.records;
        if (type == EMR_EOF) {
            report.reachedEnd = true;
            return;
        }
        try {
            record(type, file_.sub(offset, size), report);
        } catch (const OutOfBounds&) {
            return;
        }
        gdi_.charge(PlayBudget::kRecordCost + double(size));
        if (work() > budget_.limit) {
            budget_.stopAt = report.records;
            return;
        }
        offset += size;
    }
}

} // namespace

MetafilePlayReport playEmf(const ByteReader& file, QImage& band, int bandTop, int targetWidth,
                           int targetHeight, PlayBudget& budget) {
    MetafilePlayReport report;
    try {
        const double frameLeft = file.i32(24), frameTop = file.i32(28);
        const double frameWidth = double(file.i32(32)) - frameLeft;
        const double frameHeight = double(file.i32(36)) - frameTop;
        const double devX = file.i32(72), devY = file.i32(76);
        const double mmX = file.i32(80), mmY = file.i32(84);
        if (devX <= 0 || devY <= 0 || mmX <= 0 || mmY <= 0)
            return report;
        const QPointF pxPerMm(devX / mmX, devY / mmY);
        // The frame in reference-device pixels is mapped onto the target, at exactly 1:1
        // when the target is within half a pixel of it.
        const double fw = frameWidth * pxPerMm.x() / 100, fh = frameHeight * pxPerMm.y() / 100;
        double fx = frameLeft * pxPerMm.x() / 100, fy = frameTop * pxPerMm.y() / 100;
        // Some writers put the drawing beside its frame (the bounds, in device pixels,
        // hardly meet it). The frame keeps the size; the drawing's bounds give the place.
        const double bl = file.i32(8), bt = file.i32(12), br = file.i32(16) + 1.0,
                     bb = file.i32(20) + 1.0;
        auto outside = [](double b0, double b1, double f0, double f1) {
            const double overlap = std::min(b1, f1) - std::max(b0, f0);
            return b1 > b0 && overlap < (b1 - b0) / 2;
        };
        if (outside(bl, br, fx, fx + fw))
            fx = bl;
        if (outside(bt, bb, fy, fy + fh))
            fy = bt;
        double sx = fw > 0 ? targetWidth / fw : 1, sy = fh > 0 ? targetHeight / fh : 1;
        double ox = -fx * sx, oy = -fy * sy;
        if (std::abs(targetWidth - fw) <= 0.5) {
            sx = 1;
            ox = std::round(-fx);
        }
        if (std::abs(targetHeight - fh) <= 0.5) {
            sy = 1;
            oy = std::round(-fy);
        }
        QPainter painter(&band);
        GdiPlayer gdi(painter, QTransform(sx, 0, 0, sy, ox, oy - bandTop), pxPerMm);
        EmfFrontEnd front(file, gdi, painter, budget);
        front.run(report);
        budget.spent += front.work();
        if (front.textSkipped())
            report.skipped[EMR_EXTTEXTOUTW] += front.textSkipped();
    } catch (const OutOfBounds&) {
    }
    return report;
}

} // namespace pictorant::metafile
