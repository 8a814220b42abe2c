#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>
#include <QVector>
#include <algorithm>
#include <optional>
#include <variant>
#include <vector>

namespace pictorant::metafile {

// GDI constants shared by the EMF and WMF front ends.
namespace gdi {
enum MapMode {
    MM_TEXT = 1,
    MM_LOMETRIC,
    MM_HIMETRIC,
    MM_LOENGLISH,
    MM_HIENGLISH,
    MM_TWIPS,
    MM_ISOTROPIC,
    MM_ANISOTROPIC
};
enum BkMode { TRANSPARENT = 1, OPAQUE = 2 };
enum PolyFill { ALTERNATE = 1, WINDING = 2 };
enum RegionMode { RGN_AND = 1, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY };
enum BrushStyle {
    BS_SOLID = 0,
    BS_NULL = 1,
    BS_HATCHED = 2,
    BS_PATTERN = 3,
    BS_DIBPATTERN = 5,
    BS_DIBPATTERNPT = 6
};
constexpr int R2_COPYPEN = 13;
constexpr std::uint32_t TA_UPDATECP = 1, TA_RIGHT = 2, TA_CENTER = 6, TA_BOTTOM = 8,
                        TA_BASELINE = 24;
constexpr std::uint32_t ETO_OPAQUE = 2, ETO_CLIPPED = 4;
} // namespace gdi

struct Pen {
    int style = 0;    // PS_* including end cap, join and type bits
    double width = 0; // logical units; 0 = one pixel
    QColor color = Qt::black;
    std::vector<double> dashes; // PS_USERSTYLE lengths, logical units
};

struct Brush {
    int style = gdi::BS_SOLID;
    QColor color = Qt::white;
    int hatch = 0;
    QImage pattern;          // BS_DIBPATTERN / BS_PATTERN
    bool monochrome = false; // pattern takes the text and background colours
};

struct Font {
    int height = 0, width = 0, escapement = 0, orientation = 0, weight = 0;
    bool italic = false, underline = false, strikeOut = false;
    int charSet = 0;
    QString face;
};

struct Palette {
    QVector<QRgb> colors;
};

struct Region {
    QPainterPath path; // device units
};

using GdiObject = std::variant<std::monostate, Pen, Brush, Font, Palette, Region>;

// Pattern brushes are small tiles; a huge one is cut to a tile so that recolouring it
// for every fill stays cheap.
inline QImage patternTile(const QImage& image) {
    constexpr int kMaxTile = 512;
    if (image.width() <= kMaxTile && image.height() <= kMaxTile)
        return image;
    return image.copy(0, 0, std::min(image.width(), kMaxTile), std::min(image.height(), kMaxTile));
}

// One device context: everything SaveDC keeps.
struct DcState {
    Pen pen;
    Brush brush;
    Font font;
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    int bkMode = gdi::OPAQUE;
    int polyFillMode = gdi::ALTERNATE;
    int rop2 = gdi::R2_COPYPEN;
    std::uint32_t textAlign = 0;
    int mapMode = gdi::MM_TEXT;
    QPointF windowOrg{0, 0}, windowExt{1, 1}, viewportOrg{0, 0}, viewportExt{1, 1};
    QTransform world;
    QPointF position;                 // current position, logical units
    std::optional<QPainterPath> clip; // target pixels; none = whole target
    int clipSerial = 0;               // changes whenever clip does
    bool clockwiseArcs = false;
    QPointF brushOrigin;
    QVector<QRgb> palette;
};

// The Qt brush of a GDI hatch style (HS_*); EMF+ hatches begin with the same six.
Qt::BrushStyle hatchStyle(int hatch);

// The drawing state of a GDI device context over a QPainter. Coordinates come in
// logical units and are mapped by world transform, page transform (map mode, window,
// viewport) and the device-to-target transform; all drawing happens in target pixels.
class GdiPlayer {
public:
    // deviceToTarget maps reference-device pixels (EMF) or viewport units (WMF) onto
    // the painter's image. devicePixelsPerMm is the reference device's resolution,
    // which the metric map modes need.
    GdiPlayer(QPainter& painter, const QTransform& deviceToTarget, QPointF devicePixelsPerMm);

    DcState s;

    // Transforms
    QTransform pageTransform() const;
    QTransform logicalToTarget() const { return s.world * pageTransform() * deviceToTarget_; }
    const QTransform& deviceToTarget() const { return deviceToTarget_; }
    void setMapMode(int mode);
    void setWindowOrg(QPointF p) { s.windowOrg = p; }
    void setViewportOrg(QPointF p) { s.viewportOrg = p; }
    void setWindowExt(QPointF e);
    void setViewportExt(QPointF e);
    void scaleWindowExt(double xNum, double xDen, double yNum, double yDen);
    void scaleViewportExt(double xNum, double xDen, double yNum, double yDen);
    void saveDc();
    void restoreDc(int relative);

    // Objects
    void selectPen(const Pen& pen) { s.pen = pen; }
    void selectBrush(const Brush& brush) { s.brush = brush; }
    void selectFont(const Font& font) { s.font = font; }
    void selectStock(std::uint32_t index);

    // Lines and shapes (logical units)
    void moveTo(QPointF p);
    void lineTo(QPointF p);
    void polyline(const QVector<QPointF>& points);
    void polylineTo(const QVector<QPointF>& points);
    void polygon(const QVector<QPointF>& points);
    void polyPolygon(const std::vector<QVector<QPointF>>& polygons);
    void polyPolyline(const std::vector<QVector<QPointF>>& lines);
    void polyBezier(const QVector<QPointF>& points, bool fromCurrent);
    void polyDraw(const QVector<QPointF>& points, const std::vector<std::uint8_t>& types);
    void rectangle(QRectF r);
    void roundRect(QRectF r, QSizeF corner);
    void ellipse(QRectF r);
    enum class ArcKind { Arc, ArcTo, Chord, Pie };
    void arc(QRectF box, QPointF start, QPointF end, ArcKind kind);
    void angleArc(QPointF center, double radius, double startDeg, double sweepDeg);
    void setPixel(QPointF p, QColor c);

    // Paths
    void beginPath();
    void endPath() { inPath_ = false; }
    void abortPath();
    void closeFigure();
    void fillPath();
    void strokePath();
    void strokeAndFillPath();
    void widenPath();
    void selectClipPath(int mode);

    // Clipping
    void intersectClipRect(QRectF logical);
    void excludeClipRect(QRectF logical);
    void combineClip(const QPainterPath& target, int mode); // path in target pixels
    void resetClip() {
        s.clip.reset();
        s.clipSerial = ++clipSerials_;
    }
    void offsetClip(QPointF logical);

    // Regions (device units)
    void fillRegion(const QPainterPath& device, const Brush& brush);
    void frameRegion(const QPainterPath& device, const Brush& brush, QSizeF stroke);
    void invertRegion(const QPainterPath& device);

    // Text
    void textOut(QPointF reference, const QString& text, const std::vector<double>* dx,
                 std::uint32_t options, std::optional<QRectF> rect);

    // Bitmaps: the source rectangle of the image drawn into the destination (logical).
    void drawBitmap(QRectF destination, const QImage& image, QRectF source, std::uint32_t rop);
    void drawBitmapAlpha(QRectF destination, const QImage& image, QRectF source, int constantAlpha);
    void patBlt(QRectF destination, std::uint32_t rop);
    // The source rectangle onto the parallelogram whose corners are the images of its
    // top-left, top-right and bottom-left corners (logical units). A mask, when given,
    // keeps the source where its bits are 1 and the destination where they are 0.
    void drawBitmapOnto(const QPointF (&corners)[3], const QImage& image, QRectF source,
                        const QImage& mask = {}, QPointF maskOrigin = {});
    // Fills with the brush from the point: the area of the point's colour (surface) or
    // the area bounded by the colour (border). Within the band being drawn only.
    void floodFill(QPointF logical, QColor colour, bool surface);
    void gradientRect(QRectF logical, QColor from, QColor to, bool vertical);
    void gradientTriangle(const QPointF (&points)[3], const QColor (&colors)[3]);

    QColor paletteColor(std::uint32_t colorRef) const;
    // Text records that could not be drawn (no GUI application object for fonts).
    int textSkipped() const { return textSkipped_; }
    // The drawing work done so far, in target pixels touched plus what the front end
    // charges for each record; the budget of a play is counted in it.
    double work() const { return work_; }
    void charge(double units) { work_ += units; }

private:
    QPen targetPen() const;
    QBrush targetBrush(const Brush& brush) const;
    double targetScale() const;
    bool applyClip(); // false when nothing can show
    void setRop(bool forFill);
    void draw(const QPainterPath& logical, bool fill, bool stroke, bool closeForFill = true);
    void drawTarget(const QPainterPath& target, bool fill, bool stroke);
    void addToPath(const QPainterPath& logical);
    QFont makeFont(double emPixels, double& ascent, double& descent) const;
    QPainterPath rectPath(QRectF logical) const;

    QPainter& painter_;
    QTransform deviceToTarget_;
    QPointF pxPerMm_;
    std::vector<DcState> saved_;
    QPainterPath path_; // target pixels
    bool inPath_ = false;
    bool havePath_ = false;
    int clipSerials_ = 0;
    int appliedClip_ = -1;
    int textSkipped_ = 0;
    double work_ = 0;
    void chargeArea(const QRectF& target); // target pixels within the painter's image
};

} // namespace pictorant::metafile
