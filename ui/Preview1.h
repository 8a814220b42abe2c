#pragma once

#include "Picture.h"
#include "Rotate.h"

#include <QImage>
#include <QLabel>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>
#include <optional>

class QScrollArea;

namespace pictorant {

class PreviewBox;
class TForm2;

// Rules of the preview, kept apart from the windows so they can be checked alone.
namespace preview {

// Only these endings (last four characters, upper case) are loaded from the file lists.
bool extensionAccepted(const QString& path);

// "<what> - W: <width>, H: <height>", the preview box's hint.
QString hint(const QString& what, int width, int height);

// Folder and entry joined by one separator (none doubled).
QString joinPath(const QString& folder, const QString& entry);

// Outer geometry of the preview window for a picture of `picture` pixels: the client
// area takes the picture at 1:1, `frame` is what the window adds around its client
// area, and each side longer than the screen becomes the screen's side less 10.
// The window sits at (5, 5).
QRect windowGeometry(QSize picture, QSize frame, QSize screen);

// The vertical scroll position after a wheel turn of `delta` (120 a notch, forward
// positive); the division truncates toward zero.
int wheelScrollPosition(int position, int delta);

// Whether the rotation command must first ask for a selection.
bool rotationNeedsSelection(int fileCount, int selectedCount);

// A 24-bit raster as an image (a deep copy).
QImage toImage(const Raster& raster);

// The text of an error that no handler takes: "." is added after a letter, digit or
// anything else that sorts after the full stop.
QString unhandledErrorText(const QString& message);

// A left press in the source or target file list. `currentPath` is the full path of
// the list's current file, empty when it has none. For the source list,
// `setRotationEnabled` switches both rotation buttons (nullptr for the target list).
// Returns whether a picture was loaded.
bool loadFromFileList(PreviewBox& box, TForm2& window, int fileCount, const QString& currentPath,
                      const std::function<void(bool)>& setRotationEnabled);

// A click on an entry of the selected-files list: the file is `treeFolder`/`entry`,
// named `labelFolder`/`entry` in the hint and the window's caption.
bool loadFromSelectedList(PreviewBox& box, TForm2& window, const QString& treeFolder,
                          const QString& labelFolder, const QString& entry);

// A click on the preview box: shows its picture at full size (nothing when empty).
void openWindow(const PreviewBox& box, TForm2& window);

// The rotation command: selection test, the overwrite question, the turn, the redraw
// and the write to the window's caption. Returns whether the picture was turned.
bool rotate(PreviewBox& box, const TForm2& window, int fileCount, int selectedCount,
            RotateDirection direction, int jpegQuality);

} // namespace preview

// The main window's preview box: the picture last loaded into a label of the window,
// drawn stretched over the label's whole area without keeping the aspect ratio; the
// label's tool tip is the box's hint. It lives as a child of the label.
class PreviewBox : public QObject {
    Q_OBJECT
public:
    // The box of `label`, made on first use; the label becomes 97 by 84 and stretches.
    static PreviewBox& attach(QLabel* label);

    QLabel* label() const { return label_; }
    bool hasPicture() const { return picture_.has_value(); }
    // The picture held; only valid when hasPicture().
    Picture& picture() { return *picture_; }
    const Picture& picture() const { return *picture_; }
    void setPicture(Picture picture);
    void clearPicture();
    // Draws the picture again (after it was changed in place).
    void redraw();
    // The picture as drawn at 1:1 (null when empty).
    const QImage& image() const { return image_; }
    QString hint() const;
    void setHint(const QString& hint);

private:
    explicit PreviewBox(QLabel* label);

    QLabel* label_;
    std::optional<Picture> picture_;
    QImage image_;
};

// The full-size preview window: one picture at 1:1 in a scroll area.
class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    // Shows `image` at full size with `hint`, limited to the screen, at (5, 5), in front.
    void showPicture(const QImage& image, const QString& hint);

    QImage picture() const;
    QString pictureHint() const;
    QScrollArea* scrollArea() const { return scroll_; }

    void Image1Click();
    // Applies the wheel rule; returns whether it scrolled.
    bool FormMouseWheel(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QScrollArea* scroll_;
    QLabel* Image1_;
};

} // namespace pictorant
