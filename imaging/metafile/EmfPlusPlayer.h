#pragma once

#include <QBrush>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>
#include <array>
#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include "imaging/ByteReader.h"

namespace pictorant::metafile {

// The EMF+ records that GDI comments carry. An EMF+ header either marks the file as
// dual (its GDI records draw the same picture) or as EMF+ only.
namespace emfplus {
constexpr std::uint32_t kCommentId = 0x2B464D45; // "EMF+"
constexpr std::uint16_t kHeader = 0x4001;

// The header's dual flag when `records` (a comment's data after its identifier) starts
// with an EMF+ header; none otherwise.
std::optional<bool> headerIsDual(const ByteReader& records);
} // namespace emfplus

// Draws EMF+ records onto the painter. Page units are turned into reference-device
// pixels with the header's dots per inch; deviceToTarget then maps those onto the
// painter's image, as for the GDI records of the same file. The painter's state is
// saved around each drawing so the GDI player's clip and modes stay as they were.
class EmfPlusPlayer {
public:
    EmfPlusPlayer(QPainter& painter, const QTransform& deviceToTarget);

    // Plays the records of one comment. False when a record cannot be walked past,
    // which ends the play like a damaged GDI record.
    bool play(const ByteReader& records);
    bool ended() const { return ended_; }
    // Text records left out because fonts need a GUI application object.
    int textSkipped() const { return textSkipped_; }
    // Target pixels touched and records read, in the units of GdiPlayer::work().
    double work() const { return work_; }

private:
    struct PenObj {
        QPen pen; // width in the pen's unit
        int unit = 0;
    };
    struct FontObj {
        QFont font;
        double emSize = 0;
        int unit = 3;
    };
    struct FormatObj {
        int align = 0, lineAlign = 0;
    };
    using Object =
        std::variant<std::monostate, QBrush, PenObj, QPainterPath, QImage, FontObj, FormatObj>;
    struct State {
        QTransform world;
        std::optional<QPainterPath> clip; // device pixels
        int pageUnit = 2;
        double pageScale = 1;
    };

    void record(std::uint16_t type, std::uint16_t flags, const ByteReader& data);
    void object(std::uint16_t flags, const ByteReader& data);
    Object parseObject(int kind, const ByteReader& data) const;
    QBrush parseBrush(const ByteReader& data) const;
    PenObj parsePen(const ByteReader& data) const;
    QPainterPath parsePath(const ByteReader& data) const;
    QImage parseImage(const ByteReader& data) const;
    FontObj parseFont(const ByteReader& data) const;

    QTransform toDevice() const; // world and page transform
    double unitScale(int unit) const;
    QBrush brushFor(std::uint16_t flags, std::uint32_t value) const;
    const PenObj* penAt(std::uint32_t id) const;
    template <class T> const T* at(std::uint32_t id) const {
        return id < objects_.size() ? std::get_if<T>(&objects_[id]) : nullptr;
    }
    QVector<QPointF> points(const ByteReader& data, std::uint64_t at, std::uint64_t count,
                            std::uint16_t flags) const;
    QRectF rect(const ByteReader& data, std::uint64_t at, bool compressed) const;

    void fill(const QPainterPath& world, const QBrush& brush);
    void stroke(const QPainterPath& world, const PenObj& pen);
    // The fill records fill with the brush `brush` names (by `flags`); the draw records
    // stroke with the pen of the object id in `flags`.
    void fillOrStroke(const QPainterPath& world, bool filling, std::uint16_t flags,
                      std::uint32_t brush);
    void drawImage(const QImage& image, QRectF source, const QPointF (&corners)[3]);
    void drawString(const FontObj& font, const QBrush& brush, const QString& text, QRectF layout,
                    const FormatObj* format);
    void drawGlyphs(const FontObj& font, const QBrush& brush, const QString& text,
                    const QVector<QPointF>& positions);
    bool begin(); // saves the painter and applies the clip; false when nothing shows
    // begin() for text in the font and brush, scaled to target pixels by k; false (and
    // nothing begun) when the text cannot or need not be drawn.
    bool beginText(const FontObj& font, const QBrush& brush, bool nothing, double& k);
    void end();
    void setClip(const QPainterPath& device, int combine);

    QPainter& painter_;
    QTransform deviceToTarget_;
    QPointF dpi_{96, 96};
    State s_;
    std::vector<std::pair<std::uint32_t, State>> saved_; // by stack index
    std::array<Object, 64> objects_;
    std::vector<std::uint8_t> partial_; // an object continued over several records
    std::uint32_t partialSize_ = 0;
    bool ended_ = false;
    int textSkipped_ = 0;
    double work_ = 0;
    void chargeArea(const QRectF& world);
};

} // namespace pictorant::metafile
