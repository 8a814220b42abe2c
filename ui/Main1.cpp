#include "Main1.h"

#include "About.h"
#include "Confirm1.h"
#include "DupeWarn.h"
#include "DupeWarnNames.h"
#include "FilePane.h"
#include "HTMLOut.h"
#include "HelpWindow.h"
#include "HtmPrompt.h"
#include "Main1Controls.h"
#include "MessageService.h"
#include "PlanList.h"
#include "Preview1.h"
#include "engine/Naming.h"
#include "engine/RunPlan.h"
#include "settings/GalleryOptions.h"
#include "settings/MainSettings.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLocation.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <algorithm>
#include <thread>

namespace pictorant {

namespace {

const QColor kGrey(128, 128, 128);
const QColor kGreen(0, 128, 0);
const QColor kLime(0, 255, 0);

const char* const kTabCaptions[] = {"Input File Selection", "Ouput File Options",
                                    "Thumbnail Options", "Confirm Selections", "Processing..."};

const QStringList kMaskChoices = {"*.jpg;*.jpeg;*.gif;*.bmp;*.wmf;*.emf", "*.jpg;*.jpeg", "*.gif",
                                  "*.bmp", "*.emf;*.wmf"};
const QString kTargetGraphicMask = QStringLiteral("*.jpeg;*.jpg;*.bmp;*.gif;*.wmf;*.emf");
const QString kTargetAllMask = QStringLiteral("*.*");

template <class W> W* place(W* widget, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int x, int y, int width,
              int height = 18) {
    return place(new QLabel(text, parent), name, x, y, width, height);
}

QLabel* title(QWidget* parent, const char* name, const QString& text) {
    QLabel* l = label(parent, name, text, 8, 6, 440, 22);
    QFont font = l->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    l->setFont(font);
    l->setStyleSheet(QStringLiteral("color: navy;"));
    return l;
}

GradientButton* pageButton(QWidget* parent, const char* name, const QString& text, int x, int y,
                           int width = 100, int height = 30) {
    auto* button =
        place(new GradientButton(text, kGrey, kGrey, kLime, parent), name, x, y, width, height);
    // A click on a wizard button leaves the focus where it was, so a path typed into a
    // folder box is still there when Next reads it.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QToolButton* toolButton(QWidget* parent, const char* name, const QString& text, int x, int y,
                        int width, int height = 24) {
    auto* button = place(new QToolButton(parent), name, x, y, width, height);
    button->setText(text);
    return button;
}

QToolButton* speedButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                         const QString& hint, int x, int y) {
    auto* button = place(new QToolButton(parent), name, x, y, 26, 26);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    return button;
}

QFrame* separator(QWidget* parent, const char* name, int y) {
    auto* line = place(new QFrame(parent), name, 8, y, 556, 4);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}
std::string ss(const QString& text) {
    return text.toStdString();
}

bool isSequenceOption(int index) {
    return index == int(NamingOption::PreSeq) || index == int(NamingOption::SufSeq);
}

} // namespace

TForm1::TForm1(SettingsFile* settings, QWidget* parent) : QWidget(parent), settings_(settings) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Batch Renamer / Thumbnail Maker"));
    setFixedSize(586, 603);
    // Pictures are prepared on every core; results are still written in list order.
    engine_.setWorkers(std::max(1, int(std::thread::hardware_concurrency())));
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);

    buildUpperRegion();
    buildPage1();
    buildPage2();
    buildPage3();
    buildPage4();
    buildPage5();
    buildMenus();
    connectHandlers();
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::buildUpperRegion() {
    lHeading =
        label(this, "lHeading",
              QStringLiteral("Ostrovel - Free Batch Renamer/Converter/Thumbnailer"), 8, 4, 430, 22);
    QFont heading = lHeading->font();
    heading.setBold(true);
    heading.setPointSizeF(10);
    lHeading->setFont(heading);
    lHeading->setStyleSheet(QStringLiteral("color: maroon;"));

    lOutput = label(this, "lOutput", QStringLiteral("Create Thumbnails"), 8, 26, 270, 20);
    QFont mode = lOutput->font();
    mode.setBold(true);
    mode.setPointSizeF(10);
    lOutput->setFont(mode);
    lOutput->setStyleSheet(QStringLiteral("color: blue;"));
    lOutput->hide();

    lPreview = label(this, "lPreview", QStringLiteral("Preview Window"), 9, 46, 103, 18);
    lPreview->setAlignment(Qt::AlignCenter);
    bvPreview = place(new QFrame(this), "bvPreview", 9, 64, 103, 89);
    bvPreview->setFrameShape(QFrame::Panel);
    bvPreview->setFrameShadow(QFrame::Sunken);
    Image1 = place(new QLabel(this), "Image1", 12, 67, 97, 84);
    Image1->setScaledContents(true);
    Image1->installEventFilter(this);

    lMFL = label(this, "lMFL", QStringLiteral("Source Files"), 120, 46, 160, 18);
    lbMFL = place(new QListWidget(this), "lbMFL", 120, 64, 160, 74);
    lMFLNote =
        label(this, "lMFLNote", QStringLiteral("Click a name to preview it"), 120, 139, 160, 16);

    lHints = label(this, "lHints", QStringLiteral("Helpful Hints"), 290, 32, 150, 18);
    mHelp = place(new QPlainTextEdit(this), "mHelp", 290, 50, 290, 105);
    mHelp->setReadOnly(true);
    mHelp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mHelp->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    sbDefaults = speedButton(this, "sbDefaults", QStyle::SP_DialogResetButton,
                             QStringLiteral("Reset Settings to Defaults"), 450, 2);
    sbAbout = speedButton(this, "sbAbout", QStyle::SP_MessageBoxInformation,
                          QStringLiteral("About Pictorant"), 476, 2);
    SpeedButton3 = speedButton(this, "SpeedButton3", QStyle::SP_DialogHelpButton,
                               QStringLiteral("Pictorant Help"), 502, 2);
    bRefreshView = speedButton(this, "bRefreshView", QStyle::SP_BrowserReload,
                               QStringLiteral("Refresh Directory & File lists"), 528, 2);
    SpeedButton2 = speedButton(this, "SpeedButton2", QStyle::SP_DirOpenIcon,
                               QStringLiteral("Launch Explorer"), 554, 2);

    pcMain = place(new QTabWidget(this), "pcMain", 4, 160, 578, 439);
    const char* const pageNames[] = {"tsIFS", "tsOFO", "tsTO", "tsCS", "tsP"};
    QWidget** pages[] = {&tsIFS, &tsOFO, &tsTO, &tsCS, &tsP};
    for (int i = 0; i < 5; ++i) {
        *pages[i] = new QWidget;
        (*pages[i])->setObjectName(QString::fromLatin1(pageNames[i]));
        pcMain->addTab(*pages[i], QString::fromLatin1(kTabCaptions[i]));
    }
}

void TForm1::buildPage1() {
    QWidget* p = tsIFS;
    lTitle1 = title(p, "lTitle1", QStringLiteral("Select Source Files"));
    gbMode = place(new QGroupBox(p), "gbMode", 330, 2, 234, 48);
    rbThumbs = place(new QRadioButton(QStringLiteral("Create Thumbnails"), gbMode), "rbThumbs", 8,
                     4, 220, 20);
    rbRename = place(new QRadioButton(QStringLiteral("Rename, Copy, or Convert Files"), gbMode),
                     "rbRename", 8, 24, 220, 20);
    rbThumbs->setChecked(true);

    source_ = new FilePane(FilePane::Kind::Source, p,
                           {"fDir", "fBox", "efBoxCurrentFolder", "btnfBoxBackFolder",
                            "btnfBoxForwardFolder", "btnfBoxUpFolder"},
                           this);
    source_->backButton()->setGeometry(8, 56, 24, 24);
    source_->forwardButton()->setGeometry(34, 56, 24, 24);
    source_->upButton()->setGeometry(60, 56, 24, 24);
    source_->folderBox()->setGeometry(88, 56, 250, 24);
    source_->tree()->setGeometry(8, 84, 200, 264);
    source_->list()->setGeometry(212, 84, 352, 264);

    lMask = label(p, "lMask", QStringLiteral("File Types"), 346, 59, 56, 18);
    cbMask = place(new QComboBox(p), "cbMask", 404, 56, 160, 24);
    cbMask->setEditable(true);
    cbMask->addItems(kMaskChoices);
    cbMask->setCurrentIndex(0);

    bSelAll = toolButton(p, "bSelAll", QStringLiteral("Select All"), 8, 354, 70);
    bDeSelAll = toolButton(p, "bDeSelAll", QStringLiteral("DeSelect All"), 80, 354, 76);
    bInvertSel = toolButton(p, "bInvertSel", QStringLiteral("Invert Selection"), 158, 354, 96);
    bDelSel = toolButton(p, "bDelSel", QStringLiteral("Delete Selected Files"), 256, 354, 120);
    bRotLeft = toolButton(p, "bRotLeft", QString(QChar(0x27F2)), 382, 354, 28);
    bRotLeft->setToolTip(QStringLiteral("Rotate image 90 degrees counter clockwise"));
    bRotRight = toolButton(p, "bRotRight", QString(QChar(0x27F3)), 412, 354, 28);
    bRotRight->setToolTip(QStringLiteral("Rotate Image 90 degrees clockwise"));
    bRotLeft->setEnabled(false);
    bRotRight->setEnabled(false);
    bNxt1 = pageButton(p, "bNxt1", QStringLiteral("Next =>"), 464, 352);
}

void TForm1::buildPage2() {
    QWidget* p = tsOFO;
    lTitle2 = title(p, "lTitle2", QStringLiteral("Specify Output Folder and File Names"));
    target_ = new FilePane(FilePane::Kind::Target, p,
                           {"fNewDir", "fNewBox", "efNewBoxCurrentFolder", "btnfNewBoxBackFolder",
                            "btnfNewBoxForwardFolder", "btnfNewBoxUpFolder"},
                           this);
    target_->backButton()->setGeometry(8, 30, 24, 24);
    target_->forwardButton()->setGeometry(34, 30, 24, 24);
    target_->upButton()->setGeometry(60, 30, 24, 24);
    target_->folderBox()->setGeometry(88, 30, 250, 24);
    target_->tree()->setGeometry(8, 58, 200, 180);
    target_->list()->setGeometry(212, 58, 352, 180);
    target_->setMask(QStringLiteral("*.jpg;*.jpeg;*.bmp;*.gif;*.emf;*.wmf"));

    sbShowAll = toolButton(p, "sbShowAll", QStringLiteral("Show All Files"), 342, 30, 100);
    sbShowGrafx = toolButton(p, "sbShowGrafx", QStringLiteral("Show Graphic Files"), 444, 30, 120);
    for (QToolButton* b : {sbShowAll, sbShowGrafx})
        b->setCheckable(true);
    auto* showGroup = new QButtonGroup(p);
    showGroup->addButton(sbShowAll);
    showGroup->addButton(sbShowGrafx);
    showGroup->setExclusive(true);
    sbShowGrafx->setChecked(true);

    lRenameNote = label(p, "lRenameNote", QStringLiteral("Renames Are Done in the Same Directory."),
                        8, 110, 556, 40);
    lRenameNote->setAlignment(Qt::AlignCenter);
    QFont note = lRenameNote->font();
    note.setBold(true);
    note.setPointSizeF(12);
    lRenameNote->setFont(note);
    lRenameNote->setStyleSheet(QStringLiteral("color: navy;"));
    lRenameNote->hide();

    gbRename = place(new QGroupBox(p), "gbRename", 8, 244, 180, 52);
    rbRenameOnly = place(new QRadioButton(QStringLiteral("Rename Files"), gbRename), "rbRenameOnly",
                         8, 4, 166, 20);
    rbCopyConvert = place(new QRadioButton(QStringLiteral("Copy / Convert Files"), gbRename),
                          "rbCopyConvert", 8, 26, 166, 20);
    rbRenameOnly->setChecked(true);

    lConvert = label(p, "lConvert", QStringLiteral("Convert Files to Type"), 200, 244, 130);
    cbConvert = place(new QComboBox(p), "cbConvert", 200, 262, 130, 24);
    cbConvert->setEditable(true);
    for (const char* word : kCreateAsWords)
        cbConvert->addItem(QString::fromLatin1(word));
    cbConvert->setCurrentIndex(0);

    const QString qualifierHint = QStringLiteral("Can be the prefix or suffix");
    lQualifier = label(p, "lQualifier", QStringLiteral("Output File Qualifier"), 340, 244, 126);
    lQualifier->setToolTip(qualifierHint);
    eQualThumb = place(new QLineEdit(QStringLiteral("Thumb"), p), "eQualThumb", 340, 262, 120, 24);
    eQualImage = place(new QLineEdit(QStringLiteral("Image"), p), "eQualImage", 340, 262, 120, 24);
    eQualThumb->setToolTip(qualifierHint);
    eQualImage->setToolTip(qualifierHint);
    eQualImage->hide();

    lSeq = label(p, "lSeq", QStringLiteral("Seq #"), 470, 244, 60);
    eSeq = place(new QLineEdit(QStringLiteral("001"), p), "eSeq", 470, 262, 60, 24);

    lNameOption =
        label(p, "lNameOption", QStringLiteral("Output File Naming Option"), 200, 300, 240);
    cbNameOption = place(new QComboBox(p), "cbNameOption", 200, 318, 250, 24);
    for (int i = 0; i < 4; ++i)
        cbNameOption->addItem(QString::fromLatin1(namingOptionCaption(NamingOption(i))));
    SpeedButton1 = toolButton(p, "SpeedButton1", QStringLiteral("Naming Options?"), 454, 318, 110);

    bBck1 = pageButton(p, "bBck1", QStringLiteral("<= Back"), 8, 352);
    bNxt2 = pageButton(p, "bNxt2", QStringLiteral("Next =>"), 464, 352);
}

void TForm1::buildPage3() {
    QWidget* p = tsTO;
    lTitle3 = title(p, "lTitle3", QStringLiteral("Specify Thumbnail Processing Options"));
    rgResize = place(new QGroupBox(QStringLiteral("Resize Speed"), p), "rgResize", 8, 34, 180, 76);
    rbFast =
        place(new QRadioButton(QStringLiteral("Fast Resize"), rgResize), "rbFast", 10, 24, 160, 20);
    rbQuality = place(new QRadioButton(QStringLiteral("Quality Resize"), rgResize), "rbQuality", 10,
                      48, 160, 20);
    rbQuality->setChecked(true);

    lResizeNote = label(
        p, "lResizeNote",
        QStringLiteral(
            "The 'Resize Speed' refers to the speed of thumbnail creation.  As its name implies, "
            "Fast Resize is the quicker of the two, but the image quality is not as good.  I "
            "recommend using Quality Resize, especially for web pages.  It's not much slower, "
            "and produces good quality images. "),
        200, 34, 364, 90);
    lResizeNote->setWordWrap(true);
    lResizeNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    gbSize = place(new QGroupBox(QStringLiteral("Thumbnail Size"), p), "gbSize", 8, 130, 250, 140);
    lW = label(gbSize, "lW", QStringLiteral("W"), 10, 28, 16, 20);
    eWidth = place(new QLineEdit(QStringLiteral("96"), gbSize), "eWidth", 28, 26, 50, 24);
    lH = label(gbSize, "lH", QStringLiteral("H"), 92, 28, 16, 20);
    eHeight = place(new QLineEdit(QStringLiteral("96"), gbSize), "eHeight", 110, 26, 50, 24);
    lMaxWH = label(gbSize, "lMaxWH", QStringLiteral("Max Width/Height"), 86, 28, 140, 20);
    lMaxWH->hide();
    cbRatio = place(new QCheckBox(QStringLiteral("Maintain aspect ratio"), gbSize), "cbRatio", 10,
                    60, 220, 20);
    cbFWidth =
        place(new QCheckBox(QStringLiteral("Force Width"), gbSize), "cbFWidth", 30, 84, 180, 20);
    cbFHeight =
        place(new QCheckBox(QStringLiteral("Force Height"), gbSize), "cbFHeight", 30, 106, 180, 20);
    cbFWidth->hide();
    cbFHeight->hide();

    lRatioNote = label(
        p, "lRatioNote",
        QStringLiteral("Maintain Aspect Ratio will keep width and height relative, with the larger "
                       "of the two being the Max Width/Height, unless the source image is already "
                       "smaller than the Max.  For example, if the original image is 400 x 300 "
                       "and max is 100, the new thumb will be 100 x 75."),
        270, 130, 294, 140);
    lRatioNote->setWordWrap(true);
    lRatioNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    bBck2 = pageButton(p, "bBck2", QStringLiteral("<= Back"), 8, 352);
    bNxt3 = pageButton(p, "bNxt3", QStringLiteral("Next =>"), 464, 352);
}

void TForm1::buildPage4() {
    QWidget* p = tsCS;
    lTitle4 = title(p, "lTitle4", QStringLiteral("Confirm Settings, Press GO to begin"));
    auto row = [p](const char* capName, const QString& caption, const char* valueName, int y,
                   QLabel*& cap, QLabel*& value, int height = 18) {
        cap = label(p, capName, caption, 8, y, 140);
        QFont bold = cap->font();
        bold.setBold(true);
        cap->setFont(bold);
        value = label(p, valueName, QString(), 152, y, 412, height);
        value->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        value->setWordWrap(height > 18);
        value->setStyleSheet(QStringLiteral("color: navy;"));
    };
    row("lInDirCap", QStringLiteral("Input Directory:"), "lInDir", 34, lInDirCap, lInDir);
    row("lOutDirCap", QStringLiteral("Output Directory:"), "lOutDir", 54, lOutDirCap, lOutDir);
    row("lTypesCap", QStringLiteral("File Types:"), "lTypes", 74, lTypesCap, lTypes);
    row("lConvCap", QStringLiteral("Convert Files To:"), "lConv", 94, lConvCap, lConv);
    row("lNamesCap", QStringLiteral("Output File Names..."), "lNames", 114, lNamesCap, lNames, 34);

    bvThumb1 = separator(p, "bvThumb1", 152);
    row("lResizeCap", QStringLiteral("Thumbnail Resize:"), "lResize", 160, lResizeCap, lResize);
    lDimCap = label(p, "lDimCap", QStringLiteral("Thumbnail Dimensions"), 8, 180, 140);
    QFont bold = lDimCap->font();
    bold.setBold(true);
    lDimCap->setFont(bold);
    lWCap = label(p, "lWCap", QStringLiteral("W -"), 152, 180, 24);
    lWVal = label(p, "lWVal", QString(), 178, 180, 60);
    lHCap = label(p, "lHCap", QStringLiteral("H -"), 242, 180, 24);
    lHVal = label(p, "lHVal", QString(), 268, 180, 60);
    lAspect = label(p, "lAspect", QStringLiteral("Maintain aspect ratio, Max Width/Height - "), 152,
                    180, 250);
    lAspectVal = label(p, "lAspectVal", QString(), 404, 180, 80);
    for (QLabel* value : {lWVal, lHVal, lAspectVal})
        value->setStyleSheet(QStringLiteral("color: navy;"));
    lAspect->hide();
    lAspectVal->hide();
    bvThumb2 = separator(p, "bvThumb2", 204);

    lJpgCap = label(p, "lJpgCap", QStringLiteral("Jpeg Compression"), 8, 222, 140);
    lJpgCap->setFont(bold);
    tbJpg = place(new QSlider(Qt::Horizontal, p), "tbJpg", 152, 218, 290, 26);
    tbJpg->setRange(10, 100);
    tbJpg->setValue(90);
    tbJpg->setTickPosition(QSlider::TicksBelow);
    tbJpg->setTickInterval(10);
    lJpgVal = label(p, "lJpgVal", QStringLiteral("90"), 448, 222, 40);

    cbOverwrite =
        place(new QCheckBox(QStringLiteral("Overwrite Files"), p), "cbOverwrite", 8, 260, 200, 20);
    cbOverwrite->setChecked(true);

    bBck3 = pageButton(p, "bBck3", QStringLiteral("<= Back"), 8, 352);
    bGO = place(new GradientButton(QStringLiteral("GO"), kGreen, kGreen, kLime, p), "bGO", 464, 346,
                100, 36);
    bGO->setFocusPolicy(Qt::NoFocus);
    bShowNames =
        place(new QPushButton(QStringLiteral("Show names..."), p), "bShowNames", 366, 352, 92, 30);
    bShowNames->setToolTip(
        QStringLiteral("List every file with the name it gets and what happens to it"));
}

void TForm1::buildPage5() {
    QWidget* p = tsP;
    lProcCap = label(p, "lProcCap", QStringLiteral("Processing File:"), 8, 24, 120, 20);
    QFont bold = lProcCap->font();
    bold.setBold(true);
    lProcCap->setFont(bold);
    lProc = label(p, "lProc", QString(), 130, 24, 200, 20);
    pBar = place(new GradientProgressBar(p), "pBar", 8, 54, 556, 24);
    pBar->setRange(0, 1);
    pBar->setValue(0);
    bCancelOp = pageButton(p, "bCancelOp", QStringLiteral("Cancel"), 232, 96);
    lDone = label(p, "lDone", QString(), 8, 140, 556, 22);
    lDone->setAlignment(Qt::AlignCenter);
    lDone->setFont(bold);
    lDone->hide();
    bStartOver = pageButton(p, "bStartOver", QStringLiteral("OK!"), 150, 180);
    bStartOver->setFocusPolicy(Qt::StrongFocus);
    bHTML = pageButton(p, "bHTML", QStringLiteral("Do HTML!"), 318, 180);
    lDoHTM =
        label(p, "lDoHTM",
              QStringLiteral("(If HTML is multi-page, only first page will open in the editor)"), 8,
              216, 556, 18);
    lDoHTM->setAlignment(Qt::AlignCenter);
    bStartOver->hide();
    bHTML->hide();
    lDoHTM->hide();
}

void TForm1::buildMenus() {
    pm1 = new QMenu(this);
    pm1->setObjectName(QStringLiteral("pm1"));
    pm1Next = pm1->addAction(QStringLiteral("Next"));
    pm1Next->setObjectName(QStringLiteral("Next1"));
    pm1->addSeparator();
    CreateNewDirectory1 = pm1->addAction(QStringLiteral("Create New Directory"));
    CreateNewDirectory1->setObjectName(QStringLiteral("CreateNewDirectory1"));
    pm1->addSeparator();
    RotateImage90degreeclockwise1 =
        pm1->addAction(QStringLiteral("Rotate Image 90 degrees clockwise"));
    RotateImage90degreeclockwise1->setObjectName(QStringLiteral("RotateImage90degreeclockwise1"));
    RotateImage90degreescounterclockwise1 =
        pm1->addAction(QStringLiteral("Rotate Image 90 degrees counter clockwise"));
    RotateImage90degreescounterclockwise1->setObjectName(
        QStringLiteral("RotateImage90degreescounterclockwise1"));

    pm2 = new QMenu(this);
    pm2->setObjectName(QStringLiteral("pm2"));
    pm2Back = pm2->addAction(QStringLiteral("Back"));
    pm2Back->setObjectName(QStringLiteral("Back2"));
    pm2Next = pm2->addAction(QStringLiteral("Next"));
    pm2Next->setObjectName(QStringLiteral("Next2"));
    pm2->addSeparator();
    CreateNewDirectory2 = pm2->addAction(QStringLiteral("Create New Directory"));
    CreateNewDirectory2->setObjectName(QStringLiteral("CreateNewDirectory2"));
}

void TForm1::connectHandlers() {
    connect(bNxt1, &QPushButton::clicked, this, &TForm1::bNxt1Click);
    connect(bNxt2, &QPushButton::clicked, this, &TForm1::bNxt2Click);
    connect(bNxt3, &QPushButton::clicked, this, &TForm1::bNxt3Click);
    connect(bBck1, &QPushButton::clicked, this, &TForm1::bBck1Click);
    connect(bBck2, &QPushButton::clicked, this, &TForm1::bBck2Click);
    connect(bBck3, &QPushButton::clicked, this, &TForm1::bBck3Click);
    connect(bGO, &QPushButton::clicked, this, &TForm1::bGOClick);
    connect(bShowNames, &QPushButton::clicked, this, &TForm1::bShowNamesClick);
    connect(bCancelOp, &QPushButton::clicked, this, &TForm1::bCancelOpClick);
    connect(bStartOver, &QPushButton::clicked, this, &TForm1::bStartOverClick);
    connect(bHTML, &QPushButton::clicked, this, &TForm1::bHTMLClick);
    connect(pcMain, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 3)
            tsCSShow();
    });

    connect(rbThumbs, &QRadioButton::toggled, this, &TForm1::rbThumbsClick);
    connect(rbRename, &QRadioButton::toggled, this, &TForm1::rbThumbsClick);
    connect(rbRenameOnly, &QRadioButton::toggled, this, &TForm1::rbRenameOnlyClick);
    connect(rbCopyConvert, &QRadioButton::toggled, this, &TForm1::rbRenameOnlyClick);
    connect(cbNameOption, &QComboBox::currentIndexChanged, this, &TForm1::cbNameOptionChange);
    connect(cbRatio, &QCheckBox::toggled, this, &TForm1::cbRatioClick);
    connect(cbFWidth, &QCheckBox::toggled, this, &TForm1::cbFWidthClick);
    connect(cbFHeight, &QCheckBox::toggled, this, &TForm1::cbFHeightClick);
    connect(tbJpg, &QSlider::valueChanged, this, &TForm1::tbJpgChange);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);

    connect(bSelAll, &QToolButton::clicked, this, &TForm1::bSelAllClick);
    connect(bDeSelAll, &QToolButton::clicked, this, &TForm1::bDeSelAllClick);
    connect(bInvertSel, &QToolButton::clicked, this, &TForm1::bInvertSelClick);
    connect(cbMask, &QComboBox::currentTextChanged, this, &TForm1::cbMaskChange);
    connect(sbShowAll, &QToolButton::clicked, this, &TForm1::sbShowAllClick);
    connect(sbShowGrafx, &QToolButton::clicked, this, &TForm1::sbShowGrafxClick);
    connect(source_->backButton(), &QToolButton::clicked, this, &TForm1::btnfBoxBackFolderClick);
    connect(source_->forwardButton(), &QToolButton::clicked, this,
            &TForm1::btnfBoxForwardFolderClick);
    connect(source_->upButton(), &QToolButton::clicked, this, &TForm1::btnfBoxUpFolderClick);
    connect(source_->folderBox(), &QLineEdit::returnPressed, this,
            &TForm1::efBoxCurrentFolderKeyPress);
    connect(target_->backButton(), &QToolButton::clicked, this, &TForm1::btnfNewBoxBackFolderClick);
    connect(target_->forwardButton(), &QToolButton::clicked, this,
            &TForm1::btnfNewBoxForwardFolderClick);
    connect(target_->upButton(), &QToolButton::clicked, this, &TForm1::btnfNewBoxUpFolderClick);
    connect(target_->folderBox(), &QLineEdit::returnPressed, this,
            &TForm1::efNewBoxCurrentFolderKeyPress);
    source_->folderBox()->installEventFilter(this);
    target_->folderBox()->installEventFilter(this);
    connect(source_, &FilePane::treeFolderChanged, this, &TForm1::fDirChange);
    connect(target_, &FilePane::treeFolderChanged, this, &TForm1::fNewDirChange);
    connect(bRefreshView, &QToolButton::clicked, this, &TForm1::bRefreshViewClick);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);

    connect(source_->list(), &FileListView::mouseDown, this, &TForm1::fBoxMouseDown);
    connect(target_->list(), &FileListView::mouseDown, this, &TForm1::fNewBoxMouseDown);
    connect(lbMFL, &QListWidget::itemClicked, this, &TForm1::lbMFLClick);
    connect(bRotRight, &QToolButton::clicked, this, &TForm1::bRotRightClick);
    connect(bRotLeft, &QToolButton::clicked, this, &TForm1::bRotLeftClick);
    connect(bDelSel, &QToolButton::clicked, this, &TForm1::bDelSelClick);
    connect(sbDefaults, &QToolButton::clicked, this, &TForm1::sbDefaultsClick);
    connect(sbAbout, &QToolButton::clicked, this, &TForm1::sbAboutClick);
    connect(SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);

    connect(pm1Next, &QAction::triggered, this, &TForm1::bNxt1Click);
    connect(CreateNewDirectory1, &QAction::triggered, this, &TForm1::CreateNewDirectory1Click);
    connect(RotateImage90degreeclockwise1, &QAction::triggered, this,
            &TForm1::RotateImage90degreeclockwise1Click);
    connect(RotateImage90degreescounterclockwise1, &QAction::triggered, this,
            &TForm1::RotateImage90degreescounterclockwise1Click);
    connect(pm2Back, &QAction::triggered, this, &TForm1::bBck1Click);
    connect(pm2Next, &QAction::triggered, this, &TForm1::bNxt2Click);
    connect(CreateNewDirectory2, &QAction::triggered, this, &TForm1::CreateNewDirectory2Click);
    for (QWidget* w :
         {static_cast<QWidget*>(source_->tree()), static_cast<QWidget*>(source_->list())})
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& at) { pm1->popup(w->mapToGlobal(at)); });
    for (QWidget* w :
         {static_cast<QWidget*>(target_->tree()), static_cast<QWidget*>(target_->list())})
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](const QPoint& at) { pm2->popup(w->mapToGlobal(at)); });
}

void TForm1::FormCreate() {
    source_->startAt(qs(driveRoot()));
    target_->startAt(qs(driveRoot()));
    for (int i = 1; i < 5; ++i)
        pcMain->setTabVisible(i, false);
    pcMain->setCurrentIndex(0);
    selected_.clear();
    cbNameOption->setCurrentIndex(0);
    cbNameOptionChange();
    showHint(0);
    if (settings_)
        applySettings(readMainSettings(*settings_));
    source_->resetHistory();
    target_->resetHistory();
}

void TForm1::FormDestroy() {
    if (destroyed_)
        return;
    destroyed_ = true;
    if (!settings_)
        return;
    try {
        writeMainSettings(*settings_, settingsFromControls());
    } catch (const std::exception& e) {
        messages().inform(QStringLiteral("settingsWrite"), QString::fromUtf8(e.what()),
                          programTitle(), MessageIcon::Stop);
    }
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Hidden trees cannot scroll; now that they are laid out, bring their folders in sight.
    source_->revealFolder();
    target_->revealFolder();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (running_) {
        // Closing during a run is Cancel: the file in hand is finished, then GO closes
        // the window once the run is over.
        engine_.requestStop();
        closeAfterRun_ = true;
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        // A pop-up menu or a message box does not end the typing in a folder box.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) {
            if (watched == source_->folderBox())
                efBoxCurrentFolderExit();
            else if (watched == target_->folderBox())
                efNewBoxCurrentFolderExit();
        }
    } else if (event->type() == QEvent::MouseButtonRelease && watched == Image1) {
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            Image1Click();
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------
// Settings and job

MainSettings TForm1::settingsFromControls() const {
    MainSettings s;
    s.inputDir = ss(inputFolder());
    s.outputDir = ss(outputFolder());
    s.resizeSpeed = rbQuality->isChecked() ? ResizeSpeed::Quality : ResizeSpeed::Fast;
    s.thumbWidth = ss(eWidth->text());
    s.thumbHeight = ss(eHeight->text());
    s.maintainRatio = cbRatio->isChecked();
    s.forceWidth = cbFWidth->isChecked() && !cbFHeight->isChecked();
    s.forceHeight = cbFHeight->isChecked();
    s.convertTo = ss(cbConvert->currentText());
    s.namingOption = NamingOption(std::max(0, cbNameOption->currentIndex()));
    s.qualifier = ss(eQualThumb->text());
    s.jpegQuality = tbJpg->value();
    s.overwrite = cbOverwrite->isChecked();
    return s;
}

void TForm1::applySettings(const MainSettings& s) {
    source_->startAt(qs(s.inputDir));
    target_->startAt(qs(s.outputDir));
    (s.resizeSpeed == ResizeSpeed::Quality ? rbQuality : rbFast)->setChecked(true);
    eWidth->setText(qs(s.thumbWidth));
    eHeight->setText(qs(s.thumbHeight));
    cbRatio->setChecked(s.maintainRatio);
    // Force Width first: turning Force Height on afterwards clears it, so both set in the
    // file end as Force Height alone.
    cbFWidth->setChecked(s.forceWidth);
    cbFHeight->setChecked(s.forceHeight);
    if (!s.forceHeight && !s.forceWidth)
        cbFWidth->setChecked(false);
    const int convertIndex = cbConvert->findText(qs(s.convertTo), Qt::MatchExactly);
    if (convertIndex >= 0)
        cbConvert->setCurrentIndex(convertIndex);
    cbNameOption->setCurrentIndex(int(s.namingOption));
    eQualThumb->setText(qs(s.qualifier));
    tbJpg->setValue(s.jpegQuality);
    cbOverwrite->setChecked(s.overwrite);
}

JobSettings TForm1::currentJob() const {
    JobSettings job;
    applyMainSettings(job, settingsFromControls());
    job.mode = mode_;
    for (const QString& name : selected_)
        job.sourceFiles.push_back(ss(name));
    job.fileMask = ss(cbMask->currentText());
    job.renameOnly = rbRenameOnly->isChecked();
    job.qualifier =
        ss(mode_ == JobMode::CreateThumbnails ? eQualThumb->text() : eQualImage->text());
    job.seqStart = ss(eSeq->text());
    // Only for the folders the question was asked about.
    job.convertInPlace = inPlaceConfirmed_ && job.inputDir == job.outputDir;
    return job;
}

void TForm1::clearSelectedFiles() {
    selected_.clear();
    lbMFL->clear();
    setSourceCount(0);
}

QString TForm1::inputFolder() const {
    return source_->folder();
}
QString TForm1::outputFolder() const {
    return target_->folder();
}

void TForm1::setSourceCount(int count) {
    lMFL->setText(QStringLiteral("Source Files: ") + QString::number(count));
}

// ---------------------------------------------------------------------------------------
// Pages and hints

QString TForm1::hintText(int page) {
    static const QStringList hints[] = {
        {"Input File Selection", "", "  First select the processing option:",
         "    - Create Thumbnails", "    - Rename, Copy, or Convert Files", "",
         "  Next select the files for processing by using the left pane to navigate to the "
         "desired folder.",
         "", "  Then, Hilite the files for processing in the right pane.", "",
         "  When ready, click the Next button."},
        {"Output File Options", "",
         "  If you chose Rename/Copy/Convert on the previous page, you must now decide if you "
         "want to just Rename the selected files or Copy with an optional Conversion.",
         "", "  Use the left pane to navigate to the Output directory.", "",
         "  Choose the file type for the ouput files (not available for rename).", "",
         "  Choose the output file name option.", "",
         "  Modify the Prefix and sequence number for new files if desired.", "",
         "  When ready, click the Next button."},
        {"Thumbnail Options", "",
         "  Choose the resize speed for the new thumbnails.  This really refers to the quality "
         "of the thumbnail images, and I recommend using the default of Quality resize.",
         "", "  Choose the thumbnail image size."},
        {"Confirm Selections", "", "  Review all information to make sure it's correct.", "",
         "  If you're converting files to jpg, choose the Jpeg compression.  A higher number "
         "means higher quality images at the expense of larger file sizes.",
         "",
         "  If you're not renaming files, decide if you want same-named files in the target "
         "directory to be overwritten.",
         "", "  When everything is ready, click GO."},
        {"The selected files are now being processed.  You can press Cancel at any time during "
         "the operation.",
         "",
         "When processing is complete, you can create a HTML file, or click the OK button to go "
         "back to the beginning screen."},
    };
    if (page < 0 || page > 4)
        return QString();
    return hints[page].join(u'\n');
}

void TForm1::showHint(int page) {
    mHelp->clear();
    mHelp->setPlainText(hintText(page));
    mHelp->verticalScrollBar()->setValue(0);
    mHelp->moveCursor(QTextCursor::Start);
}

int TForm1::currentPage() const {
    return pcMain->currentIndex();
}

void TForm1::showPage(int page) {
    const int left = pcMain->currentIndex();
    pcMain->widget(page)->setEnabled(true);
    pcMain->setTabVisible(page, true);
    pcMain->setCurrentIndex(page);
    if (left != page)
        pcMain->setTabVisible(left, false);
    if (page == 0)
        source_->revealFolder();
    else if (page == 1)
        target_->revealFolder();
    showHint(page);
}

// ---------------------------------------------------------------------------------------
// Visibility rules

void TForm1::applyModeVisibility() {
    const bool thumbs = mode_ == JobMode::CreateThumbnails;
    for (QWidget* w : std::initializer_list<QWidget*>{bvThumb1, bvThumb2, lResizeCap, lResize,
                                                      lDimCap, lWCap, lWVal, lHCap, lHVal})
        w->setVisible(thumbs);
    if (thumbs) {
        lAspect->setVisible(cbRatio->isChecked());
        lAspectVal->setVisible(cbRatio->isChecked());
    } else {
        lAspect->hide();
        lAspectVal->hide();
    }
    gbRename->setVisible(!thumbs);
    eQualThumb->setVisible(thumbs);
    eQualImage->setVisible(!thumbs);
    if (thumbs) {
        for (QWidget* w : std::initializer_list<QWidget*>{
                 lConvert, cbConvert, target_->tree(), target_->list(), target_->folderBox(),
                 target_->backButton(), target_->forwardButton(), target_->upButton(), sbShowAll,
                 sbShowGrafx, cbOverwrite})
            w->show();
    } else {
        applyRenameVisibility();
    }
}

void TForm1::applyRenameVisibility() {
    const bool rename = rbRenameOnly->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{
             lConvert, cbConvert, target_->tree(), target_->list(), target_->folderBox(),
             target_->backButton(), target_->forwardButton(), target_->upButton(), sbShowAll,
             sbShowGrafx, cbOverwrite})
        w->setVisible(!rename);
    lRenameNote->setVisible(rename);
}

void TForm1::applyRatioVisibility() {
    const bool ratio = cbRatio->isChecked();
    lMaxWH->setVisible(ratio);
    cbFWidth->setVisible(ratio);
    cbFHeight->setVisible(ratio);
    lW->setVisible(!ratio);
    lH->setVisible(!ratio);
    eHeight->setVisible(!ratio);
}

void TForm1::rbThumbsClick() {
    lOutput->setText(rbThumbs->isChecked() ? QStringLiteral("Create Thumbnails")
                                           : QStringLiteral("Rename/Convert Files"));
}

void TForm1::rbRenameOnlyClick() {
    applyRenameVisibility();
}

void TForm1::cbNameOptionChange() {
    const bool seq = isSequenceOption(cbNameOption->currentIndex());
    lSeq->setVisible(seq);
    eSeq->setVisible(seq);
}

void TForm1::cbRatioClick() {
    applyRatioVisibility();
}

void TForm1::cbFWidthClick() {
    if (cbFWidth->isChecked())
        cbFHeight->setChecked(false);
}

void TForm1::cbFHeightClick() {
    if (cbFHeight->isChecked())
        cbFWidth->setChecked(false);
}

void TForm1::tbJpgChange() {
    lJpgVal->setText(QString::number(tbJpg->value()));
}

void TForm1::SpeedButton1Click() {
    messages().inform(QStringLiteral("namingOptions"), QString::fromLatin1(kNamingOptionsHelp),
                      programTitle(), MessageIcon::None);
}

// ---------------------------------------------------------------------------------------
// Next and Back

bool TForm1::confirmDuplicates() {
    const auto pair = findDuplicateNames(selected_);
    if (!pair)
        return true;
    if (sides_.dupeWarn)
        return showDuplicateWarning(*sides_.dupeWarn, *pair);
    TForm3 own;
    return showDuplicateWarning(own, *pair);
}

void TForm1::bNxt1Click() {
    if (currentPage() != 0)
        return;
    const QStringList names = source_->selectedNames();
    if (names.isEmpty()) {
        messages().inform(QStringLiteral("noFilesSelected"), QStringLiteral("No files selected!"),
                          programTitle(), MessageIcon::None);
        return;
    }
    selected_ = names;
    lbMFL->clear();
    lbMFL->addItems(names);
    setSourceCount(int(names.size()));

    if (!confirmDuplicates())
        return;

    lRenameNote->hide();
    cbNameOptionChange();
    mode_ = rbThumbs->isChecked() ? JobMode::CreateThumbnails : JobMode::RenameCopyConvert;
    lOutput->setText(mode_ == JobMode::CreateThumbnails ? QStringLiteral("Create Thumbnails")
                                                        : QStringLiteral("Rename/Convert Files"));
    applyModeVisibility();
    lOutput->show();
    showPage(1);
}

void TForm1::bNxt2Click() {
    if (currentPage() != 1)
        return;
    const QString typed = target_->folderBox()->text();
    if (!folderExists(ss(typed))) {
        const MessageAnswer answer = messages().ask(
            {QStringLiteral("createFolder"), QStringLiteral("Folder does not exist.  Create now?"),
             programTitle(), MessageIcon::Warning, MessageButtons::YesNo});
        if (answer != MessageAnswer::Yes)
            return;
        // One level only: the parent must exist already.
        const QFileInfo info(typed);
        const bool made = !typed.isEmpty() && info.dir().exists() && QDir().mkdir(typed);
        if (!made) {
            messages().inform(QStringLiteral("couldNotCreateDirectory"),
                              QStringLiteral("Could not create Directory: ") + typed,
                              programTitle(), MessageIcon::None);
        } else {
            // The new folder becomes the output folder, as if it had been typed and
            // entered; otherwise the job would still name the folder shown before.
            target_->folderBoxEnter();
        }
    }
    const bool renameOnly = mode_ == JobMode::RenameCopyConvert && rbRenameOnly->isChecked();
    inPlaceConfirmed_ = false;
    if (!renameOnly && inputFolder() == outputFolder()) {
        const MessageAnswer answer = messages().ask(
            {QStringLiteral("sameFolders"),
             QStringLiteral("Input and Output Directories are the same. This could result in "
                            "files being overwritten or not processed.\r\n\r\nContinue?"),
             programTitle(), MessageIcon::Warning, MessageButtons::YesNo});
        if (answer != MessageAnswer::Yes)
            return;
        inPlaceConfirmed_ = true;
    }
    if (mode_ == JobMode::RenameCopyConvert) {
        if (const auto problem = checkQualifier(currentJob())) {
            messages().inform(QStringLiteral("invalidQualifier"), qs(*problem), programTitle(),
                              MessageIcon::None);
            return;
        }
    }
    showPage(mode_ == JobMode::CreateThumbnails ? 2 : 3);
}

void TForm1::bNxt3Click() {
    if (currentPage() == 2)
        showPage(3);
}

void TForm1::bBck1Click() {
    if (currentPage() != 1)
        return;
    showPage(0);
    lbMFL->clear();
    setSourceCount(0);
}

void TForm1::returnToFirstPage() {
    showPage(0);
    clearSelectedFiles();
}

void TForm1::bBck2Click() {
    if (currentPage() == 2)
        showPage(1);
}

void TForm1::bBck3Click() {
    if (currentPage() == 3)
        showPage(mode_ == JobMode::CreateThumbnails ? 2 : 1);
}

void TForm1::tsCSShow() {
    const bool renameOnly = mode_ == JobMode::RenameCopyConvert && rbRenameOnly->isChecked();
    lInDir->setText(inputFolder());
    lOutDir->setText(renameOnly ? inputFolder() : outputFolder());
    lTypes->setText(cbMask->currentText());
    lConv->setText(renameOnly ? QStringLiteral("No Conversion") : cbConvert->currentText());
    lNames->setText(qs(describeOutputNames(currentJob())));
    if (mode_ == JobMode::CreateThumbnails) {
        lResize->setText(rbQuality->isChecked() ? QStringLiteral("Quality")
                                                : QStringLiteral("Fast"));
        const bool ratio = cbRatio->isChecked();
        lAspect->setVisible(ratio);
        lAspectVal->setVisible(ratio);
        lAspectVal->setText(eWidth->text());
        for (QWidget* w : std::initializer_list<QWidget*>{lWCap, lWVal, lHCap, lHVal})
            w->setVisible(!ratio);
        lWVal->setText(eWidth->text());
        lHVal->setText(eHeight->text());
    }
    const bool jpeg = lConv->text() == QStringLiteral("jpg");
    lJpgCap->setVisible(jpeg);
    tbJpg->setVisible(jpeg);
    lJpgVal->setVisible(jpeg);
}

// ---------------------------------------------------------------------------------------
// GO and the Processing page

void TForm1::bGOClick() {
    if (currentPage() != 3)
        return;
    const JobSettings job = currentJob();
    engine_.startRun(job, *this);
    // Over, even if the engine ended without a closing step.
    running_ = false;
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        close();
    }
}

void TForm1::bShowNamesClick() {
    if (currentPage() != 3)
        return;
    const JobSettings job = currentJob();
    PlanListDialog dialog(this);
    dialog.showPlan(planRun(job), qs(jobOutputDir(job)));
    messages().showModal(QStringLiteral("planList"), dialog);
}

void TForm1::bCancelOpClick() {
    engine_.requestStop();
}

void TForm1::runStarting(int fileCount) {
    running_ = true;
    showPage(4);
    for (QWidget* w :
         std::initializer_list<QWidget*>{lbMFL, lMFL, lMFLNote, bvPreview, Image1, lPreview})
        w->hide();
    PreviewBox::attach(Image1).clearPicture();
    lProc->setText(QStringLiteral("1 of ") + QString::number(fileCount));
    showHint(4);
}

void TForm1::setProgressLine(const std::string& text) {
    lProc->setText(qs(text));
}

void TForm1::setProgressMax(int maximum) {
    pBar->setMaximum(std::max(1, maximum));
    pBar->setValue(0);
}

void TForm1::setProgressPosition(int position) {
    pBar->setValue(position);
}

void TForm1::showMessage(RunMessage id, const std::string& text) {
    QString name;
    switch (id) {
    case RunMessage::ErrorDuringProcessing:
        name = QStringLiteral("errorDuringProcessing");
        break;
    case RunMessage::DuplicateName:
        name = QStringLiteral("duplicateName");
        break;
    case RunMessage::CouldNotOpen:
        name = QStringLiteral("couldNotOpen");
        break;
    case RunMessage::SourceClash:
        name = QStringLiteral("sourceClash");
        break;
    case RunMessage::ThumbSizeRefused:
        name = QStringLiteral("thumbSizeRefused");
        break;
    }
    messages().inform(name, qs(text), programTitle(), MessageIcon::None);
}

void TForm1::fileWarned(const std::string& name, const std::string& text) {
    messages().inform(QStringLiteral("fileWarning"), qs(warningLine(name, text)), programTitle(),
                      MessageIcon::Warning);
}

void TForm1::processEvents() {
    QCoreApplication::processEvents();
}

void TForm1::rereadPanes() {
    source_->rereadList();
    target_->rereadList();
}

void TForm1::runFinished(const std::string& closingLine, bool) {
    running_ = false;
    bCancelOp->hide();
    bStartOver->show();
    bHTML->show();
    lDoHTM->show();
    lDone->setText(qs(closingLine));
    lDone->show();
    bStartOver->setFocus();
}

void TForm1::bStartOverClick() {
    if (currentPage() != 4)
        return;
    showPage(0);
    selected_.clear();
    pBar->setValue(0);
    pBar->show();
    lDone->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{bvPreview, Image1, lPreview, bCancelOp})
        w->show();
    bStartOver->hide();
    bHTML->hide();
    lDoHTM->hide();
    lbMFL->clear();
    for (QWidget* w : std::initializer_list<QWidget*>{lbMFL, lMFL, lMFLNote})
        w->show();
    setSourceCount(0);
    showHint(0);
}

// ---------------------------------------------------------------------------------------
// File panes

void TForm1::bSelAllClick() {
    source_->selectAll();
}
void TForm1::bDeSelAllClick() {
    source_->deselectAll();
}
void TForm1::bInvertSelClick() {
    source_->invertSelection();
}
void TForm1::cbMaskChange() {
    source_->setMask(cbMask->currentText());
}
void TForm1::sbShowAllClick() {
    target_->setMask(kTargetAllMask);
}
void TForm1::sbShowGrafxClick() {
    target_->setMask(kTargetGraphicMask);
}
void TForm1::btnfBoxBackFolderClick() {
    source_->goBack();
}
void TForm1::btnfBoxForwardFolderClick() {
    source_->goForward();
}
void TForm1::btnfBoxUpFolderClick() {
    source_->goUp();
}
void TForm1::efBoxCurrentFolderKeyPress() {
    source_->folderBoxEnter();
}
void TForm1::efBoxCurrentFolderExit() {
    source_->folderBoxExit();
}
void TForm1::btnfNewBoxBackFolderClick() {
    target_->goBack();
}
void TForm1::btnfNewBoxForwardFolderClick() {
    target_->goForward();
}
void TForm1::btnfNewBoxUpFolderClick() {
    target_->goUp();
}
void TForm1::efNewBoxCurrentFolderKeyPress() {
    target_->folderBoxEnter();
}
void TForm1::efNewBoxCurrentFolderExit() {
    target_->folderBoxExit();
}
void TForm1::fDirChange() {
    source_->onFolderChanged();
}
void TForm1::fNewDirChange() {
    target_->onFolderChanged();
}

void TForm1::bRefreshViewClick() {
    source_->rereadTree();
    source_->rereadList();
    target_->rereadTree();
    target_->rereadList();
    refreshGalleryLocationTree();
}

void TForm1::SpeedButton2Click() {
    QString folder;
    if (currentPage() == 0)
        folder = inputFolder();
    else if (currentPage() == 1)
        folder = outputFolder();
    else
        folder = QDir::homePath();
    if (openFolder)
        openFolder(folder);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

// ---------------------------------------------------------------------------------------
// Side windows. These bodies call into the preview, deletion, About, help, defaults and
// gallery windows.

void TForm1::refreshGalleryLocationTree() {}

void TForm1::Image1Click() {
    if (sides_.preview)
        preview::openWindow(PreviewBox::attach(Image1), *sides_.preview);
}

void TForm1::fBoxMouseDown(Qt::MouseButton button) {
    if (button != Qt::LeftButton || !sides_.preview)
        return;
    preview::loadFromFileList(PreviewBox::attach(Image1), *sides_.preview, source_->entryCount(),
                              source_->currentPath(), [this](bool on) {
                                  bRotLeft->setEnabled(on);
                                  bRotRight->setEnabled(on);
                              });
}

void TForm1::fNewBoxMouseDown(Qt::MouseButton button) {
    if (button != Qt::LeftButton || !sides_.preview)
        return;
    preview::loadFromFileList(PreviewBox::attach(Image1), *sides_.preview, target_->entryCount(),
                              target_->currentPath(), nullptr);
}

void TForm1::lbMFLClick() {
    QListWidgetItem* item = lbMFL->currentItem();
    if (!item || !sides_.preview)
        return;
    // The caption names the file actually loaded, so a rotation writes back to it.
    preview::loadFromSelectedList(PreviewBox::attach(Image1), *sides_.preview, inputFolder(),
                                  inputFolder(), item->text());
}

namespace {

void rotatePreview(TForm1& form, const FilePane& source, RotateDirection direction) {
    if (!form.sideWindows().preview)
        return;
    preview::rotate(PreviewBox::attach(form.Image1), *form.sideWindows().preview,
                    source.entryCount(), int(source.selectedNames().size()), direction,
                    form.tbJpg->value());
}

} // namespace

void TForm1::bRotRightClick() {
    rotatePreview(*this, *source_, RotateDirection::Clockwise);
}

void TForm1::bRotLeftClick() {
    rotatePreview(*this, *source_, RotateDirection::CounterClockwise);
}

void TForm1::RotateImage90degreeclockwise1Click() {
    rotatePreview(*this, *source_, RotateDirection::Clockwise);
}

void TForm1::RotateImage90degreescounterclockwise1Click() {
    rotatePreview(*this, *source_, RotateDirection::CounterClockwise);
}

void TForm1::bDelSelClick() {
    if (!sides_.confirmDelete)
        return;
    if (!deleteSelectedFiles(*sides_.confirmDelete, source_->selectedPaths()))
        return;
    source_->rereadList();
    target_->rereadList();
    clearSelectedFiles();
}

void TForm1::CreateNewDirectory1Click() {
    const std::optional<QString> chosen = chooseNewDirectory(this, inputFolder());
    if (!chosen)
        return;
    createFolderPath(*chosen);
    source_->rereadTree();
    target_->rereadTree();
}

void TForm1::CreateNewDirectory2Click() {
    const QString folder = outputFolder();
    const QString name = QFileInfo(createNewFolder(folder)).fileName();
    // The list reads its folder in the background, and a list model being replaced may
    // still report: the entry is taken from the first report that holds it.
    FilePane* pane = target_;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection =
        connect(pane, &FilePane::listFolderLoaded, this, [pane, folder, name, connection] {
            if (pane->folder() != folder) {
                QObject::disconnect(*connection);
                return;
            }
            QListView* list = pane->list();
            auto* model = qobject_cast<QFileSystemModel*>(list->model());
            if (!model)
                return;
            QModelIndex index;
            const QModelIndex root = list->rootIndex();
            for (int row = 0; row < model->rowCount(root) && !index.isValid(); ++row)
                if (model->fileName(model->index(row, 0, root)) == name)
                    index = model->index(row, 0, root);
            if (!index.isValid())
                return;
            QObject::disconnect(*connection);
            model->setReadOnly(false);
            list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
            list->edit(index);
        });
    target_->rereadList();
}

namespace {

// Every kept option back to its factory value, on screen only: the main window, the
// gallery options, the gallery location, the deletion confirmation, in that order.
void applyFactoryDefaults(TForm1& form) {
    const MainSettings d = factoryMainSettings();
    form.sourcePane().setFolder(qs(d.inputDir));
    form.targetPane().setFolder(qs(d.outputDir));
    (d.resizeSpeed == ResizeSpeed::Quality ? form.rbQuality : form.rbFast)->setChecked(true);
    form.eWidth->setText(qs(d.thumbWidth));
    form.eHeight->setText(qs(d.thumbHeight));
    form.cbRatio->setChecked(d.maintainRatio);
    form.cbFWidth->setChecked(d.forceWidth);
    form.cbFHeight->setChecked(d.forceHeight);
    form.cbConvert->setCurrentIndex(0);
    form.cbNameOption->setCurrentIndex(int(d.namingOption));
    form.eQualThumb->setText(qs(d.qualifier));
    form.tbJpg->setValue(d.jpegQuality);
    form.cbOverwrite->setChecked(d.overwrite);

    SideWindows& sides = form.sideWindows();
    if (sides.htmlOptions) {
        GalleryOptions options = sides.htmlOptions->options();
        applyFactoryGalleryOptions(options);
        sides.htmlOptions->setOptions(options);
    }
    if (sides.htmlOut)
        sides.htmlOut->setHtmlName(qs(factoryHtmlName()));
    if (sides.confirmDelete)
        sides.confirmDelete->setRecycleBin(factoryRecycleBin());
}

} // namespace

void TForm1::sbDefaultsClick() {
    const MessageAnswer answer = messages().ask(
        {QStringLiteral("resetDefaults"),
         QStringLiteral("Confirmation - by choosing Yes, you will reset\r\nall options to their "
                        "original default settings.\r\n\r\nProceed?"),
         QStringLiteral("Confirm"), MessageIcon::Question, MessageButtons::YesCancel});
    if (answer != MessageAnswer::Yes)
        return;
    applyFactoryDefaults(*this);
    // The selection was taken in the old source folder and the checks of page 2 were
    // passed with the old folders: a job half old, half reset must not reach GO, so the
    // wizard starts again from the first page. A running or finished run is left alone.
    const int page = currentPage();
    if (page >= 1 && page <= 3)
        returnToFirstPage();
}

void TForm1::sbAboutClick() {
    if (sides_.about)
        messages().showModal(QStringLiteral("about"), *sides_.about);
}

void TForm1::SpeedButton3Click() {
    auto* help = findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help)
        help = new HelpWindow(this);
    showProgramHelp(*help);
}

void TForm1::bHTMLClick() {
    if (!sides_.htmlOut || !sides_.htmlOptions || !sides_.htmlEditor)
        return;
    const JobSettings job = currentJob();
    runGalleryFlow(*sides_.htmlOut, *sides_.htmlOptions, *sides_.htmlEditor,
                   {engine_.galleryEntries(), qs(jobOutputDir(job)), thumbnailMaxSide(job)});
}

} // namespace pictorant
