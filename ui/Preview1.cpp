#include "Preview1.h"

#include "MessageService.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <exception>

namespace pictorant {

namespace preview {

bool extensionAccepted(const QString& path) {
    static const QStringList accepted{".JPG", "JPEG", ".GIF", ".BMP", ".WMF", ".EMF"};
    return accepted.contains(path.right(4).toUpper());
}

QString hint(const QString& what, int width, int height) {
    return QStringLiteral("%1 - W: %2, H: %3").arg(what).arg(width).arg(height);
}

QString joinPath(const QString& folder, const QString& entry) {
    if (folder.endsWith('/'))
        return folder + entry;
    return folder + '/' + entry;
}

QRect windowGeometry(QSize picture, QSize frame, QSize screen) {
    int width = picture.width() + frame.width();
    int height = picture.height() + frame.height();
    if (screen.width() < width)
        width = screen.width() - 10;
    if (screen.height() < height)
        height = screen.height() - 10;
    return QRect(5, 5, width, height);
}

int wheelScrollPosition(int position, int delta) {
    return position - delta / 12;
}

bool rotationNeedsSelection(int fileCount, int selectedCount) {
    return fileCount > 0 && selectedCount == 0;
}

QImage toImage(const Raster& raster) {
    if (raster.isEmpty() || raster.format() != PixelFormat::Bgr24)
        return {};
    QImage image(raster.width(), raster.height(), QImage::Format_BGR888);
    for (int y = 0; y < raster.height(); ++y)
        std::memcpy(image.scanLine(y), raster.scanLine(y), raster.bytesPerLine());
    return image;
}

QString unhandledErrorText(const QString& message) {
    if (!message.isEmpty() && message.back() > QChar('.'))
        return message + '.';
    return message;
}

namespace {

void showUnhandledError(const std::exception& error) {
    messages().inform("unhandledError", unhandledErrorText(QString::fromStdString(error.what())),
                      programTitle(), MessageIcon::Stop);
}

// Loads `path`; on failure says "Could not open <shown>" and gives nothing.
std::optional<Picture> tryLoad(const QString& path, const QString& shown) {
    try {
        return LoadPicture(path.toStdString());
    } catch (const std::exception&) {
        messages().inform("couldNotOpen", "Could not open " + shown, programTitle());
        return std::nullopt;
    }
}

} // namespace

bool loadFromFileList(PreviewBox& box, TForm2& window, int fileCount, const QString& currentPath,
                      const std::function<void(bool)>& setRotationEnabled) {
    if (fileCount <= 0)
        return false;
    if (setRotationEnabled)
        setRotationEnabled(false);
    if (currentPath.isEmpty() || !extensionAccepted(currentPath))
        return false;
    box.clearPicture();
    std::optional<Picture> picture = tryLoad(currentPath, currentPath);
    if (!picture)
        return false;
    const int width = picture->width(), height = picture->height();
    box.setPicture(std::move(*picture));
    window.setWindowTitle(currentPath);
    box.setHint(hint(currentPath, width, height));
    if (setRotationEnabled)
        setRotationEnabled(true);
    return true;
}

bool loadFromSelectedList(PreviewBox& box, TForm2& window, const QString& treeFolder,
                          const QString& labelFolder, const QString& entry) {
    std::optional<Picture> picture = tryLoad(joinPath(treeFolder, entry), entry);
    if (!picture)
        return false;
    const int width = picture->width(), height = picture->height();
    box.setPicture(std::move(*picture));
    const QString shown = joinPath(labelFolder, entry);
    box.setHint(hint(shown, width, height));
    window.setWindowTitle(shown);
    return true;
}

void openWindow(const PreviewBox& box, TForm2& window) {
    if (!box.hasPicture())
        return;
    window.showPicture(box.image(), box.hint());
}

bool rotate(PreviewBox& box, const TForm2& window, int fileCount, int selectedCount,
            RotateDirection direction, int jpegQuality) {
    if (rotationNeedsSelection(fileCount, selectedCount)) {
        messages().inform("selectFileToRotate", "First select a file to be rotated",
                          programTitle());
        return false;
    }
    const MessageAnswer answer =
        messages().ask({"overwriteOriginal", "This will overwrite the original file!  Continue?",
                        programTitle(), MessageIcon::Warning, MessageButtons::YesNo});
    if (answer != MessageAnswer::Yes || !box.hasPicture())
        return false;
    try {
        RotateQuarter(box.picture(), direction, jpegQuality);
        box.redraw();
        // Rewritten in place: a read-only original is refused, a link keeps pointing at
        // the turned picture, owner and mode stay, and a failure leaves the file as it was.
        WritePictureReplacing(box.picture(), window.windowTitle().toStdString());
    } catch (const std::exception& error) {
        box.redraw();
        showUnhandledError(error);
    }
    return true;
}

} // namespace preview

PreviewBox& PreviewBox::attach(QLabel* label) {
    if (auto* box = label->findChild<PreviewBox*>(QString(), Qt::FindDirectChildrenOnly))
        return *box;
    return *new PreviewBox(label);
}

PreviewBox::PreviewBox(QLabel* label) : QObject(label), label_(label) {
    label_->setFixedSize(97, 84);
    label_->setScaledContents(true);
}

void PreviewBox::setPicture(Picture picture) {
    picture_.emplace(std::move(picture));
    redraw();
}

void PreviewBox::clearPicture() {
    picture_.reset();
    image_ = QImage();
    label_->clear();
}

void PreviewBox::redraw() {
    image_ = QImage();
    if (picture_ && !picture_->isEmpty()) {
        try {
            Raster raster;
            RenderToBitmap(*picture_, raster);
            image_ = preview::toImage(raster);
        } catch (const std::exception&) {
            // A picture that cannot be drawn shows as an empty box.
        }
    }
    if (image_.isNull())
        label_->clear();
    else
        label_->setPixmap(QPixmap::fromImage(image_));
}

QString PreviewBox::hint() const {
    return label_->toolTip();
}

void PreviewBox::setHint(const QString& hint) {
    label_->setToolTip(hint);
}

TForm2::TForm2(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Form2");
    setWindowTitle("Preview Window");
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("scroll");
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(false);
    Image1_ = new QLabel;
    Image1_->setObjectName("Image1");
    Image1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll_->setWidget(Image1_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);
    Image1_->installEventFilter(this);
    scroll_->viewport()->installEventFilter(this);
    setGeometry(25, 25, 123, 67);
}

void TForm2::showPicture(const QImage& image, const QString& hint) {
    if (image.isNull())
        return;
    Image1_->clear();
    Image1_->setPixmap(QPixmap::fromImage(image));
    Image1_->resize(image.size());
    Image1_->setToolTip(hint);

    // Scroll bars left over from an earlier size would squeeze the new client area and
    // keep each other visible; they are worked out afresh once the size is final.
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The frame is known only once the window exists on screen.
    if (!isVisible())
        show();
    QSize screenSize(1024, 768);
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        screenSize = s->geometry().size();
    const QSize frame = frameGeometry().size() - geometry().size();
    const QRect outer = preview::windowGeometry(image.size(), frame, screenSize);
    // Qt sizes the client area; the frame lies around it.
    resize(outer.size() - frame);
    move(outer.topLeft());
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    show();
    raise();
    activateWindow();
}

QImage TForm2::picture() const {
    return Image1_->pixmap().toImage();
}

QString TForm2::pictureHint() const {
    return Image1_->toolTip();
}

void TForm2::Image1Click() {
    close();
}

bool TForm2::FormMouseWheel(int delta) {
    QScrollBar* bar = scroll_->verticalScrollBar();
    if (!bar->isVisible())
        return false;
    bar->setValue(preview::wheelScrollPosition(bar->value(), delta));
    return true;
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Image1_ && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Image1Click();
        return true;
    }
    if (event->type() == QEvent::Wheel) {
        FormMouseWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace pictorant
