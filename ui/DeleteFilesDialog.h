#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QImage;
class QLabel;
class QPushButton;

namespace pictorant {

class SettingsFile;
class DeleteFilesDialog;

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
bool deleteSelectedFiles(DeleteFilesDialog& form, const QStringList& paths);

// The deletion confirmation window; also used by the gallery location dialog.
class DeleteFilesDialog : public QDialog {
    Q_OBJECT
public:
    // Reads the "Delete to Recycle Bin" choice from `settings` (when given) and writes
    // it back there when destroyed.
    explicit DeleteFilesDialog(SettingsFile* settings = nullptr, QWidget* parent = nullptr);
    ~DeleteFilesDialog() override;

    // Shows the window modally for `count` files; any way of closing but Yes is No.
    DeletionAnswer confirmDeletion(int count);

    // The "Delete to Recycle Bin" choice, kept in the settings file.
    bool recycleBin() const;
    void setRecycleBin(bool on);

    void explainRecycleBin();

private:
    SettingsFile* settings_;
    QLabel* picture_;
    QLabel* lNumDel_;
    QCheckBox* cbRecycle_;
    QPushButton* bYesDel_;
    QPushButton* BitBtn1_;
};

// The 48 by 48 picture of the deletion confirmation, drawn by the program.
QImage deletionPicture();

} // namespace pictorant
