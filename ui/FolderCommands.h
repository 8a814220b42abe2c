#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace pictorant {

// The file and folder commands of the wizard's panes: deleting to the trash, new folders.

// Moves each path to the desktop trash (recoverable, silent; the files moved are
// recorded for "Restore Last Deleted") or deletes it for good, in order. Failures are
// silent: a file that cannot go stays where it is.
void deleteFiles(const QStringList& paths, bool toRecycleBin);

// Makes "New Folder" in `folder` unless it exists already; returns its path either way.
QString createNewFolder(const QString& folder);

// Asks for a folder, starting at `startFolder`; a name that does not exist yet is
// accepted. Returns the chosen path, or nothing on Cancel.
std::optional<QString> chooseNewDirectory(QWidget* parent, const QString& startFolder);

// Creates `path` with every missing parent. Failures are silent.
void createFolderPath(const QString& path);

} // namespace pictorant
