// GO and the Processing page: whole runs over real files, Cancel between files, the
// closing line and "OK!" back to the first page.

#include "WizardSupport.h"

#include <QDir>
#include <QImageReader>

namespace pictorant::uitest {
namespace {

using GoRun = MainWindowTest;

// Walks the wizard from page 1 to the Confirm page for the files selected.
void toConfirmPage(MainWizard& f) {
    ctl<GradientButton>(f, "bNxt1")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::OutputOptions);
    ctl<GradientButton>(f, "bNxt2")->click();
    if (f.mode() == JobMode::CreateThumbnails) {
        ASSERT_EQ(f.currentPage(), WizardPage::ThumbnailOptions);
        ctl<GradientButton>(f, "bNxt3")->click();
    }
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
}

QSize pictureSize(const QString& path) {
    return QImageReader(path).size();
}

TEST_F(GoRun, TypicalThumbnailJobFromFirstPageToClosingLine) {
    MainWizard& f = makeWindow();
    const QString pics = sub("Pics");
    for (const char* name : {"beach.jpg", "dunes.jpg", "pier.jpg"})
        writeJpeg(pics + "/" + name, 640, 480);
    select(pics, 3, {"beach.jpg", "dunes.jpg", "pier.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), pics, 3));

    ctl<GradientButton>(f, "bNxt1")->click();
    const QString thumbs = pics + "/thumbs";
    f.targetPane().folderBox()->setText(thumbs);
    script.answer("createFolder", MessageAnswer::Yes);
    ctl<GradientButton>(f, "bNxt2")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::ThumbnailOptions);
    EXPECT_TRUE(ctl<QRadioButton>(f, "rbQuality")->isChecked());
    ctl<QCheckBox>(f, "cbRatio")->click();
    ctl<GradientButton>(f, "bNxt3")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    EXPECT_EQ(ctl<QLabel>(f, "lOutDir")->text(), thumbs);

    ASSERT_TRUE(goAndWait(f));
    EXPECT_EQ(f.currentPage(), WizardPage::Processing);
    EXPECT_EQ(ctl<QLabel>(f, "lDone")->text(), "Operation complete. 3 files processed.");
    EXPECT_FALSE(ctl<QLabel>(f, "lDone")->isHidden());
    EXPECT_TRUE(ctl<GradientButton>(f, "bCancelOp")->isHidden());
    EXPECT_FALSE(ctl<GradientButton>(f, "bStartOver")->isHidden());
    EXPECT_FALSE(ctl<GradientButton>(f, "bHTML")->isHidden());
    EXPECT_FALSE(ctl<QLabel>(f, "lDoHTM")->isHidden());
    EXPECT_EQ(ctl<QLabel>(f, "lProc")->text(), "3 of 3");
    EXPECT_EQ(ctl<GradientProgressBar>(f, "pBar")->value(), 3);
    EXPECT_EQ(ctl<GradientProgressBar>(f, "pBar")->maximum(), 3);
    EXPECT_TRUE(ctl<QListWidget>(f, "lbMFL")->isHidden());
    EXPECT_TRUE(ctl<QLabel>(f, "Image1")->isHidden());
    EXPECT_TRUE(ctl<QPlainTextEdit>(f, "mHelp")
                    ->toPlainText()
                    .startsWith("The selected files are now being processed."));
    EXPECT_TRUE(script.ids().endsWith("createFolder")) << script.ids().join(",").toStdString();

    for (const char* name : {"Thumb001.jpg", "Thumb002.jpg", "Thumb003.jpg"})
        EXPECT_EQ(pictureSize(thumbs + "/" + name), QSize(96, 72)) << name;
    const RunState& state = f.runState();
    EXPECT_EQ(state.processedCount, 3);
    ASSERT_EQ(state.ProcessedFileList.size(), 3u);
    EXPECT_EQ(state.ProcessedFileList[1].outputPath, (thumbs + "/Thumb002.jpg").toStdString());
    EXPECT_EQ(state.ProcessedFileList[1].originalPath, (pics + "/dunes.jpg").toStdString());
    // The target list was read again and shows the thumbnails.
    EXPECT_TRUE(waitCount(f.targetPane(), 3));

    ctl<GradientButton>(f, "bStartOver")->click();
    EXPECT_EQ(f.currentPage(), WizardPage::InputSelection);
    EXPECT_EQ(ctl<QLabel>(f, "lMFL")->text(), "Source Files: 0");
    EXPECT_FALSE(ctl<QListWidget>(f, "lbMFL")->isHidden());
    EXPECT_FALSE(ctl<QLabel>(f, "Image1")->isHidden());
    EXPECT_TRUE(ctl<QLabel>(f, "lDone")->isHidden());
    EXPECT_FALSE(ctl<GradientButton>(f, "bCancelOp")->isHidden());
    EXPECT_TRUE(ctl<GradientButton>(f, "bHTML")->isHidden());
    EXPECT_EQ(ctl<GradientProgressBar>(f, "pBar")->value(), 0);
    EXPECT_TRUE(f.selectedFiles().isEmpty());
    EXPECT_EQ(f.runState().processedCount, 3); // kept for the gallery
}

TEST_F(GoRun, CancelAfterFileThreeOfTwelveStopsBetweenFiles) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    QStringList names;
    for (int i = 1; i <= 12; ++i) {
        names << QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
        writeFile(pics + "/" + names.back());
    }
    select(pics, 12, names);
    ctl<QRadioButton>(f, "rbRename")->click();
    toConfirmPage(f);

    // Cancel is pressed while file 3 is in hand: the click waits in the event queue
    // until the run lets events through after that file.
    QString lineAtCancel;
    QObject::connect(ctl<GradientProgressBar>(f, "pBar"), &QProgressBar::valueChanged,
                     ctl<GradientButton>(f, "bCancelOp"), [&](int value) {
                         if (value == 3) {
                             lineAtCancel = ctl<QLabel>(f, "lProc")->text();
                             QMetaObject::invokeMethod(ctl<GradientButton>(f, "bCancelOp"), "click",
                                                       Qt::QueuedConnection);
                         }
                     });
    ASSERT_TRUE(goAndWait(f));
    EXPECT_EQ(lineAtCancel, "3 of 12");
    EXPECT_EQ(ctl<QLabel>(f, "lProc")->text(), "3 of 12");
    EXPECT_EQ(ctl<GradientProgressBar>(f, "pBar")->value(), 3);
    EXPECT_EQ(ctl<QLabel>(f, "lDone")->text(), "Operation Incomplete. 3 files processed.");
    const QStringList left = QDir(pics).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(left.filter("Image").size(), 3) << left.join(",").toStdString();
    EXPECT_TRUE(left.contains("p04.jpg"));
    EXPECT_FALSE(left.contains("p03.jpg"));
}

TEST_F(GoRun, ClosingTheWindowWhileTheRunWorksCancelsItAndThenCloses) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    const QString out = sub("out");
    QStringList names;
    for (int i = 1; i <= 40; ++i) {
        names << QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
        writeJpeg(pics + "/" + names.back(), 640, 480);
    }
    select(pics, 40, names);
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    ctl<GradientButton>(f, "bNxt1")->click();
    ctl<GradientButton>(f, "bNxt2")->click();
    ctl<GradientButton>(f, "bNxt3")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    f.show();
    QSignalSpy closed(&f, &MainWizard::closed);

    // GO returns at once: the run works on while the window takes the close box.
    ctl<GradientButton>(f, "bGO")->click();
    ASSERT_TRUE(f.isRunning());
    ASSERT_TRUE(waitUntil([&] { return ctl<GradientProgressBar>(f, "pBar")->value() >= 1; }));
    EXPECT_FALSE(f.close()) << "the window stays until the file in hand is done";
    ASSERT_TRUE(waitUntil([&] { return !f.isRunning(); }, 60000));

    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(f.isVisible());
    const int written = int(filesIn(out).size());
    EXPECT_LT(written, 40) << "the run went on after the close";
    EXPECT_EQ(ctl<QLabel>(f, "lDone")->text(),
              QStringLiteral("Operation Incomplete. %1 files processed.").arg(written));
}

TEST_F(GoRun, CompleteRunCountsTheSelectedFilesAndANewGoStartsAfresh) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    const QString out = sub("out");
    for (const char* name : {"a.gif", "b.gif"})
        writeFile(pics + "/" + name, "GIF89a-not-really");
    select(pics, 2, {"a.gif", "b.gif"});
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    ctl<QRadioButton>(f, "rbRename")->click();
    ctl<GradientButton>(f, "bNxt1")->click();
    ctl<QRadioButton>(f, "rbCopyConvert")->click();
    ctl<QComboBox>(f, "cbConvert")->setCurrentText("No Conversion");
    ctl<GradientButton>(f, "bNxt2")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    EXPECT_TRUE(ctl<QSlider>(f, "tbJpg")->isHidden());
    ASSERT_TRUE(goAndWait(f));
    EXPECT_EQ(ctl<QLabel>(f, "lDone")->text(), "Operation complete. 2 files processed.");
    EXPECT_TRUE(QFileInfo(out + "/Image001.gif").isFile());
    EXPECT_TRUE(QFileInfo(out + "/Image002.gif").isFile());

    // Over again with one file and the existing copies kept.
    ctl<GradientButton>(f, "bStartOver")->click();
    ASSERT_TRUE(waitCount(f.sourcePane(), 2));
    ASSERT_TRUE(f.sourcePane().selectName("b.gif"));
    ctl<GradientButton>(f, "bNxt1")->click();
    ctl<GradientButton>(f, "bNxt2")->click();
    ctl<QCheckBox>(f, "cbOverwrite")->setChecked(false);
    int firstValue = -1;
    QObject::connect(ctl<GradientProgressBar>(f, "pBar"), &QProgressBar::valueChanged,
                     ctl<GradientProgressBar>(f, "pBar"), [&](int v) {
                         if (firstValue < 0)
                             firstValue = v;
                     });
    ASSERT_TRUE(goAndWait(f));
    EXPECT_LE(firstValue, 1);
    EXPECT_EQ(ctl<GradientProgressBar>(f, "pBar")->maximum(), 1);
    EXPECT_EQ(f.runState().ProcessedFileList.size(), 1u);
    EXPECT_EQ(ctl<QLabel>(f, "lDone")->text(), "Operation complete. 1 files processed.");
}

TEST_F(GoRun, FailureEndsTheRunWithErrorDuringProcessing) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    for (const char* name : {"a.jpg", "b.jpg"})
        writeFile(pics + "/" + name);
    select(pics, 2, {"a.jpg", "b.jpg"});
    ctl<QRadioButton>(f, "rbRename")->click();
    ctl<GradientButton>(f, "bNxt1")->click();
    ctl<QLineEdit>(f, "eSeq")->setText("one");
    ctl<GradientButton>(f, "bNxt2")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    ASSERT_TRUE(goAndWait(f));
    ASSERT_EQ(script.ids(), QStringList{"errorDuringProcessing"});
    EXPECT_EQ(script.last()->text, "Error during processing!");
    EXPECT_EQ(ctl<QLabel>(f, "lDone")->text(), "Operation Incomplete. 0 files processed.");
    EXPECT_FALSE(ctl<GradientButton>(f, "bStartOver")->isHidden());
    EXPECT_TRUE(QFileInfo(pics + "/a.jpg").exists());
}

// The size boxes are read at GO; a size beyond the pixel cap (lowered here, so a lost
// refusal makes a small picture) is refused with its reason and nothing is written.
TEST_F(GoRun, AThumbnailSizeTooLargeIsRefusedWithItsReasonBeforeAnyFile) {
    const std::int64_t cap = MaxPicturePixels();
    SetMaxPicturePixels(1 << 20);
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    writeJpeg(pics + "/a.jpg", 64, 48);
    select(pics, 1, {"a.jpg"});
    const QString out = sub("out");
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    ctl<GradientButton>(f, "bNxt1")->click();
    ctl<GradientButton>(f, "bNxt2")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::ThumbnailOptions);
    ctl<QLineEdit>(f, "eWidth")->setText("2000");
    ctl<QLineEdit>(f, "eHeight")->setText("1000");
    ctl<GradientButton>(f, "bNxt3")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    ASSERT_TRUE(goAndWait(f));
    SetMaxPicturePixels(cap);
    ASSERT_TRUE(script.ids().endsWith("thumbSizeRefused")) << script.ids().join(",").toStdString();
    EXPECT_EQ(script.last()->text, "Thumbnail size too large: 2000 x 1000 (at most 65535 pixels "
                                   "a side and 1048576 pixels in all).");
    EXPECT_EQ(ctl<QLabel>(f, "lDone")->text(), "Operation Incomplete. 0 files processed.");
    EXPECT_TRUE(QDir(out).isEmpty());
}

TEST_F(GoRun, OnlyTheProcessingPageIsReachableDuringARun) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    for (const char* name : {"a.jpg", "b.jpg"})
        writeFile(pics + "/" + name);
    select(pics, 2, {"a.jpg", "b.jpg"});
    ctl<QRadioButton>(f, "rbRename")->click();
    toConfirmPage(f);
    std::vector<int> tabsSeen;
    QObject::connect(ctl<GradientProgressBar>(f, "pBar"), &QProgressBar::valueChanged,
                     ctl<GradientProgressBar>(f, "pBar"), [&] {
                         int visible = 0;
                         for (int i = 0; i < 5; ++i)
                             visible += ctl<QTabWidget>(f, "pcMain")->isTabVisible(i) ? 1 : 0;
                         tabsSeen.push_back(visible);
                     });
    ASSERT_TRUE(goAndWait(f));
    EXPECT_EQ(tabsSeen, (std::vector<int>{1, 1}));
    EXPECT_EQ(f.currentPage(), WizardPage::Processing);
    EXPECT_TRUE(ctl<QTabWidget>(f, "pcMain")->isTabVisible(4));
    EXPECT_EQ(ctl<QLabel>(f, "lDone")->text(), "Operation complete. 2 files processed.");
}

} // namespace
} // namespace pictorant::uitest
