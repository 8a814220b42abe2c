#include "ui/SplashScreen.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

namespace pictorant {

SplashScreen::SplashScreen(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), picture_(picture()) {
    setObjectName(QStringLiteral("fSplasher"));
    setFixedSize(picture_.size());
    centre();
}

void SplashScreen::centre() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    move(area.center() - QPoint(width() / 2, height() / 2) + QPoint(1, 1));
}

QRect SplashScreen::nameBox() {
    return QRect(112, 30, 256 - 112 - 8 + 2, 40);
}

QPixmap SplashScreen::picture() {
    QPixmap pixmap(256, 128);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 128);
    sky.setColorAt(0, QColor(0, 0, 128));
    sky.setColorAt(1, QColor(0, 160, 200));
    p.fillRect(pixmap.rect(), sky);

    // A stack of three picture frames, the program's emblem.
    const QColor frames[] = {QColor(255, 210, 90), QColor(120, 220, 120), QColor(250, 250, 250)};
    for (int i = 0; i < 3; ++i) {
        const QRectF frame(16 + i * 12, 22 + i * 10, 62, 48);
        p.setPen(QPen(QColor(30, 30, 30), 1.5));
        p.setBrush(frames[i]);
        p.drawRect(frame);
    }
    const QRectF front(40, 42, 62, 48);
    QPainterPath hills;
    hills.moveTo(front.left() + 4, front.bottom() - 4);
    hills.lineTo(front.left() + 22, front.top() + 20);
    hills.lineTo(front.left() + 34, front.top() + 32);
    hills.lineTo(front.left() + 44, front.top() + 24);
    hills.lineTo(front.right() - 4, front.bottom() - 4);
    hills.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 128, 0));
    p.drawPath(hills);
    p.setBrush(QColor(255, 200, 0));
    p.drawEllipse(QPointF(front.right() - 14, front.top() + 12), 6, 6);

    // The name in the largest size up to 30 pixels that fits the room right of the
    // emblem, shadow included, whatever font the system finds for the family.
    const QString title = QStringLiteral("Pictorant");
    const QRect box = nameBox();
    const int room = box.width() - 2;
    QFont name(QStringLiteral("DejaVu Serif"));
    name.setBold(true);
    for (int size = 30; size > 12; --size) {
        name.setPixelSize(size);
        if (QFontMetrics(name).horizontalAdvance(title) <= room)
            break;
    }
    p.setFont(name);
    p.setPen(QColor(0, 0, 0, 120));
    p.drawText(box.translated(2, 2), Qt::AlignLeft | Qt::AlignVCenter, title);
    p.setPen(Qt::white);
    p.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, title);

    QFont line(QStringLiteral("DejaVu Sans"));
    line.setPixelSize(11);
    p.setFont(line);
    p.setPen(QColor(220, 240, 255));
    p.drawText(QRect(112, 70, 140, 16), Qt::AlignLeft, QStringLiteral("Thumbnails, rename,"));
    p.drawText(QRect(112, 84, 140, 16), Qt::AlignLeft, QStringLiteral("convert, galleries"));
    p.drawText(QRect(112, 104, 140, 16), Qt::AlignLeft, QStringLiteral("Version 1.7"));

    p.setPen(QPen(Qt::white, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, 254, 126));
    return pixmap;
}

void SplashScreen::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
}

} // namespace pictorant
