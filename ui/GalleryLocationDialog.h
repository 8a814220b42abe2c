#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <vector>

class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTreeView;

namespace pictorant {

class SettingsFile;
class DeleteFilesDialog;
class GalleryOptionsDialog;
class HtmlEditorWindow;

// The gallery page name that OK keeps: `typed` when it holds ".htm" (exact letter case),
// else "MyWeb.htm". A name holding "/" would put the page outside the chosen folder and
// is replaced the same way.
QString galleryFileName(const QString& typed);

// The nearest folder of `folder` that exists ("/" at worst), as the folder tree shows it.
QString existingFolder(const QString& folder);

// "Specify location of HTML": the folder and file name of a gallery page. The file name
// is read from the settings file when the dialog is created and written when it is
// destroyed; folder and name stay from one gallery to the next.
class GalleryLocationDialog : public QDialog {
    Q_OBJECT
public:
    explicit GalleryLocationDialog(SettingsFile* settings = nullptr, QWidget* parent = nullptr);
    ~GalleryLocationDialog() override;

    // The deletion confirmation that "Delete Selected Files" asks; without one it makes
    // its own (whose recycle-bin choice is then not kept).
    void setConfirmation(DeleteFilesDialog* form);

    // Shows the dialog modally with the tree at `startFolder` and the list refreshed.
    // True on OK.
    bool execute(const QString& startFolder);

    // The folder selected in the tree, the name field, and the two joined.
    QString htmlFolder() const;
    QString htmlName() const;
    void setHtmlName(const QString& name);
    QString galleryPath() const;

    void selectFolder(const QString& folder);
    void refreshFileList();
    // Full paths of the selected files of the list, in list order.
    QStringList selectedPaths() const;

    void bOKClick();
    void miOpenInNotepadClick();
    void miSelectAllClick();
    void miDeSelectAllClick();
    void miInvertSelectionClick();
    void miDeleteClick();

    QLabel* lPrompt = nullptr;
    QTreeView* tvFolders = nullptr;
    QFileSystemModel* folderModel = nullptr;
    QListWidget* lvFiles = nullptr;
    QLabel* lHint = nullptr;
    QLineEdit* eFileName = nullptr;
    QPushButton* bOK = nullptr;
    QPushButton* bCancel = nullptr;
    QMenu* pmFiles = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    DeleteFilesDialog& confirmation();

    SettingsFile* settings_ = nullptr;
    DeleteFilesDialog* confirm_ = nullptr;
};

} // namespace pictorant
