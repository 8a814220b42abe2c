#include "ui/PreviewWindow.h"

#include "ui/PreviewCommands.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <exception>

namespace pictorant {

PreviewWindow::PreviewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Form2");
    setWindowTitle("Preview Window");
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("scroll");
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(false);
    picture_ = new QLabel;
    picture_->setObjectName("Image1");
    picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll_->setWidget(picture_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);
    picture_->installEventFilter(this);
    scroll_->viewport()->installEventFilter(this);
    setGeometry(25, 25, 123, 67);
}

void PreviewWindow::showPicture(const QImage& image, const QString& hint) {
    if (image.isNull())
        return;
    picture_->clear();
    picture_->setPixmap(QPixmap::fromImage(image));
    picture_->resize(image.size());
    picture_->setToolTip(hint);

    // Scroll bars left over from an earlier size would squeeze the new client area and
    // keep each other visible; they are worked out afresh once the size is final.
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const bool first = !isVisible() && frameGeometry().size() == geometry().size();
    if (!isVisible())
        show();
    place(image.size());
    if (first)
        placeAgainWhenFramed(image.size());
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    show();
    raise();
    activateWindow();
}

void PreviewWindow::place(QSize size) {
    QSize screenSize(1024, 768);
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        screenSize = s->geometry().size();
    const QSize frame = frameGeometry().size() - geometry().size();
    const QRect outer = preview::windowGeometry(size, frame, screenSize);
    // Qt sizes the client area; the frame lies around it. move() places the frame.
    resize(outer.size() - frame);
    move(outer.topLeft());
}

void PreviewWindow::placeAgainWhenFramed(QSize size) {
    auto* wait = new QTimer(this);
    wait->setInterval(20);
    connect(wait, &QTimer::timeout, this, [this, wait, size, tries = 0]() mutable {
        const bool framed = frameGeometry().size() != geometry().size();
        if (framed && isVisible())
            place(size);
        // Without a window manager no frame comes: a second is long enough to know.
        if (framed || ++tries >= 50)
            wait->deleteLater();
    });
    wait->start();
}

QImage PreviewWindow::picture() const {
    return picture_->pixmap().toImage();
}

QString PreviewWindow::pictureHint() const {
    return picture_->toolTip();
}

void PreviewWindow::closeOnClick() {
    close();
}

bool PreviewWindow::scrollByWheel(int delta) {
    QScrollBar* bar = scroll_->verticalScrollBar();
    if (!bar->isVisible())
        return false;
    bar->setValue(preview::wheelScrollPosition(bar->value(), delta));
    return true;
}

bool PreviewWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == picture_ && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        closeOnClick();
        return true;
    }
    if (event->type() == QEvent::Wheel) {
        scrollByWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pictorant
