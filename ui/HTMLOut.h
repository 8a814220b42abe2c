#pragma once

#include "engine/JobSettings.h"
#include "engine/RunState.h"

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
class TForm4;
class TForm6;
class TfHTM;

// The gallery page name that OK keeps: `typed` when it holds ".htm" (exact letter case),
// else "MyWeb.htm". A name holding "/" would put the page outside the chosen folder and
// is replaced the same way.
QString galleryFileName(const QString& typed);

// The nearest folder of `folder` that exists ("/" at worst), as the folder tree shows it.
QString existingFolder(const QString& folder);

// "Specify location of HTML": the folder and file name of a gallery page. The file name
// is read from the settings file when the dialog is created and written when it is
// destroyed; folder and name stay from one gallery to the next.
class TfDlgOutHTML : public QDialog {
    Q_OBJECT
public:
    explicit TfDlgOutHTML(SettingsFile* settings = nullptr, QWidget* parent = nullptr);
    ~TfDlgOutHTML() override;

    // The deletion confirmation that "Delete Selected Files" asks; without one it makes
    // its own (whose recycle-bin choice is then not kept).
    void setConfirmation(TForm4* form);

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

private:
    TForm4& confirmation();

    SettingsFile* settings_ = nullptr;
    TForm4* confirm_ = nullptr;
};

// The longest thumbnail side that `job` makes (the frames column width term); 0 for a
// job that makes no thumbnails.
int thumbnailMaxSide(const JobSettings& job);

// What "Do HTML!" works on: the last run's gallery entries, the job's output folder
// (where the output dialog starts when the run has no entries) and the thumbnail side.
struct GalleryRun {
    std::vector<ProcessedFile> entries;
    QString outputFolder;
    int thumbMaxSide = 0;
};

// "Do HTML!": when the editor holds edits, its save question first (Cancel ends the
// flow); the output dialog, the options dialog with its caption and link fields, then
// the one writer the options choose. The page for the editor is handed to it, which
// writes it (a page it cannot write stays in it, unsaved, and the flow stops there);
// "Open in Browser" stays disabled while later pages are written, and a frames gallery
// makes its frameset the editor's browse path. Cancel in either dialog writes nothing;
// a gallery that fails is reported as an error. Returns the paths written.
QStringList runGalleryFlow(TfDlgOutHTML& output, TForm6& options, TfHTM& editor,
                           const GalleryRun& run);

} // namespace pictorant
