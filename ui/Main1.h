#pragma once

#include "engine/BatchEngine.h"
#include "engine/JobSettings.h"
#include "engine/RunHost.h"

#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QAction;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;
class QToolButton;

namespace pictorant {

class FilePane;
class FileListView;
class GradientButton;
class GradientProgressBar;
class SettingsFile;

// The program's other windows. They are created once after the main window (see
// ProgramWindows) and reached from its handlers through these pointers; a pointer stays
// null while its window is not part of the program (for instance in a test that builds
// the main window alone).
class TForm2;       // preview
class TForm3;       // duplicate-name warning
class TForm4;       // deletion confirmation
class TfHTM;        // HTML viewer and editor
class TfAbout;      // About box
class TForm6;       // gallery options
class TForm5;       // gallery options help text
class TfDlgOutHTML; // gallery location
class THRFPrmpt;    // HREF prompt

struct SideWindows {
    TForm2* preview = nullptr;
    TForm3* dupeWarn = nullptr;
    TForm4* confirmDelete = nullptr;
    TfHTM* htmlEditor = nullptr;
    TfAbout* about = nullptr;
    TForm6* htmlOptions = nullptr;
    TForm5* htmlHelp = nullptr;
    TfDlgOutHTML* htmlOut = nullptr;
    THRFPrmpt* hrefPrompt = nullptr;
};

// The main window: a five-page wizard that collects a JobSettings, checks it page by
// page, shows it for confirmation and hands it to the batch engine on GO. Controls are
// public members named as their objectNames, in the manner of a form's fields, so the
// side windows and tests reach them directly.
class TForm1 : public QWidget, public RunHost {
    Q_OBJECT
public:
    // Reads the main-window group from `settings` while it is created and writes it back
    // when destroyed; with nullptr nothing is read or written.
    explicit TForm1(SettingsFile* settings = nullptr, QWidget* parent = nullptr);
    ~TForm1() override;

    SideWindows& sideWindows() { return sides_; }

    // The job as the controls hold it now (mode and selection as the first page's
    // Next fixed them).
    JobSettings currentJob() const;
    JobMode mode() const { return mode_; }
    // The names taken over by the first page's Next, in list order.
    const QStringList& selectedFiles() const { return selected_; }
    void clearSelectedFiles();
    // A run is going (between GO and its closing step).
    bool isRunning() const { return running_; }

    // The engine with its run state (processedCount, ProcessedFileList) and the reused
    // picture objects.
    BatchEngine& engine() { return engine_; }
    const RunState& runState() const { return engine_.state(); }

    FilePane& sourcePane() const { return *source_; }
    FilePane& targetPane() const { return *target_; }
    // The folder selected in each pane.
    QString inputFolder() const;
    QString outputFolder() const;

    // Moves to a page (0..4): hides the tab left, shows the one reached, shows its hint.
    void showPage(int page);
    int currentPage() const;
    // Puts a page's hint into the hints box, scrolled to its first line.
    void showHint(int page);
    static QString hintText(int page);

    // Opens a folder in the desktop's file manager ("Launch Explorer"); a test may put
    // its own function here. Empty means the desktop's handler.
    std::function<void(const QString&)> openFolder;

    // The main-window group as the controls hold it, and back.
    MainSettings settingsFromControls() const;
    void applySettings(const MainSettings& settings);

    // Upper region
    QLabel* lHeading;
    QLabel* lOutput;
    QFrame* bvPreview;
    QLabel* Image1;
    QLabel* lPreview;
    QLabel* lMFL;
    QListWidget* lbMFL;
    QLabel* lMFLNote;
    QLabel* lHints;
    QPlainTextEdit* mHelp;
    QToolButton* sbDefaults;
    QToolButton* sbAbout;
    QToolButton* SpeedButton3;
    QToolButton* bRefreshView;
    QToolButton* SpeedButton2;
    QTabWidget* pcMain;
    QWidget* tsIFS;
    QWidget* tsOFO;
    QWidget* tsTO;
    QWidget* tsCS;
    QWidget* tsP;

    // Page 1: Input File Selection
    QLabel* lTitle1;
    QGroupBox* gbMode;
    QRadioButton* rbThumbs;
    QRadioButton* rbRename;
    QLabel* lMask;
    QComboBox* cbMask;
    QToolButton* bSelAll;
    QToolButton* bDeSelAll;
    QToolButton* bInvertSel;
    QToolButton* bDelSel;
    QToolButton* bRotLeft;
    QToolButton* bRotRight;
    GradientButton* bNxt1;

    // Page 2: Ouput File Options
    QLabel* lTitle2;
    QToolButton* sbShowAll;
    QToolButton* sbShowGrafx;
    QLabel* lRenameNote;
    QGroupBox* gbRename;
    QRadioButton* rbRenameOnly;
    QRadioButton* rbCopyConvert;
    QLabel* lConvert;
    QComboBox* cbConvert;
    QLabel* lQualifier;
    QLineEdit* eQualThumb;
    QLineEdit* eQualImage;
    QLabel* lSeq;
    QLineEdit* eSeq;
    QLabel* lNameOption;
    QComboBox* cbNameOption;
    QToolButton* SpeedButton1;
    GradientButton* bBck1;
    GradientButton* bNxt2;

    // Page 3: Thumbnail Options
    QLabel* lTitle3;
    QGroupBox* rgResize;
    QRadioButton* rbFast;
    QRadioButton* rbQuality;
    QLabel* lResizeNote;
    QGroupBox* gbSize;
    QLabel* lW;
    QLineEdit* eWidth;
    QLabel* lH;
    QLineEdit* eHeight;
    QLabel* lMaxWH;
    QCheckBox* cbRatio;
    QCheckBox* cbFWidth;
    QCheckBox* cbFHeight;
    QLabel* lRatioNote;
    GradientButton* bBck2;
    GradientButton* bNxt3;

    // Page 4: Confirm Selections
    QLabel* lTitle4;
    QLabel* lInDirCap;
    QLabel* lInDir;
    QLabel* lOutDirCap;
    QLabel* lOutDir;
    QLabel* lTypesCap;
    QLabel* lTypes;
    QLabel* lConvCap;
    QLabel* lConv;
    QLabel* lNamesCap;
    QLabel* lNames;
    QFrame* bvThumb1;
    QLabel* lResizeCap;
    QLabel* lResize;
    QLabel* lDimCap;
    QLabel* lWCap;
    QLabel* lWVal;
    QLabel* lHCap;
    QLabel* lHVal;
    QLabel* lAspect;
    QLabel* lAspectVal;
    QFrame* bvThumb2;
    QLabel* lJpgCap;
    QSlider* tbJpg;
    QLabel* lJpgVal;
    QCheckBox* cbOverwrite;
    GradientButton* bGO;
    GradientButton* bBck3;
    QPushButton* bShowNames;

    // Page 5: Processing...
    QLabel* lProcCap;
    QLabel* lProc;
    GradientProgressBar* pBar;
    GradientButton* bCancelOp;
    QLabel* lDone;
    GradientButton* bStartOver;
    GradientButton* bHTML;
    QLabel* lDoHTM;

    // Right-click menus of the source pane (pm1) and the target pane (pm2)
    QMenu* pm1;
    QAction* pm1Next;
    QAction* CreateNewDirectory1;
    QAction* RotateImage90degreeclockwise1;
    QAction* RotateImage90degreescounterclockwise1;
    QMenu* pm2;
    QAction* pm2Back;
    QAction* pm2Next;
    QAction* CreateNewDirectory2;

    // RunHost: the Processing page as the engine drives it.
    void runStarting(int fileCount) override;
    void setProgressLine(const std::string& text) override;
    void setProgressMax(int maximum) override;
    void setProgressPosition(int position) override;
    void showMessage(RunMessage id, const std::string& text) override;
    void processEvents() override;
    void rereadPanes() override;
    void runFinished(const std::string& closingLine, bool complete) override;
    void fileWarned(const std::string& name, const std::string& text) override;

signals:
    // The window was closed by the user; the program ends.
    void closed();

public slots:
    // Page buttons
    void bNxt1Click();
    void bNxt2Click();
    void bNxt3Click();
    void bBck1Click();
    void bBck2Click();
    void bBck3Click();
    void bGOClick();
    void bCancelOpClick();
    void bStartOverClick();
    void tsCSShow();
    // "Show names...": the plan of the job GO would run, one row per file.
    void bShowNamesClick();

    // Choices
    void rbThumbsClick();
    void rbRenameOnlyClick();
    void cbNameOptionChange();
    void cbRatioClick();
    void cbFWidthClick();
    void cbFHeightClick();
    void tbJpgChange();
    void SpeedButton1Click();

    // File panes
    void bSelAllClick();
    void bDeSelAllClick();
    void bInvertSelClick();
    void cbMaskChange();
    void sbShowAllClick();
    void sbShowGrafxClick();
    void btnfBoxBackFolderClick();
    void btnfBoxForwardFolderClick();
    void btnfBoxUpFolderClick();
    void efBoxCurrentFolderKeyPress();
    void efBoxCurrentFolderExit();
    void btnfNewBoxBackFolderClick();
    void btnfNewBoxForwardFolderClick();
    void btnfNewBoxUpFolderClick();
    void efNewBoxCurrentFolderKeyPress();
    void efNewBoxCurrentFolderExit();
    void fDirChange();
    void fNewDirChange();
    void bRefreshViewClick();
    void SpeedButton2Click();

    // Side windows: the bodies belong to the preview, deletion, About, help, defaults
    // and gallery windows and call into them.
    void Image1Click();
    void fBoxMouseDown(Qt::MouseButton button);
    void fNewBoxMouseDown(Qt::MouseButton button);
    void lbMFLClick();
    void bRotRightClick();
    void bRotLeftClick();
    void RotateImage90degreeclockwise1Click();
    void RotateImage90degreescounterclockwise1Click();
    void bDelSelClick();
    void CreateNewDirectory1Click();
    void CreateNewDirectory2Click();
    void sbDefaultsClick();
    void sbAboutClick();
    void SpeedButton3Click();
    void bHTMLClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUpperRegion();
    void buildPage1();
    void buildPage2();
    void buildPage3();
    void buildPage4();
    void buildPage5();
    void buildMenus();
    void connectHandlers();
    void FormCreate();
    void FormDestroy();

    // Re-reads the folder tree of the gallery location dialog (part of the refresh).
    void refreshGalleryLocationTree();

    void applyModeVisibility();
    void applyRenameVisibility();
    void applyRatioVisibility();
    void setSourceCount(int count);
    bool confirmDuplicates();
    // Back to the first page with the selection emptied, as page 2's Back does.
    void returnToFirstPage();

    SettingsFile* settings_;
    SideWindows sides_;
    BatchEngine engine_;
    JobMode mode_ = JobMode::CreateThumbnails;
    QStringList selected_;
    FilePane* source_ = nullptr;
    FilePane* target_ = nullptr;
    bool destroyed_ = false;
    bool running_ = false;
    // The window was closed during a run: it closes once the run has stopped.
    bool closeAfterRun_ = false;
    // Page 2's same-folder question was answered Continue: a convert may write over its
    // own sources.
    bool inPlaceConfirmed_ = false;
};

} // namespace pictorant
