#pragma once

#include <QString>
#include <QStringList>

namespace pictorant {

// The picture files the program reads, as a file-list mask.
inline const QString kPictureFileMask =
    QStringLiteral("*.jpg;*.jpeg;*.gif;*.bmp;*.wmf;*.emf;*.png;*.webp;*.tif;*.tiff;*.heic;*.heif");
// Every file, names without a dot included.
inline const QString kAllFilesMask = QStringLiteral("*.*");

// The choices of the source pane's mask box, the picture files first.
inline QStringList sourceMaskChoices() {
    return {kPictureFileMask, QStringLiteral("*.jpg;*.jpeg"), QStringLiteral("*.gif"),
            QStringLiteral("*.bmp"), QStringLiteral("*.emf;*.wmf")};
}

} // namespace pictorant
