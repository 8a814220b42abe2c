#include "ui/MainWizard.h"

#include "engine/Naming.h"
#include "engine/RunPlan.h"
#include "settings/GalleryOptions.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLocation.h"
#include "ui/AboutBox.h"
#include "ui/ConfirmPage.h"
#include "ui/DeleteFilesDialog.h"
#include "ui/DuplicateNames.h"
#include "ui/DuplicateNamesDialog.h"
#include "ui/FilePane.h"
#include "ui/FolderCommands.h"
#include "ui/GalleryFlow.h"
#include "ui/GalleryLocationDialog.h"
#include "ui/GalleryOptionsDialog.h"
#include "ui/HelpWindow.h"
#include "ui/InputPage.h"
#include "ui/MessageService.h"
#include "ui/ObjectNames.h"
#include "ui/OutputPage.h"
#include "ui/PlacedControls.h"
#include "ui/PlanListDialog.h"
#include "ui/PreviewBox.h"
#include "ui/PreviewCommands.h"
#include "ui/PreviewWindow.h"
#include "ui/ProcessingPage.h"
#include "ui/ScreenPlacement.h"
#include "ui/ThumbnailPage.h"
#include "ui/WizardKeys.h"
#include "ui/WizardRunHost.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QThread>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <algorithm>
#include <thread>

namespace pictorant {

namespace {

QString qs(const std::string& text) {
    return QString::fromStdString(text);
}
std::string ss(const QString& text) {
    return text.toStdString();
}

const QString kNoConversionText = QString::fromLatin1(kNoConversion);

} // namespace

MainWizard::MainWizard(SettingsFile* settings, QWidget* parent)
    : QWidget(parent), settings_(settings), runHost_(new WizardRunHost(engine_, this)) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Batch Renamer / Thumbnail Maker"));
    setFixedSize(586, 603);
    centreOnScreen(this);
    // Pictures are prepared on every core; results are still written in list order.
    engine_.setWorkers(std::max(1, int(std::thread::hardware_concurrency())));
    QFont small = font();
    small.setPointSizeF(8);
    setFont(small);

    buildUpperRegion();
    buildMenus();
    connectHandlers();

    sourcePane().startAt(qs(driveRoot()));
    targetPane().startAt(qs(driveRoot()));
    for (int i = 1; i < wizardPageCount; ++i)
        pages_->setTabVisible(i, false);
    pages_->setCurrentIndex(int(WizardPage::InputSelection));
    showHint(WizardPage::InputSelection);
    if (settings_)
        applySettings(readMainSettings(*settings_));
    sourcePane().resetHistory();
    targetPane().resetHistory();
    new WizardKeys(this, pages_);
    nameControlsForScreenReaders(this);
}

MainWizard::~MainWizard() {
    if (runThread_) {
        // The program ends during a run: the file in hand is finished, nothing more.
        runHost_->abandon();
        runThread_->wait();
        delete runThread_;
    }
    writeSettings();
}

void MainWizard::writeSettings() {
    if (settingsWritten_ || !settings_)
        return;
    settingsWritten_ = true;
    try {
        writeMainSettings(*settings_, settingsFromControls());
    } catch (const std::exception& e) {
        messages().inform(QStringLiteral("settingsWrite"), QString::fromUtf8(e.what()),
                          programTitle(), MessageIcon::Stop);
    }
}

void MainWizard::buildUpperRegion() {
    heading_ = placeLabel(this, "lHeading",
                          QStringLiteral("Ostrovel - Free Batch Renamer/Converter/Thumbnailer"), 8,
                          4, 430, 22);
    QFont heading = heading_->font();
    heading.setBold(true);
    heading.setPointSizeF(10);
    heading_->setFont(heading);
    heading_->setStyleSheet(QStringLiteral("color: maroon;"));

    modeHeading_ = placeLabel(this, "lOutput", QStringLiteral("Create Thumbnails"), 8, 26, 270, 20);
    modeHeading_->setFont(heading);
    modeHeading_->setStyleSheet(QStringLiteral("color: blue;"));
    modeHeading_->hide();

    previewCaption_ =
        placeLabel(this, "lPreview", QStringLiteral("Preview Window"), 9, 46, 103, 18);
    previewCaption_->setAlignment(Qt::AlignCenter);
    previewFrame_ = place(new QFrame(this), "bvPreview", 9, 64, 103, 89);
    previewFrame_->setFrameShape(QFrame::Panel);
    previewFrame_->setFrameShadow(QFrame::Sunken);
    previewBox_ = place(new QLabel(this), "Image1", 12, 67, 97, 84);
    previewBox_->setScaledContents(true);
    previewBox_->installEventFilter(this);

    selectedCaption_ = placeLabel(this, "lMFL", QStringLiteral("Source Files"), 120, 46, 160, 18);
    selectedList_ = place(new QListWidget(this), "lbMFL", 120, 64, 160, 74);
    selectedNote_ = placeLabel(this, "lMFLNote", QStringLiteral("Click a name to preview it"), 120,
                               139, 160, 16);

    hintsCaption_ = placeLabel(this, "lHints", QStringLiteral("Helpful Hints"), 290, 32, 150, 18);
    hints_ = place(new QPlainTextEdit(this), "mHelp", 290, 50, 290, 105);
    hints_->setReadOnly(true);
    hints_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    hints_->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    defaultsButton_ = placeSpeedButton(this, "sbDefaults", QStyle::SP_DialogResetButton,
                                       QStringLiteral("Reset Settings to Defaults"), 450, 2);
    aboutButton_ = placeSpeedButton(this, "sbAbout", QStyle::SP_MessageBoxInformation,
                                    QStringLiteral("About Pictorant"), 476, 2);
    helpButton_ = placeSpeedButton(this, "SpeedButton3", QStyle::SP_DialogHelpButton,
                                   QStringLiteral("Pictorant Help"), 502, 2);
    refreshButton_ = placeSpeedButton(this, "bRefreshView", QStyle::SP_BrowserReload,
                                      QStringLiteral("Refresh Directory & File lists"), 528, 2);
    explorerButton_ = placeSpeedButton(this, "SpeedButton2", QStyle::SP_DirOpenIcon,
                                       QStringLiteral("Launch Explorer"), 554, 2);

    pages_ = place(new QTabWidget(this), "pcMain", 4, 160, 578, 439);
    inputPage_ = new InputPage;
    outputPage_ = new OutputPage;
    thumbnailPage_ = new ThumbnailPage;
    confirmPage_ = new ConfirmPage;
    processingPage_ = new ProcessingPage;
    const std::pair<QWidget*, WizardPage> order[] = {{inputPage_, WizardPage::InputSelection},
                                                     {outputPage_, WizardPage::OutputOptions},
                                                     {thumbnailPage_, WizardPage::ThumbnailOptions},
                                                     {confirmPage_, WizardPage::Confirm},
                                                     {processingPage_, WizardPage::Processing}};
    for (const auto& [page, which] : order)
        pages_->addTab(page, pageCaption(which));
}

void MainWizard::buildMenus() {
    sourceMenu_ = new QMenu(this);
    sourceMenu_->setObjectName(QStringLiteral("pm1"));
    sourceNextAction_ = named(sourceMenu_->addAction(QStringLiteral("Next")), "Next1");
    sourceMenu_->addSeparator();
    newSourceFolderAction_ = named(sourceMenu_->addAction(QStringLiteral("Create New Directory")),
                                   "CreateNewDirectory1");
    sourceMenu_->addSeparator();
    rotateClockwiseAction_ =
        named(sourceMenu_->addAction(QStringLiteral("Rotate Image 90 degrees clockwise")),
              "RotateImage90degreeclockwise1");
    rotateCounterClockwiseAction_ =
        named(sourceMenu_->addAction(QStringLiteral("Rotate Image 90 degrees counter clockwise")),
              "RotateImage90degreescounterclockwise1");
    losslessRotationAction_ = named(
        sourceMenu_->addAction(QStringLiteral("Lossless JPEG Rotation")), "LosslessRotation1");
    losslessRotationAction_->setCheckable(true);
    losslessRotationAction_->setToolTip(
        QStringLiteral("Turn JPEG files on their compressed blocks: no quality lost, camera "
                       "data kept"));

    targetMenu_ = new QMenu(this);
    targetMenu_->setObjectName(QStringLiteral("pm2"));
    targetBackAction_ = named(targetMenu_->addAction(QStringLiteral("Back")), "Back2");
    targetNextAction_ = named(targetMenu_->addAction(QStringLiteral("Next")), "Next2");
    targetMenu_->addSeparator();
    newTargetFolderAction_ = named(targetMenu_->addAction(QStringLiteral("Create New Directory")),
                                   "CreateNewDirectory2");
}

void MainWizard::connectHandlers() {
    connect(inputPage_, &InputPage::nextRequested, this, &MainWizard::leaveInputPage);
    connect(inputPage_, &InputPage::modeChanged, this, &MainWizard::showModeHeading);
    connect(inputPage_, &InputPage::deleteRequested, this, &MainWizard::deleteSelectedSourceFiles);
    connect(inputPage_, &InputPage::rotateRequested, this, &MainWizard::rotatePreview);
    connect(outputPage_, &OutputPage::backRequested, this, &MainWizard::backToInputPage);
    connect(outputPage_, &OutputPage::nextRequested, this, &MainWizard::leaveOutputPage);
    connect(outputPage_, &OutputPage::renameChoiceChanged, confirmPage_,
            [this](bool renameOnly) { confirmPage_->setOverwriteOffered(!renameOnly); });
    connect(thumbnailPage_, &ThumbnailPage::backRequested, this, &MainWizard::backToOutputPage);
    connect(thumbnailPage_, &ThumbnailPage::nextRequested, this, &MainWizard::leaveThumbnailPage);
    connect(confirmPage_, &ConfirmPage::backRequested, this, &MainWizard::backFromConfirmPage);
    connect(confirmPage_, &ConfirmPage::goRequested, this, &MainWizard::startRun);
    connect(confirmPage_, &ConfirmPage::showNamesRequested, this, &MainWizard::showPlannedNames);
    connect(processingPage_, &ProcessingPage::cancelRequested, this, &MainWizard::cancelRun);
    connect(processingPage_, &ProcessingPage::startOverRequested, this, &MainWizard::startOver);
    connect(processingPage_, &ProcessingPage::galleryRequested, this, &MainWizard::makeGallery);
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
        if (WizardPage(index) == WizardPage::Confirm)
            fillConfirmPage();
    });

    connect(runHost_, &WizardRunHost::starting, this, &MainWizard::runStarting);
    connect(runHost_, &WizardRunHost::progressLine, processingPage_,
            &ProcessingPage::setProgressLine);
    connect(runHost_, &WizardRunHost::progressMax, processingPage_,
            &ProcessingPage::setProgressMax);
    connect(runHost_, &WizardRunHost::progressPosition, processingPage_,
            &ProcessingPage::setProgressPosition);
    connect(runHost_, &WizardRunHost::message, this, &MainWizard::showRunMessage);
    connect(runHost_, &WizardRunHost::warning, this, &MainWizard::showRunWarning);
    connect(runHost_, &WizardRunHost::panesChanged, this, &MainWizard::rereadPanes);
    connect(runHost_, &WizardRunHost::finished, this, &MainWizard::runFinished);

    connect(refreshButton_, &QToolButton::clicked, this, &MainWizard::refreshPanes);
    connect(explorerButton_, &QToolButton::clicked, this, &MainWizard::openFolderInFileManager);
    connect(defaultsButton_, &QToolButton::clicked, this, &MainWizard::resetToDefaults);
    connect(aboutButton_, &QToolButton::clicked, this, &MainWizard::showAbout);
    connect(helpButton_, &QToolButton::clicked, this, &MainWizard::showHelp);
    connect(sourcePane().list(), &FileListView::mouseDown, this, &MainWizard::previewSourceFile);
    connect(targetPane().list(), &FileListView::mouseDown, this, &MainWizard::previewTargetFile);
    connect(selectedList_, &QListWidget::itemClicked, this, &MainWizard::previewSelectedFile);
    connect(&PreviewBox::attach(previewBox_), &PreviewBox::pictureGone, this,
            [this] { inputPage_->setRotationEnabled(false); });

    connect(sourceNextAction_, &QAction::triggered, this, &MainWizard::leaveInputPage);
    connect(newSourceFolderAction_, &QAction::triggered, this, &MainWizard::createSourceFolder);
    connect(rotateClockwiseAction_, &QAction::triggered, this,
            [this] { rotatePreview(RotateDirection::Clockwise); });
    connect(rotateCounterClockwiseAction_, &QAction::triggered, this,
            [this] { rotatePreview(RotateDirection::CounterClockwise); });
    connect(targetBackAction_, &QAction::triggered, this, &MainWizard::backToInputPage);
    connect(targetNextAction_, &QAction::triggered, this, &MainWizard::leaveOutputPage);
    connect(newTargetFolderAction_, &QAction::triggered, this, &MainWizard::createTargetFolder);
    const std::pair<FilePane*, QMenu*> menus[] = {{&sourcePane(), sourceMenu_},
                                                  {&targetPane(), targetMenu_}};
    for (const auto& [pane, menu] : menus) {
        for (QWidget* w :
             {static_cast<QWidget*>(pane->tree()), static_cast<QWidget*>(pane->list())})
            connect(w, &QWidget::customContextMenuRequested, this,
                    [menu, w](const QPoint& at) { menu->popup(w->mapToGlobal(at)); });
    }
}

void MainWizard::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Hidden trees cannot scroll; now that they are laid out, bring their folders in sight.
    sourcePane().revealFolder();
    targetPane().revealFolder();
}

void MainWizard::closeEvent(QCloseEvent* event) {
    if (running_) {
        // Closing during a run is Cancel: the file in hand is finished, then the window
        // closes once the run is over.
        runHost_->requestStop();
        closeAfterRun_ = true;
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

bool MainWizard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && watched == previewBox_ &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        openPreviewWindow();
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------
// Settings and job

FilePane& MainWizard::sourcePane() const {
    return inputPage_->pane();
}

FilePane& MainWizard::targetPane() const {
    return outputPage_->pane();
}

QString MainWizard::inputFolder() const {
    return sourcePane().folder();
}

QString MainWizard::outputFolder() const {
    return targetPane().folder();
}

MainSettings MainWizard::settingsFromControls() const {
    MainSettings s;
    s.inputDir = ss(inputFolder());
    s.outputDir = ss(outputFolder());
    s.resizeSpeed = thumbnailPage_->resizeSpeed();
    s.thumbWidth = ss(thumbnailPage_->widthText());
    s.thumbHeight = ss(thumbnailPage_->heightText());
    s.maintainRatio = thumbnailPage_->maintainRatio();
    s.forceWidth = thumbnailPage_->forceWidth();
    s.forceHeight = thumbnailPage_->forceHeight();
    s.convertTo = ss(outputPage_->convertTo());
    s.namingOption = outputPage_->namingOption();
    s.qualifier = ss(outputPage_->thumbnailQualifier());
    s.jpegQuality = confirmPage_->jpegQuality();
    s.overwrite = confirmPage_->overwrite();
    const PhotoOptions photo = outputPage_->photoOptions();
    s.autoOrient = photo.autoOrient;
    s.convertToSrgb = photo.toSrgb;
    s.keepMetadata = photo.keepMetadata;
    s.losslessRotation = losslessRotationAction_->isChecked();
    return s;
}

void MainWizard::applySettings(const MainSettings& s) {
    sourcePane().startAt(qs(s.inputDir));
    targetPane().startAt(qs(s.outputDir));
    thumbnailPage_->setResizeSpeed(s.resizeSpeed);
    thumbnailPage_->setSize(qs(s.thumbWidth), qs(s.thumbHeight));
    thumbnailPage_->setMaintainRatio(s.maintainRatio);
    thumbnailPage_->setForced(s.forceWidth, s.forceHeight);
    outputPage_->setConvertTo(qs(s.convertTo));
    outputPage_->setNamingOption(s.namingOption);
    outputPage_->setThumbnailQualifier(qs(s.qualifier));
    confirmPage_->setJpegQuality(s.jpegQuality);
    confirmPage_->setOverwrite(s.overwrite);
    applyPhotoSettings(s);
}

void MainWizard::applyPhotoSettings(const MainSettings& s) {
    PhotoOptions photo;
    photo.autoOrient = s.autoOrient;
    photo.toSrgb = s.convertToSrgb;
    photo.keepMetadata = s.keepMetadata;
    outputPage_->setPhotoOptions(photo);
    losslessRotationAction_->setChecked(s.losslessRotation);
}

JobSettings MainWizard::currentJob() const {
    JobSettings job;
    applyMainSettings(job, settingsFromControls());
    job.mode = mode_;
    for (const QString& name : selected_)
        job.sourceFiles.push_back(ss(name));
    job.renameOnly = outputPage_->renameChosen();
    job.qualifier = ss(outputPage_->qualifier(mode_));
    job.seqStart = ss(outputPage_->sequenceStart());
    // Only for the folders the question was asked about.
    job.convertInPlace = inPlaceConfirmed_ && job.inputDir == job.outputDir;
    return job;
}

void MainWizard::clearSelectedFiles() {
    selected_.clear();
    selectedList_->clear();
    setSourceCount(0);
}

void MainWizard::setSourceCount(int count) {
    selectedCaption_->setText(QStringLiteral("Source Files: ") + QString::number(count));
}

void MainWizard::rereadPanes() {
    sourcePane().rereadList();
    targetPane().rereadList();
}

// ---------------------------------------------------------------------------------------
// Pages

void MainWizard::showHint(WizardPage page) {
    hints_->clear();
    hints_->setPlainText(pageHint(page));
    hints_->verticalScrollBar()->setValue(0);
    hints_->moveCursor(QTextCursor::Start);
}

WizardPage MainWizard::currentPage() const {
    return WizardPage(pages_->currentIndex());
}

void MainWizard::showPage(WizardPage page) {
    const int left = pages_->currentIndex();
    const int reached = int(page);
    pages_->widget(reached)->setEnabled(true);
    pages_->setTabVisible(reached, true);
    pages_->setCurrentIndex(reached);
    if (left != reached)
        pages_->setTabVisible(left, false);
    if (page == WizardPage::InputSelection)
        sourcePane().revealFolder();
    else if (page == WizardPage::OutputOptions)
        targetPane().revealFolder();
    showHint(page);
}

void MainWizard::showModeHeading(JobMode mode) {
    modeHeading_->setText(mode == JobMode::CreateThumbnails
                              ? QStringLiteral("Create Thumbnails")
                              : QStringLiteral("Rename/Convert Files"));
}

bool MainWizard::confirmDuplicates() {
    const auto pair = findDuplicateNames(selected_);
    if (!pair)
        return true;
    if (sides_.dupeWarn)
        return showDuplicateWarning(*sides_.dupeWarn, *pair);
    DuplicateNamesDialog own;
    return showDuplicateWarning(own, *pair);
}

void MainWizard::leaveInputPage() {
    const QStringList names = sourcePane().selectedNames();
    if (names.isEmpty()) {
        messages().inform(QStringLiteral("noFilesSelected"), QStringLiteral("No files selected!"),
                          programTitle(), MessageIcon::None);
        return;
    }
    selected_ = names;
    selectedList_->clear();
    selectedList_->addItems(names);
    setSourceCount(int(names.size()));

    if (!confirmDuplicates())
        return;

    outputPage_->hideRenameNote();
    outputPage_->applyNamingOption();
    mode_ = inputPage_->chosenMode();
    showModeHeading(mode_);
    outputPage_->showFor(mode_);
    confirmPage_->showThumbnailRows(mode_ == JobMode::CreateThumbnails,
                                    thumbnailPage_->maintainRatio());
    modeHeading_->show();
    showPage(WizardPage::OutputOptions);
}

void MainWizard::leaveOutputPage() {
    const QString typed = targetPane().folderBox()->text();
    const QString wanted = targetPane().typedFolder();
    if (!folderExists(ss(wanted))) {
        const MessageAnswer answer = messages().ask(
            {QStringLiteral("createFolder"), QStringLiteral("Folder does not exist.  Create now?"),
             programTitle(), MessageIcon::Warning, MessageButtons::YesNo});
        if (answer != MessageAnswer::Yes)
            return;
        // One level only: the parent must exist already.
        const QFileInfo info(wanted);
        const bool made = !wanted.isEmpty() && info.dir().exists() && QDir().mkdir(wanted);
        if (!made) {
            // Going on would run into the folder shown before, which the user did not
            // choose: the wizard stays here.
            messages().inform(QStringLiteral("couldNotCreateDirectory"),
                              QStringLiteral("Could not create Directory: ") + typed,
                              programTitle(), MessageIcon::None);
            return;
        }
    }
    // The folder typed (found or just made) becomes the output folder, as if it had been
    // entered; otherwise the job would still name the folder shown before.
    if (targetPane().typedFolderPending())
        targetPane().folderBoxEnter();
    const bool renameOnly = mode_ == JobMode::RenameCopyConvert && outputPage_->renameChosen();
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
    showPage(mode_ == JobMode::CreateThumbnails ? WizardPage::ThumbnailOptions
                                                : WizardPage::Confirm);
}

void MainWizard::leaveThumbnailPage() {
    showPage(WizardPage::Confirm);
}

void MainWizard::backToInputPage() {
    showPage(WizardPage::InputSelection);
    selectedList_->clear();
    setSourceCount(0);
}

void MainWizard::returnToFirstPage() {
    showPage(WizardPage::InputSelection);
    clearSelectedFiles();
}

void MainWizard::backToOutputPage() {
    showPage(WizardPage::OutputOptions);
}

void MainWizard::backFromConfirmPage() {
    showPage(mode_ == JobMode::CreateThumbnails ? WizardPage::ThumbnailOptions
                                                : WizardPage::OutputOptions);
}

void MainWizard::fillConfirmPage() {
    const bool renameOnly = mode_ == JobMode::RenameCopyConvert && outputPage_->renameChosen();
    JobSummary s;
    s.inputFolder = inputFolder();
    s.outputFolder = renameOnly ? inputFolder() : outputFolder();
    s.fileTypes = inputPage_->mask();
    s.conversion = renameOnly ? kNoConversionText : outputPage_->convertTo();
    s.outputNames = qs(describeOutputNames(currentJob()));
    s.thumbnails = mode_ == JobMode::CreateThumbnails;
    s.resizeSpeed = QString::fromLatin1(resizeSpeedKeyword(thumbnailPage_->resizeSpeed()));
    s.maintainRatio = thumbnailPage_->maintainRatio();
    s.width = thumbnailPage_->widthText();
    s.height = thumbnailPage_->heightText();
    if (!renameOnly) {
        const PhotoOptions photo = outputPage_->photoOptions();
        s.photoOptions = photoOptionsText(photo.autoOrient, photo.toSrgb, photo.keepMetadata);
    }
    confirmPage_->showSummary(s);
}

// ---------------------------------------------------------------------------------------
// GO and the Processing page

void MainWizard::startRun() {
    if (running_)
        return;
    const JobSettings job = currentJob();
    // A gallery's frame column follows the most recent thumbnail run, whatever ran since.
    if (job.mode == JobMode::CreateThumbnails)
        lastThumbMaxSide_ = thumbnailMaxSide(job);
    running_ = true;
    runHost_->prepare();
    // The engine works on its own thread; the window stays free to paint and to take
    // Cancel, and follows the run through the host's signals.
    runThread_ = QThread::create([this, job] { engine_.startRun(job, *runHost_); });
    connect(runThread_, &QThread::finished, this, &MainWizard::runEnded);
    runThread_->start();
}

void MainWizard::runEnded() {
    runThread_->wait();
    runThread_->deleteLater();
    runThread_ = nullptr;
    // Over, even if the engine ended without a closing step.
    running_ = false;
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        close();
    }
}

void MainWizard::showPlannedNames() {
    const JobSettings job = currentJob();
    PlanListDialog dialog(this);
    dialog.showPlan(planRun(job), qs(jobOutputDir(job)));
    messages().showModal(QStringLiteral("planList"), dialog);
}

void MainWizard::cancelRun() {
    runHost_->requestStop();
}

void MainWizard::runStarting(int fileCount) {
    showPage(WizardPage::Processing);
    for (QWidget* w :
         std::initializer_list<QWidget*>{selectedList_, selectedCaption_, selectedNote_,
                                         previewFrame_, previewBox_, previewCaption_})
        w->hide();
    PreviewBox::attach(previewBox_).clearPicture();
    processingPage_->startRun(fileCount);
    showHint(WizardPage::Processing);
}

void MainWizard::showRunMessage(const QString& id, const QString& text) {
    messages().inform(id, text, programTitle(), MessageIcon::None);
}

void MainWizard::showRunWarning(const QString& line) {
    messages().inform(QStringLiteral("fileWarning"), line, programTitle(), MessageIcon::Warning);
}

void MainWizard::runFinished(const QString& closingLine) {
    processingPage_->finishRun(closingLine);
}

void MainWizard::startOver() {
    showPage(WizardPage::InputSelection);
    selected_.clear();
    processingPage_->reset();
    for (QWidget* w : std::initializer_list<QWidget*>{previewFrame_, previewBox_, previewCaption_})
        w->show();
    selectedList_->clear();
    for (QWidget* w :
         std::initializer_list<QWidget*>{selectedList_, selectedCaption_, selectedNote_})
        w->show();
    setSourceCount(0);
    showHint(WizardPage::InputSelection);
}

void MainWizard::makeGallery() {
    if (!sides_.htmlOut || !sides_.htmlOptions || !sides_.htmlEditor)
        return;
    const JobSettings job = currentJob();
    runGalleryFlow(*sides_.htmlOut, *sides_.htmlOptions, *sides_.htmlEditor,
                   {engine_.galleryEntries(), qs(jobOutputDir(job)), lastThumbMaxSide_});
}

// ---------------------------------------------------------------------------------------
// Panes, preview and the side windows

void MainWizard::refreshPanes() {
    for (FilePane* pane : {&sourcePane(), &targetPane()}) {
        pane->rereadTree();
        pane->rereadList();
    }
}

void MainWizard::openFolderInFileManager() {
    QString folder;
    if (currentPage() == WizardPage::InputSelection)
        folder = inputFolder();
    else if (currentPage() == WizardPage::OutputOptions)
        folder = outputFolder();
    else
        folder = QDir::homePath();
    if (openFolder)
        openFolder(folder);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void MainWizard::openPreviewWindow() {
    if (sides_.preview)
        preview::openWindow(PreviewBox::attach(previewBox_), *sides_.preview);
}

void MainWizard::previewSourceFile(Qt::MouseButton button) {
    if (button != Qt::LeftButton || !sides_.preview)
        return;
    preview::loadFromFileList(
        PreviewBox::attach(previewBox_), *sides_.preview, sourcePane().entryCount(),
        sourcePane().currentPath(), [this](bool on) { inputPage_->setRotationEnabled(on); },
        outputPage_->photoOptions());
}

void MainWizard::previewTargetFile(Qt::MouseButton button) {
    if (button != Qt::LeftButton || !sides_.preview)
        return;
    preview::loadFromFileList(PreviewBox::attach(previewBox_), *sides_.preview,
                              targetPane().entryCount(), targetPane().currentPath(), nullptr,
                              outputPage_->photoOptions());
}

void MainWizard::previewSelectedFile() {
    QListWidgetItem* item = selectedList_->currentItem();
    if (!item || !sides_.preview)
        return;
    // The caption names the file actually loaded, so a rotation writes back to it.
    preview::loadFromSelectedList(PreviewBox::attach(previewBox_), *sides_.preview, inputFolder(),
                                  inputFolder(), item->text(), outputPage_->photoOptions());
}

void MainWizard::rotatePreview(RotateDirection direction) {
    if (!sides_.preview)
        return;
    preview::rotate(PreviewBox::attach(previewBox_), *sides_.preview, sourcePane().entryCount(),
                    int(sourcePane().selectedNames().size()), direction,
                    confirmPage_->jpegQuality(), losslessRotationAction_->isChecked(),
                    outputPage_->photoOptions());
}

void MainWizard::deleteSelectedSourceFiles() {
    if (!sides_.confirmDelete)
        return;
    if (!deleteSelectedFiles(*sides_.confirmDelete, sourcePane().selectedPaths()))
        return;
    rereadPanes();
    clearSelectedFiles();
}

void MainWizard::createSourceFolder() {
    const std::optional<QString> chosen = chooseNewDirectory(this, inputFolder());
    if (!chosen)
        return;
    createFolderPath(*chosen);
    sourcePane().rereadTree();
    targetPane().rereadTree();
}

void MainWizard::createTargetFolder() {
    const QString folder = outputFolder();
    const QString name = QFileInfo(createNewFolder(folder)).fileName();
    // The list reads its folder in the background, and a list model being replaced may
    // still report: the entry is taken from the first report that holds it.
    FilePane* pane = &targetPane();
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
    pane->rereadList();
}

void MainWizard::applyFactoryDefaults() {
    // Every kept option back to its factory value, on screen only: the wizard, the
    // gallery options, the gallery location, the deletion confirmation, in that order.
    const MainSettings d = factoryMainSettings();
    sourcePane().setFolder(qs(d.inputDir));
    targetPane().setFolder(qs(d.outputDir));
    thumbnailPage_->setResizeSpeed(d.resizeSpeed);
    thumbnailPage_->setSize(qs(d.thumbWidth), qs(d.thumbHeight));
    thumbnailPage_->setMaintainRatio(d.maintainRatio);
    thumbnailPage_->setForced(d.forceWidth, d.forceHeight);
    outputPage_->resetConvertTo();
    outputPage_->setNamingOption(d.namingOption);
    outputPage_->setThumbnailQualifier(qs(d.qualifier));
    confirmPage_->setJpegQuality(d.jpegQuality);
    confirmPage_->setOverwrite(d.overwrite);
    applyPhotoSettings(d);

    if (sides_.htmlOptions) {
        GalleryOptions options = sides_.htmlOptions->options();
        applyFactoryGalleryOptions(options);
        sides_.htmlOptions->setOptions(options);
    }
    if (sides_.htmlOut)
        sides_.htmlOut->setHtmlName(qs(factoryHtmlName()));
    if (sides_.confirmDelete)
        sides_.confirmDelete->setRecycleBin(factoryRecycleBin());
}

void MainWizard::resetToDefaults() {
    const MessageAnswer answer = messages().ask(
        {QStringLiteral("resetDefaults"),
         QStringLiteral("Confirmation - by choosing Yes, you will reset\r\nall options to their "
                        "original default settings.\r\n\r\nProceed?"),
         QStringLiteral("Confirm"), MessageIcon::Question, MessageButtons::YesCancel});
    if (answer != MessageAnswer::Yes)
        return;
    applyFactoryDefaults();
    // The selection was taken in the old source folder and the checks of the second page
    // were passed with the old folders: a job half old, half reset must not reach GO, so
    // the wizard starts again from the first page. A running or finished run is left
    // alone.
    const WizardPage page = currentPage();
    if (page != WizardPage::InputSelection && page != WizardPage::Processing)
        returnToFirstPage();
}

void MainWizard::showAbout() {
    if (sides_.about)
        messages().showModal(QStringLiteral("about"), *sides_.about);
}

void MainWizard::showHelp() {
    auto* help = findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    if (!help)
        help = new HelpWindow(this);
    showProgramHelp(*help);
}

} // namespace pictorant
