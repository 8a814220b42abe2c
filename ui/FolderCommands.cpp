#include "ui/FolderCommands.h"

#include "ui/MessageService.h"
#include "ui/TrashRecord.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

namespace pictorant {

void deleteFiles(const QStringList& paths, bool toRecycleBin) {
    if (toRecycleBin) {
        // Remembered, so "Restore Last Deleted" can bring them back.
        TrashRecord().moveToTrash(paths);
        return;
    }
    for (const QString& path : paths)
        QFile::remove(path);
}

QString createNewFolder(const QString& folder) {
    QDir dir(folder);
    const QString path = dir.filePath("New Folder");
    if (!QFileInfo(path).isDir())
        dir.mkdir("New Folder");
    return path;
}

std::optional<QString> chooseNewDirectory(QWidget* parent, const QString& startFolder) {
    QFileDialog dialog(parent, "Select Directory", startFolder);
    // AnyFile, unlike Directory, lets the user name a folder that is not there yet.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog |
                      QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setLabelText(QFileDialog::FileName, "Folder:");
    if (messages().showModal("selectDirectory", dialog) != QDialog::Accepted)
        return std::nullopt;
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return std::nullopt;
    return chosen.first();
}

void createFolderPath(const QString& path) {
    QDir().mkpath(path);
}

} // namespace pictorant
