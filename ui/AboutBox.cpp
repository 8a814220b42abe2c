#include "ui/AboutBox.h"

#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QUrl>

namespace pictorant {

namespace {

int roundUpToStep(int value, int step) {
    return (value + step - 1) / step * step;
}

constexpr int panelWidth = 329;
constexpr int panelHeight = 113;

} // namespace

AboutScroll::AboutScroll(int step, int length, int enterFrom)
    : step_(step), length_(roundUpToStep(length, step)),
      enterFrom_(roundUpToStep(enterFrom, step)) {}

bool AboutScroll::start() {
    if (running())
        return false;
    phase_ = Phase::Out;
    offset_ = 0;
    return true;
}

void AboutScroll::tick() {
    switch (phase_) {
    case Phase::Stopped:
        return;
    case Phase::Out:
        offset_ -= step_;
        if (offset_ <= -length_) {
            phase_ = Phase::In;
            offset_ = enterFrom_;
        }
        return;
    case Phase::In:
        offset_ -= step_;
        if (offset_ <= 0) {
            offset_ = 0;
            phase_ = Phase::Stopped;
        }
        return;
    }
}

ShadowLabel::ShadowLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
    QFont font("Times New Roman");
    font.setStyleHint(QFont::Serif);
    font.setPixelSize(32);
    font.setBold(true);
    setFont(font);
}

void ShadowLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(font());
    p.setPen(QColor(128, 128, 128));
    p.drawText(rect().translated(3, 3), Qt::AlignCenter, text_);
    p.setPen(QColor(0, 0, 128));
    p.drawText(rect(), Qt::AlignCenter, text_);
}

QImage aboutPicture() {
    QImage image(160, 102, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // A sky over hills, with a stack of thumbnail frames in front.
    QLinearGradient sky(0, 0, 0, 102);
    sky.setColorAt(0, QColor(90, 150, 230));
    sky.setColorAt(1, QColor(220, 235, 255));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 215, 60));
    p.drawEllipse(QPointF(128, 24), 12, 12);
    QPainterPath hills;
    hills.moveTo(0, 80);
    hills.cubicTo(30, 50, 60, 60, 90, 75);
    hills.cubicTo(115, 60, 140, 55, 160, 70);
    hills.lineTo(160, 102);
    hills.lineTo(0, 102);
    hills.closeSubpath();
    p.setBrush(QColor(60, 140, 70));
    p.drawPath(hills);
    for (int i = 0; i < 3; ++i) {
        const QRectF frame(12 + i * 14, 18 + i * 10, 46, 36);
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(Qt::white);
        p.drawRect(frame);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(120 + i * 40, 90 + i * 30, 200 - i * 50));
        p.drawRect(frame.adjusted(3, 3, -3, -3));
    }
    p.setPen(QPen(QColor(30, 30, 30), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    return image;
}

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent), scroll_(scrollStep, scrollLength, panelHeight) {
    setObjectName("fAbout");
    setWindowTitle("About Pictorant");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(361, 222);

    SP_ = new QWidget(this);
    SP_->setObjectName("SP");
    SP_->setGeometry(16, 8, panelWidth, panelHeight);
    SP_->setAutoFillBackground(true);
    QPalette white = SP_->palette();
    white.setColor(QPalette::Window, Qt::white);
    SP_->setPalette(white);

    content_ = new QWidget(SP_);
    content_->setObjectName("SPContent");
    content_->setGeometry(0, 0, panelWidth, scrollLength);

    JvImage1_ = new QLabel(content_);
    JvImage1_->setObjectName("JvImage1");
    JvImage1_->setPixmap(QPixmap::fromImage(aboutPicture()));
    JvImage1_->setGeometry((panelWidth - 160) / 2, 4, 160, 102);
    JvImage1_->setAttribute(Qt::WA_Hover);
    JvImage1_->installEventFilter(this);

    auto* notice = new QLabel(content_);
    notice->setObjectName("lNotice");
    notice->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    notice->setWordWrap(true);
    notice->setText("<b>Pictorant</b><br>Version 1.7<br>2026<br><br>"
                    "Pictorant is free software. You may use it, copy it and give it to "
                    "others at no charge, as long as it is passed on whole and unchanged. "
                    "It comes with no warranty of any kind.");
    notice->setGeometry(12, panelHeight + 8, panelWidth - 24, scrollLength - panelHeight - 8);

    JvxLabel1_ = new ShadowLabel("Pictorant V1.7", this);
    JvxLabel1_->setObjectName("JvxLabel1");
    JvxLabel1_->setGeometry(16, 124, panelWidth, 40);

    URLLabel1_ = new QLabel(this);
    URLLabel1_->setObjectName("URLLabel1");
    URLLabel1_->setText(QStringLiteral("<a href=\"%1\" style=\"color: blue;\">%1</a>")
                            .arg(QString::fromLatin1(webAddress)));
    URLLabel1_->setTextFormat(Qt::RichText);
    URLLabel1_->setAlignment(Qt::AlignCenter);
    URLLabel1_->setCursor(Qt::PointingHandCursor);
    URLLabel1_->setOpenExternalLinks(false);
    URLLabel1_->setGeometry(16, 164, panelWidth, 18);

    BitBtn1_ = new QPushButton("OK", this);
    BitBtn1_->setObjectName("BitBtn1");
    BitBtn1_->setGeometry((361 - 75) / 2, 189, 75, 25);
    BitBtn1_->setDefault(true);

    timer_.setInterval(scrollIntervalMs);
    delay_.setSingleShot(true);
    delay_.setInterval(enterDelayMs);

    connect(BitBtn1_, &QPushButton::clicked, this, &QDialog::accept);
    connect(URLLabel1_, &QLabel::linkActivated, this, &AboutBox::URLLabel1Click);
    connect(&timer_, &QTimer::timeout, this, &AboutBox::scrollTick);
    connect(&delay_, &QTimer::timeout, this, &AboutBox::startScroll);
}

void AboutBox::JvImage1MouseEnter() {
    // Waiting with a timer rather than blocking keeps the window painted meanwhile.
    if (!scroll_.running() && !delay_.isActive())
        delay_.start();
}

void AboutBox::startScroll() {
    if (scroll_.start())
        timer_.start();
}

void AboutBox::scrollTick() {
    scroll_.tick();
    content_->move(0, scroll_.offset());
    if (!scroll_.running())
        timer_.stop();
}

void AboutBox::URLLabel1Click() {
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(webAddress)));
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == JvImage1_ && event->type() == QEvent::Enter)
        JvImage1MouseEnter();
    return QDialog::eventFilter(watched, event);
}

} // namespace pictorant
