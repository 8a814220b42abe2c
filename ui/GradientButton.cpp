#include "ui/GradientButton.h"

#include <QApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionButton>

namespace pictorant {

namespace {

// Keeps the time stamp of the latest mouse press anywhere in the program.
class PressClock : public QObject {
public:
    static std::optional<quint64> latest() { return instance().latest_; }

    // Made once per application, which owns it.
    static PressClock& instance() {
        static QPointer<PressClock> clock;
        if (!clock) {
            clock = new PressClock(qApp);
            qApp->installEventFilter(clock);
        }
        return *clock;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress)
            latest_ = static_cast<QMouseEvent*>(event)->timestamp();
        return false;
    }

private:
    using QObject::QObject;
    std::optional<quint64> latest_;
};

} // namespace

GradientButton::GradientButton(const QString& text, QColor start, QColor end, QColor hoverEnd,
                               QWidget* parent)
    : QPushButton(text, parent), start_(start), end_(end), hoverEnd_(hoverEnd) {
    setAttribute(Qt::WA_Hover);
    PressClock::instance();
}

void GradientButton::enterEvent(QEnterEvent* event) {
    hot_ = true;
    update();
    QPushButton::enterEvent(event);
}

void GradientButton::leaveEvent(QEvent* event) {
    hot_ = false;
    update();
    QPushButton::leaveEvent(event);
}

void GradientButton::showEvent(QShowEvent* event) {
    pressBeforeShowing_ = PressClock::latest();
    QPushButton::showEvent(event);
}

bool GradientButton::justAppeared(const QMouseEvent& press) const {
    return pressBeforeShowing_ && press.timestamp() >= *pressBeforeShowing_ &&
           press.timestamp() - *pressBeforeShowing_ < quint64(QApplication::doubleClickInterval());
}

void GradientButton::mousePressEvent(QMouseEvent* event) {
    // Taken here so the press reaches no other widget; the button is never down, so
    // the release that follows clicks nothing.
    if (justAppeared(*event)) {
        event->accept();
        return;
    }
    QPushButton::mousePressEvent(event);
}

void GradientButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (justAppeared(*event)) {
        event->accept();
        return;
    }
    QPushButton::mouseDoubleClickEvent(event);
}

void GradientButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    const bool sunken = isDown();
    gradient.setColorAt(0, sunken ? endColor() : start_);
    gradient.setColorAt(1, sunken ? start_ : endColor());
    QColor frame = isEnabled() ? QColor(40, 40, 40) : QColor(150, 150, 150);
    if (hasFocus())
        frame = QColor(0, 0, 0);
    painter.setPen(QPen(frame, hasFocus() ? 2 : 1));
    painter.setBrush(gradient);
    painter.drawRoundedRect(area, 3, 3);

    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    // White on the gradient whatever the desktop palette; a dark shadow keeps it
    // readable where the gradient turns light.
    const QRect room = rect().translated(sunken ? 1 : 0, sunken ? 1 : 0);
    QStyleOptionButton option;
    initStyleOption(&option);
    const int flags =
        Qt::AlignCenter | Qt::TextShowMnemonic |
        (style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this) ? 0
                                                                         : Qt::TextHideMnemonic);
    painter.setPen(QColor(0, 0, 0, 150));
    painter.drawText(room.translated(1, 1), flags, text());
    painter.setPen(isEnabled() ? Qt::white : QColor(200, 200, 200));
    painter.drawText(room, flags, text());
}

} // namespace pictorant
