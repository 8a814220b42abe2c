#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace pictorant {

// One file moved to the desktop trash: where it was and where the trash keeps it.
struct TrashedFile {
    QString originalPath;
    QString trashPath;
    bool operator==(const TrashedFile&) const = default;
};

// Where the record of the last deletion to the trash lives: "last-deleted" in
// userStateFolder().
QString lastDeletedRecordPath();

// What "Restore Last Deleted" did.
struct RestoreOutcome {
    bool hadRecord = false;  // there was a deletion to restore
    QStringList restored;    // original paths that have their file again
    QStringList notRestored; // "<original path>: <why>", one per file that stayed away
};

// The message for `outcome`, e.g. "Restored 3 files from the trash."
QString restoreMessage(const RestoreOutcome& outcome);

// Moves files to the desktop trash and remembers the last such deletion in a small
// record, so that it can be brought back. No widgets: the deletion window and the source
// pane's menu call it.
class TrashRecord {
public:
    explicit TrashRecord(QString recordPath = lastDeletedRecordPath());

    // Moves each path to the trash, in order; a file that cannot go stays silently.
    // When at least one went, the record names exactly those (it replaces the record of
    // an earlier deletion). Returns the files moved.
    std::vector<TrashedFile> moveToTrash(const QStringList& paths);

    // The files of the record; empty when there is none or it cannot be read.
    std::vector<TrashedFile> load() const;
    // Writes the record through the safe writer, making its folder. Throws
    // SafeWriteError. An empty list removes the record.
    void save(const std::vector<TrashedFile>& files) const;

    // Brings the recorded files back to their original paths with a rename that never
    // replaces a file: a file that now has the name, a missing folder or a file no
    // longer in the trash leaves that one where it is (named in notRestored). The
    // trash's information file of each restored file is removed. The record then keeps
    // only the files still in the trash, and goes when none is left.
    RestoreOutcome restore();

    const QString& path() const { return path_; }

private:
    QString path_;
};

} // namespace pictorant
