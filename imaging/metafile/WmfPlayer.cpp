#include <QPainter>
#include <cmath>
#include <optional>

#include "imaging/metafile/Dib.h"
#include "imaging/metafile/GdiPlayer.h"
#include "imaging/metafile/MetafilePlayer.h"

namespace pictorant::metafile {

namespace {

enum WmfRecord : std::uint16_t {
    META_EOF = 0x0000,
    META_SAVEDC = 0x001E,
    META_REALIZEPALETTE = 0x0035,
    META_SETPALENTRIES = 0x0037,
    META_CREATEPALETTE = 0x00F7,
    META_SETBKMODE = 0x0102,
    META_SETMAPMODE = 0x0103,
    META_SETROP2 = 0x0104,
    META_SETRELABS = 0x0105,
    META_SETPOLYFILLMODE = 0x0106,
    META_SETSTRETCHBLTMODE = 0x0107,
    META_SETTEXTCHAREXTRA = 0x0108,
    META_RESTOREDC = 0x0127,
    META_INVERTREGION = 0x012A,
    META_PAINTREGION = 0x012B,
    META_SELECTCLIPREGION = 0x012C,
    META_SELECTOBJECT = 0x012D,
    META_SETTEXTALIGN = 0x012E,
    META_RESIZEPALETTE = 0x0139,
    META_DIBCREATEPATTERNBRUSH = 0x0142,
    META_SETLAYOUT = 0x0149,
    META_DELETEOBJECT = 0x01F0,
    META_CREATEPATTERNBRUSH = 0x01F9,
    META_SETBKCOLOR = 0x0201,
    META_SETTEXTCOLOR = 0x0209,
    META_SETTEXTJUSTIFICATION = 0x020A,
    META_SETWINDOWORG = 0x020B,
    META_SETWINDOWEXT = 0x020C,
    META_SETVIEWPORTORG = 0x020D,
    META_SETVIEWPORTEXT = 0x020E,
    META_OFFSETWINDOWORG = 0x020F,
    META_OFFSETVIEWPORTORG = 0x0211,
    META_LINETO = 0x0213,
    META_MOVETO = 0x0214,
    META_OFFSETCLIPRGN = 0x0220,
    META_FILLREGION = 0x0228,
    META_SETMAPPERFLAGS = 0x0231,
    META_SELECTPALETTE = 0x0234,
    META_CREATEPENINDIRECT = 0x02FA,
    META_CREATEFONTINDIRECT = 0x02FB,
    META_CREATEBRUSHINDIRECT = 0x02FC,
    META_POLYGON = 0x0324,
    META_POLYLINE = 0x0325,
    META_SCALEWINDOWEXT = 0x0410,
    META_SCALEVIEWPORTEXT = 0x0412,
    META_EXCLUDECLIPRECT = 0x0415,
    META_INTERSECTCLIPRECT = 0x0416,
    META_ELLIPSE = 0x0418,
    META_FLOODFILL = 0x0419,
    META_RECTANGLE = 0x041B,
    META_SETPIXEL = 0x041F,
    META_FRAMEREGION = 0x0429,
    META_ANIMATEPALETTE = 0x0436,
    META_TEXTOUT = 0x0521,
    META_POLYPOLYGON = 0x0538,
    META_EXTFLOODFILL = 0x0548,
    META_ROUNDRECT = 0x061C,
    META_PATBLT = 0x061D,
    META_ESCAPE = 0x0626,
    META_CREATEREGION = 0x06FF,
    META_ARC = 0x0817,
    META_PIE = 0x081A,
    META_CHORD = 0x0830,
    META_BITBLT = 0x0922,
    META_DIBBITBLT = 0x0940,
    META_EXTTEXTOUT = 0x0A32,
    META_STRETCHBLT = 0x0B23,
    META_DIBSTRETCHBLT = 0x0B41,
    META_SETDIBTODEV = 0x0D33,
    META_STRETCHDIB = 0x0F43,
};

constexpr std::size_t kMaxObjects = 1u << 16;

class WmfFrontEnd {
public:
    WmfFrontEnd(const ByteReader& file, GdiPlayer& gdi, PlayBudget& budget)
        : file_(file), gdi_(gdi), budget_(budget) {}

    void run(std::uint64_t start, MetafilePlayReport& report);

private:
    void record(std::uint16_t function, const ByteReader& r, MetafilePlayReport& report);

    // Parameters are 16-bit words after the size and function fields.
    static double p(const ByteReader& r, int index) { return r.i16(6 + 2 * std::uint64_t(index)); }
    static QRectF ltrb(const ByteReader& r, int first) { // stored bottom, right, top, left
        return QRectF(QPointF(p(r, first + 3), p(r, first + 2)),
                      QPointF(p(r, first + 1), p(r, first)));
    }
    static QVector<QPointF> points(const ByteReader& r, std::uint64_t at, std::uint64_t count) {
        r.require(at, count * 4);
        QVector<QPointF> out;
        out.reserve(qsizetype(count));
        for (std::uint64_t i = 0; i < count; ++i)
            out.push_back(QPointF(r.i16(at + 4 * i), r.i16(at + 4 * i + 2)));
        return out;
    }

    void create(GdiObject object) {
        // A new object takes the lowest free slot.
        for (std::size_t i = 0; i < objects_.size(); ++i) {
            if (!objects_[i]) {
                objects_[i] = std::move(object);
                return;
            }
        }
        if (objects_.size() < kMaxObjects)
            objects_.push_back(std::move(object));
    }
    const GdiObject* object(std::uint64_t index) const {
        return index < objects_.size() && objects_[index] ? &*objects_[index] : nullptr;
    }
    const Region* region(std::uint64_t index) const {
        const GdiObject* o = object(index);
        return o ? std::get_if<Region>(o) : nullptr;
    }
    QPainterPath toDevice(const QPainterPath& logical) const {
        return (gdi_.s.world * gdi_.pageTransform()).map(logical);
    }
    QImage dib(const ByteReader& packed, std::uint32_t usage, bool* bottomUp = nullptr) const {
        DibOptions options;
        options.paletteIndices = usage == 1;
        options.logicalPalette = &gdi_.s.palette;
        if (bottomUp) {
            DibHeader header;
            try {
                *bottomUp =
                    readDibHeader(packed, header, options.paletteIndices) && !header.topDown;
            } catch (const OutOfBounds&) {
                *bottomUp = true;
            }
        }
        QImage image = decodePackedDib(packed, options);
        gdi_.charge(4.0 * image.width() * image.height());
        return image;
    }
    // A device-dependent bitmap: one-bit pixels take the text and background colours.
    QImage bitmap16(const ByteReader& bitmap) const {
        QImage image;
        try {
            image = decodeBitmap16(bitmap, gdi_.s.textColor.rgb(), gdi_.s.bkColor.rgb(),
                                   gdi_.s.palette);
        } catch (const OutOfBounds&) {
        }
        gdi_.charge(4.0 * image.width() * image.height());
        return image;
    }
    void text(const ByteReader& r, bool extended);
    void blit(std::uint16_t function, const ByteReader& r);
    Region parseRegion(const ByteReader& r) const;

    const ByteReader& file_;
    GdiPlayer& gdi_;
    PlayBudget& budget_;
    std::vector<std::optional<GdiObject>> objects_;
};

void WmfFrontEnd::text(const ByteReader& r, bool extended) {
    QPointF reference;
    std::uint64_t count, at;
    std::uint32_t options = 0;
    std::optional<QRectF> rect;
    if (!extended) {
        count = r.u16(6);
        at = 8;
        const std::uint64_t after = at + ((count + 1) & ~std::uint64_t(1));
        reference = QPointF(r.i16(after + 2), r.i16(after));
    } else {
        reference = QPointF(p(r, 1), p(r, 0));
        count = r.u16(10);
        options = r.u16(12);
        at = 14;
        if (options & (gdi::ETO_OPAQUE | gdi::ETO_CLIPPED)) {
            rect = QRectF(QPointF(r.i16(14), r.i16(16)), QPointF(r.i16(18), r.i16(20)));
            at = 22;
        }
    }
    const ByteReader chars = r.sub(at, count);
    QString string;
    string.reserve(qsizetype(count));
    for (std::uint64_t i = 0; i < count; ++i)
        string.push_back(QChar(char16_t(chars.u8(i))));
    std::vector<double> dx;
    const std::uint64_t dxAt = at + ((count + 1) & ~std::uint64_t(1));
    if (extended && count && r.has(dxAt, count * 2)) {
        dx.resize(std::size_t(count));
        for (std::uint64_t i = 0; i < count; ++i)
            dx[std::size_t(i)] = r.i16(dxAt + 2 * i);
    }
    gdi_.textOut(reference, string, dx.empty() ? nullptr : &dx, options, rect);
}

void WmfFrontEnd::blit(std::uint16_t function, const ByteReader& r) {
    const std::uint32_t rop = r.u32(6);
    // A record only as long as its fixed fields carries no bitmap: a pattern fill.
    const bool noBitmap = r.size() / 2 == std::uint64_t((function >> 8) + 3);
    switch (function) {
    case META_PATBLT:
        gdi_.patBlt(QRectF(p(r, 5), p(r, 4), p(r, 3), p(r, 2)), rop);
        return;
    case META_DIBBITBLT:
    case META_BITBLT: {
        const int shift = noBitmap ? 1 : 0;
        const QRectF destination(p(r, 7 + shift), p(r, 6 + shift), p(r, 5 + shift),
                                 p(r, 4 + shift));
        if (noBitmap) {
            gdi_.patBlt(destination, rop);
            return;
        }
        const QImage image = function == META_BITBLT ? bitmap16(r.from(22)) : dib(r.from(22), 0);
        gdi_.drawBitmap(destination, image,
                        QRectF(p(r, 3), p(r, 2), destination.width(), destination.height()), rop);
        return;
    }
    case META_DIBSTRETCHBLT:
    case META_STRETCHBLT: {
        const int shift = noBitmap ? 1 : 0;
        const QRectF destination(p(r, 9 + shift), p(r, 8 + shift), p(r, 7 + shift),
                                 p(r, 6 + shift));
        if (noBitmap) {
            gdi_.patBlt(destination, rop);
            return;
        }
        const QImage image =
            function == META_STRETCHBLT ? bitmap16(r.from(26)) : dib(r.from(26), 0);
        gdi_.drawBitmap(destination, image, QRectF(p(r, 5), p(r, 4), p(r, 3), p(r, 2)), rop);
        return;
    }
    case META_STRETCHDIB: {
        bool bottomUp = true;
        const QImage image = dib(r.from(28), r.u16(10), &bottomUp);
        const QRectF destination(p(r, 10), p(r, 9), p(r, 8), p(r, 7));
        const double sw = p(r, 4), sh = p(r, 3), sx = p(r, 6), sy = p(r, 5);
        if (image.isNull())
            return;
        const double top = bottomUp ? image.height() - sy - sh : sy;
        gdi_.drawBitmap(destination, image, QRectF(sx, top, sw, sh), rop);
        return;
    }
    case META_SETDIBTODEV: {
        bool bottomUp = true;
        const QImage image = dib(r.from(24), r.u16(6), &bottomUp);
        if (image.isNull())
            return;
        const double w = p(r, 6), h = p(r, 5), sx = p(r, 4), sy = p(r, 3);
        const QRectF destination(p(r, 8), p(r, 7), w, h);
        const double top = bottomUp ? image.height() - sy - h : sy;
        gdi_.drawBitmap(destination, image, QRectF(sx, top, w, h), 0x00CC0020);
        return;
    }
    default:
        return;
    }
}

Region WmfFrontEnd::parseRegion(const ByteReader& r) const {
    Region region;
    const std::uint64_t scans = r.u16(16);
    std::uint64_t at = 28;
    for (std::uint64_t i = 0; i < scans; ++i) {
        const std::uint64_t count = r.u16(at);
        const double top = r.i16(at + 2), bottom = r.i16(at + 4);
        r.require(at + 6, count * 2 + 2);
        for (std::uint64_t k = 0; k + 1 < count; k += 2) {
            const double left = r.i16(at + 6 + 2 * k), right = r.i16(at + 8 + 2 * k);
            region.path.addRect(QRectF(QPointF(left, top), QPointF(right, bottom)).normalized());
        }
        at += 6 + count * 2 + 2;
    }
    region.path.setFillRule(Qt::WindingFill);
    return region;
}

void WmfFrontEnd::record(std::uint16_t function, const ByteReader& r, MetafilePlayReport& report) {
    DcState& s = gdi_.s;
    switch (function) {
    case META_SETMAPMODE: // the placeable header's box decides the mapping
    case META_SETVIEWPORTORG:
    case META_SETVIEWPORTEXT:
    case META_OFFSETVIEWPORTORG:
    case META_SCALEVIEWPORTEXT:
    case META_SETRELABS:
    case META_SETSTRETCHBLTMODE:
    case META_SETTEXTCHAREXTRA:
    case META_SETTEXTJUSTIFICATION:
    case META_SETMAPPERFLAGS:
    case META_SETLAYOUT:
    case META_REALIZEPALETTE:
    case META_RESIZEPALETTE:
    case META_ANIMATEPALETTE:
    case META_ESCAPE: // comments, including embedded EMF copies
        break;

    case META_SETBKCOLOR:
        s.bkColor = gdi_.paletteColor(r.u32(6));
        break;
    case META_SETTEXTCOLOR:
        s.textColor = gdi_.paletteColor(r.u32(6));
        break;
    case META_SETBKMODE:
        s.bkMode = r.u16(6);
        break;
    case META_SETROP2:
        s.rop2 = r.u16(6);
        break;
    case META_SETPOLYFILLMODE:
        s.polyFillMode = r.u16(6);
        break;
    case META_SETTEXTALIGN:
        s.textAlign = r.u16(6);
        break;
    case META_SETWINDOWORG:
        gdi_.setWindowOrg(QPointF(p(r, 1), p(r, 0)));
        break;
    case META_SETWINDOWEXT:
        gdi_.setWindowExt(QPointF(p(r, 1), p(r, 0)));
        break;
    case META_OFFSETWINDOWORG:
        gdi_.setWindowOrg(s.windowOrg + QPointF(p(r, 1), p(r, 0)));
        break;
    case META_SCALEWINDOWEXT:
        gdi_.scaleWindowExt(p(r, 3), p(r, 2), p(r, 1), p(r, 0));
        break;
    case META_SAVEDC:
        gdi_.saveDc();
        break;
    case META_RESTOREDC:
        gdi_.restoreDc(r.i16(6));
        break;

    case META_MOVETO:
        gdi_.moveTo(QPointF(p(r, 1), p(r, 0)));
        break;
    case META_LINETO:
        gdi_.lineTo(QPointF(p(r, 1), p(r, 0)));
        break;
    case META_RECTANGLE:
        gdi_.rectangle(ltrb(r, 0));
        break;
    case META_ELLIPSE:
        gdi_.ellipse(ltrb(r, 0));
        break;
    case META_ROUNDRECT:
        gdi_.roundRect(ltrb(r, 2), QSizeF(p(r, 1), p(r, 0)));
        break;
    case META_ARC:
    case META_PIE:
    case META_CHORD: {
        using Kind = GdiPlayer::ArcKind;
        const Kind kind = function == META_ARC   ? Kind::Arc
                          : function == META_PIE ? Kind::Pie
                                                 : Kind::Chord;
        gdi_.arc(ltrb(r, 4), QPointF(p(r, 3), p(r, 2)), QPointF(p(r, 1), p(r, 0)), kind);
        break;
    }
    case META_SETPIXEL:
        gdi_.setPixel(QPointF(p(r, 3), p(r, 2)), gdi_.paletteColor(r.u32(6)));
        break;
    case META_POLYGON:
        gdi_.polygon(points(r, 8, r.u16(6)));
        break;
    case META_POLYLINE:
        gdi_.polyline(points(r, 8, r.u16(6)));
        break;
    case META_POLYPOLYGON: {
        const std::uint64_t count = r.u16(6);
        r.require(8, count * 2);
        std::uint64_t at = 8 + count * 2;
        std::vector<QVector<QPointF>> polys;
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t n = r.u16(8 + 2 * i);
            polys.push_back(points(r, at, n));
            at += n * 4;
        }
        gdi_.polyPolygon(polys);
        break;
    }

    case META_EXCLUDECLIPRECT:
        gdi_.excludeClipRect(ltrb(r, 0));
        break;
    case META_INTERSECTCLIPRECT:
        gdi_.intersectClipRect(ltrb(r, 0));
        break;
    case META_OFFSETCLIPRGN:
        gdi_.offsetClip(QPointF(p(r, 1), p(r, 0)));
        break;
    case META_SELECTCLIPREGION: {
        if (const Region* region = this->region(r.u16(6)))
            gdi_.combineClip(gdi_.deviceToTarget().map(toDevice(region->path)), gdi::RGN_COPY);
        else
            gdi_.resetClip();
        break;
    }
    case META_FILLREGION:
    case META_FRAMEREGION: {
        const Region* region = this->region(r.u16(6));
        const GdiObject* o = object(r.u16(8));
        const Brush* brush = o ? std::get_if<Brush>(o) : nullptr;
        if (!region || !brush)
            break;
        if (function == META_FILLREGION)
            gdi_.fillRegion(toDevice(region->path), *brush);
        else
            gdi_.frameRegion(toDevice(region->path), *brush,
                             QSizeF(p(r, 3) * std::abs(gdi_.pageTransform().m11()),
                                    p(r, 2) * std::abs(gdi_.pageTransform().m22())));
        break;
    }
    case META_PAINTREGION:
        if (const Region* region = this->region(r.u16(6)))
            gdi_.fillRegion(toDevice(region->path), s.brush);
        break;
    case META_INVERTREGION:
        if (const Region* region = this->region(r.u16(6)))
            gdi_.invertRegion(toDevice(region->path));
        break;

    case META_SELECTOBJECT: {
        const GdiObject* o = object(r.u16(6));
        if (!o)
            break;
        if (const Pen* pen = std::get_if<Pen>(o))
            gdi_.selectPen(*pen);
        else if (const Brush* brush = std::get_if<Brush>(o))
            gdi_.selectBrush(*brush);
        else if (const Font* font = std::get_if<Font>(o))
            gdi_.selectFont(*font);
        else if (const Region* region = std::get_if<Region>(o))
            gdi_.combineClip(gdi_.deviceToTarget().map(toDevice(region->path)), gdi::RGN_COPY);
        break;
    }
    case META_SELECTPALETTE:
        if (const GdiObject* o = object(r.u16(6)))
            if (const Palette* palette = std::get_if<Palette>(o))
                s.palette = palette->colors;
        break;
    case META_DELETEOBJECT: {
        const std::uint64_t index = r.u16(6);
        if (index < objects_.size())
            objects_[index].reset();
        break;
    }
    case META_CREATEPENINDIRECT: {
        Pen pen;
        pen.style = r.u16(6);
        pen.width = r.i16(8);
        pen.color = gdi_.paletteColor(r.u32(12));
        create(pen);
        break;
    }
    case META_CREATEBRUSHINDIRECT: {
        Brush brush;
        brush.style = r.u16(6);
        brush.color = gdi_.paletteColor(r.u32(8));
        brush.hatch = r.u16(12);
        if (brush.style != gdi::BS_NULL && brush.style != gdi::BS_HATCHED)
            brush.style = gdi::BS_SOLID;
        create(brush);
        break;
    }
    case META_DIBCREATEPATTERNBRUSH: {
        Brush brush;
        brush.style = gdi::BS_DIBPATTERNPT;
        brush.pattern = patternTile(dib(r.from(10), r.u16(8)));
        if (brush.pattern.isNull()) {
            brush.style = gdi::BS_SOLID;
            brush.color = Qt::black;
        }
        create(brush);
        break;
    }
    case META_CREATEPATTERNBRUSH: {
        // A device-dependent bitmap; only its monochrome form is portable.
        Brush brush;
        const int width = r.i16(8), height = r.i16(10), stride = r.i16(12);
        const int bits = r.u8(15);
        if (bits == 1 && width > 0 && height > 0 && width <= 256 && height <= 256 &&
            stride * 8 >= width && r.has(34, std::uint64_t(stride) * height)) {
            QImage pattern(width, height, QImage::Format_RGB32);
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const bool set =
                        (r.u8(34 + std::uint64_t(y) * stride + x / 8) >> (7 - x % 8)) & 1;
                    pattern.setPixel(x, y, set ? 0xFFFFFFFF : 0xFF000000);
                }
            brush.style = gdi::BS_PATTERN;
            brush.pattern = pattern;
            brush.monochrome = true;
        } else {
            brush.color = Qt::black;
        }
        create(brush);
        break;
    }
    case META_CREATEFONTINDIRECT: {
        Font font;
        font.height = r.i16(6);
        font.width = r.i16(8);
        font.escapement = r.i16(10);
        font.orientation = r.i16(12);
        font.weight = r.i16(14);
        font.italic = r.u8(16);
        font.underline = r.u8(17);
        font.strikeOut = r.u8(18);
        font.charSet = r.u8(19);
        for (std::uint64_t i = 0; i < 32 && r.has(24 + i, 1); ++i) {
            const std::uint8_t c = r.u8(24 + i);
            if (!c)
                break;
            font.face.push_back(QChar(char16_t(c)));
        }
        create(font);
        break;
    }
    case META_CREATEPALETTE: {
        Palette palette;
        const std::uint64_t count = r.u16(8);
        r.require(10, count * 4);
        for (std::uint64_t i = 0; i < count; ++i)
            palette.colors.push_back(qRgb(r.u8(10 + 4 * i), r.u8(11 + 4 * i), r.u8(12 + 4 * i)));
        create(palette);
        break;
    }
    case META_SETPALENTRIES: {
        const std::uint64_t start = r.u16(6), count = r.u16(8);
        r.require(10, count * 4);
        for (std::uint64_t i = 0; i < count; ++i) {
            if (start + i >= std::uint64_t(s.palette.size()))
                s.palette.resize(qsizetype(start + i + 1));
            s.palette[qsizetype(start + i)] =
                qRgb(r.u8(10 + 4 * i), r.u8(11 + 4 * i), r.u8(12 + 4 * i));
        }
        break;
    }
    case META_CREATEREGION: {
        // Even a region that cannot be read takes its slot, or later indices shift.
        Region region;
        try {
            region = parseRegion(r);
        } catch (const OutOfBounds&) {
        }
        create(region);
        break;
    }

    case META_TEXTOUT:
        text(r, false);
        break;
    case META_EXTTEXTOUT:
        text(r, true);
        break;

    case META_PATBLT:
    case META_BITBLT:
    case META_DIBBITBLT:
    case META_STRETCHBLT:
    case META_DIBSTRETCHBLT:
    case META_STRETCHDIB:
    case META_SETDIBTODEV:
        blit(function, r);
        break;
    case META_FLOODFILL: // fills up to a border of the colour
        // Some writers give it the extended layout, mode word first; its size tells.
        if (r.size() >= 16) {
            gdi_.floodFill(QPointF(p(r, 4), p(r, 3)), gdi_.paletteColor(r.u32(8)), false);
            break;
        }
        gdi_.floodFill(QPointF(p(r, 3), p(r, 2)), gdi_.paletteColor(r.u32(6)), false);
        break;
    case META_EXTFLOODFILL: // mode 1 fills the surface of the colour
        gdi_.floodFill(QPointF(p(r, 4), p(r, 3)), gdi_.paletteColor(r.u32(8)), r.u16(6) == 1);
        break;

    default:
        ++report.skipped[function];
        // Objects the player does not know still take a slot.
        if ((function & 0x00F0) == 0x00F0 || function == 0x01F9)
            create(std::monostate{});
        break;
    }
}

void WmfFrontEnd::run(std::uint64_t offset, MetafilePlayReport& report) {
    const std::uint64_t hint = file_.u16(22 + 10);
    objects_.reserve(std::min<std::uint64_t>(hint, 4096));
    ++report.records;
    while (file_.has(offset, 6)) {
        const std::uint64_t size = std::uint64_t(file_.u32(offset)) * 2;
        const std::uint16_t function = file_.u16(offset + 4);
        if (size < 6 || !file_.has(offset, size))
            return; // a record that cannot be walked past ends the play
        if (report.records >= budget_.stopAt)
            return;
        ++report.records;
        if (function == META_EOF) {
            report.reachedEnd = true;
            return;
        }
        try {
            record(function, file_.sub(offset, size), report);
        } catch (const OutOfBounds&) {
            return;
        }
        gdi_.charge(PlayBudget::kRecordCost + double(size));
        if (gdi_.work() > budget_.limit) {
            budget_.stopAt = report.records;
            return;
        }
        offset += size;
    }
}

} // namespace

MetafilePlayReport playWmf(const ByteReader& file, QImage& band, int bandTop, int targetWidth,
                           int targetHeight, PlayBudget& budget) {
    MetafilePlayReport report;
    try {
        const double left = file.i16(6), top = file.i16(8);
        const double boxWidth = double(file.i16(10)) - left, boxHeight = double(file.i16(12)) - top;
        const double inch = file.u16(14) ? file.u16(14) : 96;
        const std::uint64_t headerWords = file.u16(22 + 2);
        QPainter painter(&band);
        // The viewport is the target; the window starts as the bounding box and the
        // file's own window records move and size it.
        GdiPlayer gdi(painter, QTransform::fromTranslate(0, -bandTop),
                      QPointF(96 / 25.4, 96 / 25.4));
        gdi.s.mapMode = gdi::MM_ANISOTROPIC;
        gdi.setWindowOrg(QPointF(left, top));
        gdi.setWindowExt(QPointF(boxWidth, boxHeight));
        // Exactly the natural scale when the target is within half a pixel of it.
        const double naturalW = boxWidth * 96 / inch, naturalH = boxHeight * 96 / inch;
        gdi.setViewportExt(
            QPointF(std::abs(targetWidth - naturalW) <= 0.5 ? naturalW : targetWidth,
                    std::abs(targetHeight - naturalH) <= 0.5 ? naturalH : targetHeight));
        WmfFrontEnd(file, gdi, budget).run(22 + headerWords * 2, report);
        budget.spent += gdi.work();
        if (gdi.textSkipped())
            report.skipped[META_EXTTEXTOUT] += gdi.textSkipped();
    } catch (const OutOfBounds&) {
    }
    return report;
}

} // namespace pictorant::metafile
