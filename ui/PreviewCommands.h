#pragma once

#include "imaging/PhotoOptions.h"
#include "imaging/Picture.h"
#include "imaging/Rotate.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <functional>

namespace pictorant {

class PreviewBox;
class PreviewWindow;

// Rules of the preview, kept apart from the windows so they can be checked alone.
namespace preview {

// Only these endings (last four characters, upper case) are loaded from the file lists.
bool extensionAccepted(const QString& path);

// "<what> - W: <width>, H: <height>", the preview box's hint.
QString hint(const QString& what, int width, int height);

// Folder and entry joined by one separator (none doubled): joinPath for Qt's text.
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
// Returns whether a picture was loaded. The picture is shown as a run would read it:
// upright and in sRGB when `photo` asks for it.
bool loadFromFileList(PreviewBox& box, PreviewWindow& window, int fileCount,
                      const QString& currentPath,
                      const std::function<void(bool)>& setRotationEnabled,
                      const PhotoOptions& photo = {});

// A click on an entry of the selected-files list: the file is `treeFolder`/`entry`,
// named `labelFolder`/`entry` in the hint and the window's caption.
bool loadFromSelectedList(PreviewBox& box, PreviewWindow& window, const QString& treeFolder,
                          const QString& labelFolder, const QString& entry,
                          const PhotoOptions& photo = {});

// A click on the preview box: shows its picture at full size (nothing when empty).
void openWindow(const PreviewBox& box, PreviewWindow& window);

// The rotation command: selection test, the overwrite question, the turn, the redraw
// and the write to the window's caption. Returns whether the picture was turned.
// With `lossless` a JPEG is turned on its compressed blocks as the user sees it (upright
// when photo.autoOrient is on); when its sides are not whole blocks the user is asked
// whether to trim the edge, and No leaves the file as it was.
bool rotate(PreviewBox& box, const PreviewWindow& window, int fileCount, int selectedCount,
            RotateDirection direction, int jpegQuality, bool lossless = false,
            const PhotoOptions& photo = {});

} // namespace preview

} // namespace pictorant
