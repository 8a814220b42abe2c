#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <optional>

class QCheckBox;
class QImage;
class QLabel;
class QPushButton;

namespace pictorant {

class SettingsFile;
class TForm4;

// The answer of the deletion confirmation.
struct DeletionAnswer {
    bool yes = false;         // only the Yes button gives true
    bool toRecycleBin = true; // state of "Delete to Recycle Bin" when the window closed
};

// "Confirm deletion of <count> files..." (always "files").
QString deletionCountText(int count);

// "Delete Selected Files" for `paths` (full paths, in list order): nothing without a
// path; else asks `form` and, on Yes, deletes by its recycle-bin choice. Returns
// whether it deleted (the caller then re-reads the lists and empties the selection).
bool deleteSelectedFiles(TForm4& form, const QStringList& paths);

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

// The deletion confirmation window; also used by the gallery location dialog.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    // Reads the "Delete to Recycle Bin" choice from `settings` (when given) and writes
    // it back there when destroyed.
    explicit TForm4(SettingsFile* settings = nullptr, QWidget* parent = nullptr);
    ~TForm4() override;

    // Shows the window modally for `count` files; any way of closing but Yes is No.
    DeletionAnswer confirmDeletion(int count);

    // The "Delete to Recycle Bin" choice, kept in the settings file.
    bool recycleBin() const;
    void setRecycleBin(bool on);

    void Image1Click();

private:
    SettingsFile* settings_;
    QLabel* Image1_;
    QLabel* lNumDel_;
    QCheckBox* cbRecycle_;
    QPushButton* bYesDel_;
    QPushButton* BitBtn1_;
};

// The 48 by 48 picture of the deletion confirmation, drawn by the program.
QImage deletionPicture();

} // namespace pictorant
