#pragma once

#include "engine/BatchEngine.h"
#include "engine/JobSettings.h"
#include "imaging/Rotate.h"
#include "settings/MainSettings.h"
#include "ui/WizardPage.h"

#include <QStringList>
#include <QWidget>
#include <functional>

class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QTabWidget;
class QThread;
class QToolButton;

namespace pictorant {

class AboutBox;
class ConfirmPage;
class DeleteFilesDialog;
class DuplicateNamesDialog;
class FilePane;
class FramesLinkPrompt;
class GalleryLocationDialog;
class GalleryOptionsDialog;
class HtmlEditorWindow;
class InputPage;
class LinkModeHelp;
class OutputPage;
class PreviewWindow;
class ProcessingPage;
class SettingsFile;
class ThumbnailPage;
class WizardRunHost;

// The program's other windows, created once after the wizard (see ProgramWindows) and
// reached from its commands; a pointer stays null while its window is not part of the
// program (for instance in a test that builds the wizard alone).
struct SideWindows {
    PreviewWindow* preview = nullptr;
    DuplicateNamesDialog* dupeWarn = nullptr;
    DeleteFilesDialog* confirmDelete = nullptr;
    HtmlEditorWindow* htmlEditor = nullptr;
    AboutBox* about = nullptr;
    GalleryOptionsDialog* htmlOptions = nullptr;
    LinkModeHelp* htmlHelp = nullptr;
    GalleryLocationDialog* htmlOut = nullptr;
    FramesLinkPrompt* hrefPrompt = nullptr;
};

// The main window ("Form1"): a five-page wizard that collects a job, checks it page by
// page, shows it for confirmation and hands it to the batch engine on GO. Above the
// pages: the preview box, the list of selected files, the hints and the tool buttons.
// Each page owns its controls; tests and automation find them by their objectNames.
class MainWizard : public QWidget {
    Q_OBJECT
public:
    // Reads the main-window group from `settings` while it is created and writes it back
    // when destroyed; with nullptr nothing is read or written.
    explicit MainWizard(SettingsFile* settings = nullptr, QWidget* parent = nullptr);
    ~MainWizard() override;

    SideWindows& sideWindows() { return sides_; }

    // The job as the controls hold it now (mode and selection as the first page's
    // Next fixed them).
    JobSettings currentJob() const;
    JobMode mode() const { return mode_; }
    // The names taken over by the first page's Next, in list order.
    const QStringList& selectedFiles() const { return selected_; }
    void clearSelectedFiles();
    // A run is going: from GO until its worker thread has ended.
    bool isRunning() const { return running_; }

    // The engine with its run state and the reused picture objects.
    BatchEngine& engine() { return engine_; }
    const RunState& runState() const { return engine_.state(); }

    FilePane& sourcePane() const;
    FilePane& targetPane() const;
    QString inputFolder() const;
    QString outputFolder() const;
    // Both panes read their folders again.
    void rereadPanes();

    // Moves to a page: hides the tab left, shows the one reached and its hint.
    void showPage(WizardPage page);
    WizardPage currentPage() const;

    // The source pane's right-click menu, which other commands may join.
    QMenu& sourceMenu() const { return *sourceMenu_; }

    // Opens a folder in the desktop's file manager ("Launch Explorer"); a test may put
    // its own function here. Empty means the desktop's handler.
    std::function<void(const QString&)> openFolder;

    // The main-window group as the controls hold it, and back.
    MainSettings settingsFromControls() const;
    void applySettings(const MainSettings& settings);

signals:
    // The window was closed by the user; the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUpperRegion();
    void buildMenus();
    void connectHandlers();
    void writeSettings();

    // Page flow
    void leaveInputPage();
    void leaveOutputPage();
    void leaveThumbnailPage();
    void backToInputPage();
    void backToOutputPage();
    void backFromConfirmPage();
    void fillConfirmPage();
    void showModeHeading(JobMode mode);
    bool confirmDuplicates();
    // Back to the first page with the selection emptied.
    void returnToFirstPage();
    void setSourceCount(int count);
    void showHint(WizardPage page);

    // The run
    void startRun();
    void showPlannedNames();
    void cancelRun();
    void startOver();
    void runStarting(int fileCount);
    void showRunMessage(const QString& id, const QString& text);
    void showRunWarning(const QString& line);
    void runFinished(const QString& closingLine);
    // The worker thread has ended.
    void runEnded();

    // Side commands
    void refreshPanes();
    void openFolderInFileManager();
    void openPreviewWindow();
    void previewSourceFile(Qt::MouseButton button);
    void previewTargetFile(Qt::MouseButton button);
    void previewSelectedFile();
    void rotatePreview(RotateDirection direction);
    // The photo options of the settings onto the output page and the source menu.
    void applyPhotoSettings(const MainSettings& s);
    void deleteSelectedSourceFiles();
    void createSourceFolder();
    void createTargetFolder();
    void resetToDefaults();
    void applyFactoryDefaults();
    void showAbout();
    void showHelp();
    void makeGallery();

    SettingsFile* settings_;
    SideWindows sides_;
    BatchEngine engine_;
    WizardRunHost* runHost_;
    QThread* runThread_ = nullptr;
    JobMode mode_ = JobMode::CreateThumbnails;
    QStringList selected_;
    bool settingsWritten_ = false;
    bool running_ = false;
    // The window was closed during a run: it closes once the run has stopped.
    bool closeAfterRun_ = false;
    // The second page's same-folder question was answered Continue: a convert may write
    // over its own sources.
    bool inPlaceConfirmed_ = false;
    // The longest thumbnail side of the most recent thumbnail run; 0 before the first.
    int lastThumbMaxSide_ = 0;

    // Upper region
    QLabel* heading_;
    QLabel* modeHeading_;
    QLabel* previewCaption_;
    QFrame* previewFrame_;
    QLabel* previewBox_;
    QLabel* selectedCaption_;
    QListWidget* selectedList_;
    QLabel* selectedNote_;
    QLabel* hintsCaption_;
    QPlainTextEdit* hints_;
    QToolButton* defaultsButton_;
    QToolButton* aboutButton_;
    QToolButton* helpButton_;
    QToolButton* refreshButton_;
    QToolButton* explorerButton_;
    QTabWidget* pages_;
    InputPage* inputPage_;
    OutputPage* outputPage_;
    ThumbnailPage* thumbnailPage_;
    ConfirmPage* confirmPage_;
    ProcessingPage* processingPage_;

    // Right-click menus of the source and the target pane
    QMenu* sourceMenu_;
    QAction* sourceNextAction_;
    QAction* newSourceFolderAction_;
    QAction* rotateClockwiseAction_;
    QAction* rotateCounterClockwiseAction_;
    QAction* losslessRotationAction_;
    QMenu* targetMenu_;
    QAction* targetBackAction_;
    QAction* targetNextAction_;
    QAction* newTargetFolderAction_;
};

} // namespace pictorant
