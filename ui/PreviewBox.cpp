#include "ui/PreviewBox.h"

#include "ui/PreviewCommands.h"

#include <QFileInfo>
#include <exception>

namespace pictorant {

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
    // Later: this may run from the watcher's own signal.
    if (watcher_)
        watcher_->deleteLater();
    watcher_ = nullptr;
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

void PreviewBox::followFile(const QString& path) {
    if (watcher_)
        watcher_->deleteLater();
    watcher_ = new QFileSystemWatcher({path}, this);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this](const QString& changed) {
        if (!picture_)
            return;
        if (QFileInfo::exists(changed)) {
            // Replaced by a rename (a rotation writes so): follow the new file.
            if (!watcher_->files().contains(changed))
                watcher_->addPath(changed);
            return;
        }
        clearPicture();
        setHint(QString());
        emit pictureGone();
    });
}

QString PreviewBox::hint() const {
    return label_->toolTip();
}

void PreviewBox::setHint(const QString& hint) {
    label_->setToolTip(hint);
}

} // namespace pictorant
