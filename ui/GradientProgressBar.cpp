#include "ui/GradientProgressBar.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>

namespace pictorant {

GradientProgressBar::GradientProgressBar(QWidget* parent) : QProgressBar(parent) {
    setTextVisible(false);
}

QColor GradientProgressBar::blockColor(double fraction) {
    fraction = std::clamp(fraction, 0.0, 1.0);
    // navy (0, 0, 128) to aqua (0, 255, 255)
    return QColor(0, int(255 * fraction + 0.5), int(128 + 127 * fraction + 0.5));
}

void GradientProgressBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect().adjusted(2, 2, -2, -2);
    painter.fillRect(rect(), palette().base());
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));

    const int span = maximum() - minimum();
    if (span <= 0 || area.width() <= 0)
        return;
    const double done = double(value() - minimum()) / span;
    const int filled = int(area.width() * std::clamp(done, 0.0, 1.0));
    constexpr int blockWidth = 8;
    constexpr int gap = 2;
    for (int x = 0; x < filled; x += blockWidth + gap) {
        const int width = std::min(blockWidth, filled - x);
        painter.fillRect(QRect(area.left() + x, area.top(), width, area.height()),
                         blockColor(double(x) / area.width()));
    }
}

} // namespace pictorant
