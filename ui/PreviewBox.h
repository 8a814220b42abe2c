#pragma once

#include "imaging/Picture.h"

#include <QFileSystemWatcher>
#include <QImage>
#include <QLabel>
#include <QObject>
#include <QString>
#include <optional>

namespace pictorant {

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
    // Watches the file the picture came from: once it is deleted or moved away, the
    // box is emptied and pictureGone() is emitted.
    void followFile(const QString& path);

signals:
    void pictureGone();

private:
    explicit PreviewBox(QLabel* label);

    QLabel* label_;
    std::optional<Picture> picture_;
    QImage image_;
    QFileSystemWatcher* watcher_ = nullptr;
};

} // namespace pictorant
