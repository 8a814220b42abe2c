#include "ui/PreviewCommands.h"

#include "files/PathJoin.h"
#include "imaging/LosslessRotate.h"
#include "ui/MessageService.h"
#include "ui/PreviewBox.h"
#include "ui/PreviewWindow.h"

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
    return QString::fromStdString(pictorant::joinPath(folder.toStdString(), entry.toStdString()));
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

// Loads `path` as a run reads it; on failure says "Could not open <shown>" and gives
// nothing. The picture is drawn once here, so a file whose header reads but whose data
// does not decode fails now rather than showing as an empty box.
std::optional<Picture> tryLoad(const QString& path, const QString& shown,
                               const PhotoOptions& photo) {
    try {
        Picture picture = LoadPicture(path.toStdString());
        PreparePhoto(picture, photo);
        Raster drawn;
        RenderToBitmap(picture, drawn);
        return picture;
    } catch (const std::exception&) {
        messages().inform("couldNotOpen", "Could not open " + shown, programTitle());
        return std::nullopt;
    }
}

// The JPEG at path turned on its blocks, asking before an edge is trimmed, and shown
// again from the file.
void rotateLossless(PreviewBox& box, const QString& path, RotateDirection direction,
                    const PhotoOptions& photo) {
    const std::string file = path.toStdString();
    if (!RotateJpegFileLossless(file, direction, photo.autoOrient, PartialBlocks::Refuse)) {
        const MessageAnswer trim = messages().ask(
            {"trimEdge",
             "The picture's width or height is not a whole number of JPEG blocks, so it "
             "cannot be turned without loss as it is.\r\n\r\nTrim the partial blocks at its "
             "edge (at most 15 pixels) and turn it?",
             programTitle(), MessageIcon::Question, MessageButtons::YesNo});
        if (trim != MessageAnswer::Yes)
            return;
        RotateJpegFileLossless(file, direction, photo.autoOrient, PartialBlocks::Trim);
    }
    Picture turned = LoadPicture(file);
    PreparePhoto(turned, photo);
    box.setPicture(std::move(turned));
}

} // namespace

bool loadFromFileList(PreviewBox& box, PreviewWindow& window, int fileCount,
                      const QString& currentPath,
                      const std::function<void(bool)>& setRotationEnabled,
                      const PhotoOptions& photo) {
    if (fileCount <= 0)
        return false;
    if (setRotationEnabled)
        setRotationEnabled(false);
    if (currentPath.isEmpty() || !extensionAccepted(currentPath))
        return false;
    box.clearPicture();
    std::optional<Picture> picture = tryLoad(currentPath, currentPath, photo);
    if (!picture)
        return false;
    const int width = picture->width(), height = picture->height();
    box.setPicture(std::move(*picture));
    box.followFile(currentPath);
    window.setWindowTitle(currentPath);
    box.setHint(hint(currentPath, width, height));
    if (setRotationEnabled)
        setRotationEnabled(true);
    return true;
}

bool loadFromSelectedList(PreviewBox& box, PreviewWindow& window, const QString& treeFolder,
                          const QString& labelFolder, const QString& entry,
                          const PhotoOptions& photo) {
    std::optional<Picture> picture = tryLoad(joinPath(treeFolder, entry), entry, photo);
    if (!picture)
        return false;
    const int width = picture->width(), height = picture->height();
    box.setPicture(std::move(*picture));
    box.followFile(joinPath(treeFolder, entry));
    const QString shown = joinPath(labelFolder, entry);
    box.setHint(hint(shown, width, height));
    window.setWindowTitle(shown);
    return true;
}

void openWindow(const PreviewBox& box, PreviewWindow& window) {
    if (!box.hasPicture())
        return;
    window.showPicture(box.image(), box.hint());
}

bool rotate(PreviewBox& box, const PreviewWindow& window, int fileCount, int selectedCount,
            RotateDirection direction, int jpegQuality, bool lossless, const PhotoOptions& photo) {
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
        if (lossless && box.picture().kind() == PictureKind::Jpeg) {
            rotateLossless(box, window.windowTitle(), direction, photo);
            return true;
        }
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

} // namespace pictorant
