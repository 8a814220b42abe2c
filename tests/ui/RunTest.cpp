// GO and the Processing page: whole runs over real files, Cancel between files, closing
// the window during a run, the closing line and "OK!" back to the first page.

#include "WizardSupport.h"

#include "settings/SettingsFile.h"

#include <QImageReader>

namespace pictorant::uitest {
namespace {

using GoRun = MainWindowTest;

TEST_F(GoRun, TypicalThumbnailJobFromFirstPageToClosingLineAndBack) {
    MainWizard& f = wizardWith({"beach.jpg", "dunes.jpg", "pier.jpg"}, 640);
    ASSERT_TRUE(showFolder(f.targetPane(), pics, 3));
    click("bNxt1");
    const QString thumbs = pics + "/thumbs";
    f.targetPane().folderBox()->setText(thumbs);
    script.answer("createFolder", MessageAnswer::Yes);
    click("bNxt2");
    click("cbRatio");
    click("bNxt3");
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    ASSERT_TRUE(goAndWait());

    EXPECT_EQ(f.currentPage(), WizardPage::Processing);
    EXPECT_EQ(text("lDone"), "Operation complete. 3 files processed.");
    EXPECT_EQ(text("lProc"), "3 of 3");
    EXPECT_EQ(ctl<GradientProgressBar>(f, "pBar")->value(), 3);
    EXPECT_EQ(ctl<GradientProgressBar>(f, "pBar")->maximum(), 3);
    EXPECT_TRUE(ctl<QPlainTextEdit>(f, "mHelp")
                    ->toPlainText()
                    .startsWith("The selected files are now being processed."));
    const char* afterRun[] = {"lDone", "bStartOver", "bHTML", "lDoHTM"};
    const char* duringRun[] = {"bCancelOp", "lbMFL", "Image1"};
    for (const char* name : afterRun)
        EXPECT_FALSE(hidden(name)) << name;
    for (const char* name : duringRun)
        EXPECT_TRUE(hidden(name)) << name;
    EXPECT_EQ(filesIn(thumbs), (QStringList{"Thumb001.jpg", "Thumb002.jpg", "Thumb003.jpg"}));
    EXPECT_EQ(QImageReader(thumbs + "/Thumb002.jpg").size(), QSize(96, 72));
    const RunState& state = f.runState();
    ASSERT_EQ(state.ProcessedFileList.size(), 3u);
    EXPECT_EQ(state.ProcessedFileList[1].originalPath, (pics + "/dunes.jpg").toStdString());
    EXPECT_TRUE(waitCount(f.targetPane(), 3)) << "the target list is read again";

    click("bStartOver");
    EXPECT_EQ(f.currentPage(), WizardPage::InputSelection);
    EXPECT_EQ(text("lMFL"), "Source Files: 0");
    for (const char* name : afterRun)
        EXPECT_TRUE(hidden(name)) << name;
    for (const char* name : duringRun)
        EXPECT_FALSE(hidden(name)) << name;
    EXPECT_EQ(ctl<GradientProgressBar>(f, "pBar")->value(), 0);
    EXPECT_EQ(f.runState().processedCount, 3); // kept for the gallery
}

// Cancel pressed while file 3 is in hand stops after that file; during the run only the
// Processing page can be reached.
TEST_F(GoRun, CancelAfterFileThreeOfTwelveStopsBetweenFiles) {
    MainWizard& f = makeWindow();
    select(pics, 12, makeFiles(pics, 12));
    toConfirm("");
    QString lineAtCancel;
    std::vector<int> tabsSeen;
    auto* bar = ctl<GradientProgressBar>(f, "pBar");
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) {
        int visible = 0;
        for (int i = 0; i < 5; ++i)
            visible += ctl<QTabWidget>(f, "pcMain")->isTabVisible(i) ? 1 : 0;
        tabsSeen.push_back(visible);
        if (value == 3) {
            lineAtCancel = text("lProc");
            QMetaObject::invokeMethod(ctl<GradientButton>(f, "bCancelOp"), "click",
                                      Qt::QueuedConnection);
        }
    });
    ASSERT_TRUE(goAndWait());
    EXPECT_EQ(lineAtCancel, "3 of 12");
    EXPECT_EQ(text("lProc"), "3 of 12");
    EXPECT_EQ(text("lDone"), "Operation Incomplete. 3 files processed.");
    EXPECT_EQ(std::count(tabsSeen.begin(), tabsSeen.end(), 1), int(tabsSeen.size()));
    const QStringList left = filesIn(pics);
    EXPECT_EQ(left.filter("Image").size(), 3) << left.join(",").toStdString();
    EXPECT_TRUE(left.contains("p04.jpg"));
    EXPECT_FALSE(left.contains("p03.jpg"));

    // Over again with one file: the bar counts the new selection only.
    click("bStartOver");
    ASSERT_TRUE(waitCount(f.sourcePane(), 12));
    ASSERT_TRUE(f.sourcePane().selectName("p04.jpg"));
    ctl<QLineEdit>(f, "eSeq")->setText("100");
    toConfirm("");
    ASSERT_TRUE(goAndWait());
    EXPECT_EQ(bar->maximum(), 1);
    EXPECT_EQ(f.runState().ProcessedFileList.size(), 1u);
    EXPECT_EQ(text("lDone"), "Operation complete. 1 files processed.");
}

class CloseDuringRun : public MainWindowTest, public ::testing::WithParamInterface<bool> {};

// The close box reaches the window while file 2 is in hand: the run stops after it, the
// window closes once the run has stopped, and the settings are written at exit.
TEST_P(CloseDuringRun, StopsAfterTheFileInHandThenClosesAndWritesSettings) {
    const bool thumbnails = GetParam();
    const QString ini = root + "/Pictorant.ini";
    SettingsFile settings(ini.toStdString());
    form = std::make_unique<MainWizard>(&settings);
    MainWizard& f = *form;
    select(pics, 6, makeFiles(pics, 6, true));
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    thumbnails ? toConfirm() : toConfirm("No Conversion");
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    f.show();
    QSignalSpy closed(&f, &MainWizard::closed);
    QObject::connect(ctl<GradientProgressBar>(f, "pBar"), &QProgressBar::valueChanged, &f,
                     [&](int value) {
                         if (value == 2)
                             QMetaObject::invokeMethod(&f, "close", Qt::QueuedConnection);
                     });
    click("bGO");
    ASSERT_TRUE(f.isRunning()) << "GO returns at once, the run works on";
    ASSERT_TRUE(waitUntil([&] { return !f.isRunning(); }, 60000));
    EXPECT_EQ(text("lDone"), "Operation Incomplete. 2 files processed.");
    EXPECT_EQ(filesIn(out).size(), 2) << filesIn(out).join(",").toStdString();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(f.isVisible());

    form.reset(); // the program's exit
    SettingsFile written(ini.toStdString());
    EXPECT_EQ(written.readText("Directories", "Output", ""), out.toStdString());
    EXPECT_EQ(written.readText("Directories", "Input", ""), pics.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Runs, CloseDuringRun, ::testing::Bool());

TEST_F(GoRun, CloseOutsideARunClosesAtOnce) {
    MainWizard& f = makeWindow();
    f.show();
    QSignalSpy closed(&f, &MainWizard::closed);
    EXPECT_TRUE(f.close());
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(GoRun, FailureEndsTheRunWithErrorDuringProcessing) {
    MainWizard& f = makeWindow();
    select(pics, 2, makeFiles(pics, 2));
    click("rbRename");
    click("bNxt1");
    ctl<QLineEdit>(f, "eSeq")->setText("one");
    click("bNxt2");
    ASSERT_TRUE(goAndWait());
    EXPECT_EQ(script.ids(), QStringList{"errorDuringProcessing"});
    EXPECT_EQ(text("lDone"), "Operation Incomplete. 0 files processed.");
    EXPECT_FALSE(hidden("bStartOver"));
    EXPECT_EQ(filesIn(pics), (QStringList{"p01.jpg", "p02.jpg"}));
}

// The size boxes are read at GO; a size beyond the pixel cap (lowered here, so a lost
// refusal makes a small picture) is refused with its reason and nothing is written.
TEST_F(GoRun, AThumbnailSizeTooLargeIsRefusedWithItsReasonBeforeAnyFile) {
    const std::int64_t cap = MaxPicturePixels();
    SetMaxPicturePixels(1 << 20);
    MainWizard& f = wizardWith({"a.jpg"}, 64);
    ctl<QLineEdit>(f, "eWidth")->setText("2000");
    ctl<QLineEdit>(f, "eHeight")->setText("1000");
    toConfirm();
    ASSERT_TRUE(goAndWait());
    SetMaxPicturePixels(cap);
    ASSERT_TRUE(script.ids().endsWith("thumbSizeRefused")) << script.ids().join(",").toStdString();
    EXPECT_EQ(script.last().text, "Thumbnail size too large: 2000 x 1000 (at most 65535 pixels "
                                  "a side and 1048576 pixels in all).");
    EXPECT_EQ(text("lDone"), "Operation Incomplete. 0 files processed.");
    EXPECT_TRUE(QDir(out).isEmpty());
}

} // namespace
} // namespace pictorant::uitest
