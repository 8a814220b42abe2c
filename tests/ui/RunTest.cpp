// GO and the Processing page: whole runs over real files, Cancel between files, the
// closing line and "OK!" back to the first page.

#include "MainWindowSupport.h"

#include <QDir>
#include <QImageReader>

namespace pictorant::uitest {
namespace {

using GoRun = MainWindowTest;

// Walks the wizard from page 1 to the Confirm page for the files selected.
void toConfirmPage(TForm1& f) {
    f.bNxt1->click();
    ASSERT_EQ(f.currentPage(), 1);
    f.bNxt2->click();
    if (f.mode() == JobMode::CreateThumbnails) {
        ASSERT_EQ(f.currentPage(), 2);
        f.bNxt3->click();
    }
    ASSERT_EQ(f.currentPage(), 3);
}

QSize pictureSize(const QString& path) {
    return QImageReader(path).size();
}

TEST_F(GoRun, TypicalThumbnailJobFromFirstPageToClosingLine) {
    TForm1& f = makeWindow();
    const QString pics = sub("Pics");
    for (const char* name : {"beach.jpg", "dunes.jpg", "pier.jpg"})
        writeJpeg(pics + "/" + name, 640, 480);
    select(pics, 3, {"beach.jpg", "dunes.jpg", "pier.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), pics, 3));

    f.bNxt1->click();
    const QString thumbs = pics + "/thumbs";
    f.targetPane().folderBox()->setText(thumbs);
    script.answer("createFolder", MessageAnswer::Yes);
    f.bNxt2->click();
    ASSERT_EQ(f.currentPage(), 2);
    EXPECT_TRUE(f.rbQuality->isChecked());
    f.cbRatio->click();
    f.bNxt3->click();
    ASSERT_EQ(f.currentPage(), 3);
    EXPECT_EQ(f.lOutDir->text(), thumbs);

    f.bGO->click();
    EXPECT_EQ(f.currentPage(), 4);
    EXPECT_EQ(f.lDone->text(), "Operation complete. 3 files processed.");
    EXPECT_FALSE(f.lDone->isHidden());
    EXPECT_TRUE(f.bCancelOp->isHidden());
    EXPECT_FALSE(f.bStartOver->isHidden());
    EXPECT_FALSE(f.bHTML->isHidden());
    EXPECT_FALSE(f.lDoHTM->isHidden());
    EXPECT_EQ(f.lProc->text(), "3 of 3");
    EXPECT_EQ(f.pBar->value(), 3);
    EXPECT_EQ(f.pBar->maximum(), 3);
    EXPECT_TRUE(f.lbMFL->isHidden());
    EXPECT_TRUE(f.Image1->isHidden());
    EXPECT_TRUE(f.mHelp->toPlainText().startsWith("The selected files are now being processed."));
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

    f.bStartOver->click();
    EXPECT_EQ(f.currentPage(), 0);
    EXPECT_EQ(f.lMFL->text(), "Source Files: 0");
    EXPECT_FALSE(f.lbMFL->isHidden());
    EXPECT_FALSE(f.Image1->isHidden());
    EXPECT_TRUE(f.lDone->isHidden());
    EXPECT_FALSE(f.bCancelOp->isHidden());
    EXPECT_TRUE(f.bHTML->isHidden());
    EXPECT_EQ(f.pBar->value(), 0);
    EXPECT_TRUE(f.selectedFiles().isEmpty());
    EXPECT_EQ(f.runState().processedCount, 3); // kept for the gallery
}

TEST_F(GoRun, CancelAfterFileThreeOfTwelveStopsBetweenFiles) {
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    QStringList names;
    for (int i = 1; i <= 12; ++i) {
        names << QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0'));
        writeFile(pics + "/" + names.back());
    }
    select(pics, 12, names);
    f.rbRename->click();
    toConfirmPage(f);

    // Cancel is pressed while file 3 is in hand: the click waits in the event queue
    // until the run lets events through after that file.
    QString lineAtCancel;
    QObject::connect(f.pBar, &QProgressBar::valueChanged, f.bCancelOp, [&](int value) {
        if (value == 3) {
            lineAtCancel = f.lProc->text();
            QMetaObject::invokeMethod(f.bCancelOp, "click", Qt::QueuedConnection);
        }
    });
    f.bGO->click();
    EXPECT_EQ(lineAtCancel, "3 of 12");
    EXPECT_EQ(f.lProc->text(), "3 of 12");
    EXPECT_EQ(f.pBar->value(), 3);
    EXPECT_EQ(f.lDone->text(), "Operation Incomplete. 3 files processed.");
    const QStringList left = QDir(pics).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(left.filter("Image").size(), 3) << left.join(",").toStdString();
    EXPECT_TRUE(left.contains("p04.jpg"));
    EXPECT_FALSE(left.contains("p03.jpg"));
}

TEST_F(GoRun, CompleteRunCountsTheSelectedFilesAndANewGoStartsAfresh) {
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    const QString out = sub("out");
    for (const char* name : {"a.gif", "b.gif"})
        writeFile(pics + "/" + name, "GIF89a-not-really");
    select(pics, 2, {"a.gif", "b.gif"});
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    f.rbRename->click();
    f.bNxt1->click();
    f.rbCopyConvert->click();
    f.cbConvert->setCurrentText("No Conversion");
    f.bNxt2->click();
    ASSERT_EQ(f.currentPage(), 3);
    EXPECT_TRUE(f.tbJpg->isHidden());
    f.bGO->click();
    EXPECT_EQ(f.lDone->text(), "Operation complete. 2 files processed.");
    EXPECT_TRUE(QFileInfo(out + "/Image001.gif").isFile());
    EXPECT_TRUE(QFileInfo(out + "/Image002.gif").isFile());

    // Over again with one file and the existing copies kept.
    f.bStartOver->click();
    ASSERT_TRUE(waitCount(f.sourcePane(), 2));
    ASSERT_TRUE(f.sourcePane().selectName("b.gif"));
    f.bNxt1->click();
    f.bNxt2->click();
    f.cbOverwrite->setChecked(false);
    int firstValue = -1;
    QObject::connect(f.pBar, &QProgressBar::valueChanged, f.pBar, [&](int v) {
        if (firstValue < 0)
            firstValue = v;
    });
    f.bGO->click();
    EXPECT_LE(firstValue, 1);
    EXPECT_EQ(f.pBar->maximum(), 1);
    EXPECT_EQ(f.runState().ProcessedFileList.size(), 1u);
    EXPECT_EQ(f.lDone->text(), "Operation complete. 1 files processed.");
}

TEST_F(GoRun, FailureEndsTheRunWithErrorDuringProcessing) {
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    for (const char* name : {"a.jpg", "b.jpg"})
        writeFile(pics + "/" + name);
    select(pics, 2, {"a.jpg", "b.jpg"});
    f.rbRename->click();
    f.bNxt1->click();
    f.eSeq->setText("one");
    f.bNxt2->click();
    ASSERT_EQ(f.currentPage(), 3);
    f.bGO->click();
    ASSERT_EQ(script.ids(), QStringList{"errorDuringProcessing"});
    EXPECT_EQ(script.last()->text, "Error during processing!");
    EXPECT_EQ(f.lDone->text(), "Operation Incomplete. 0 files processed.");
    EXPECT_FALSE(f.bStartOver->isHidden());
    EXPECT_TRUE(QFileInfo(pics + "/a.jpg").exists());
}

// The size boxes are read at GO; a size beyond the pixel cap (lowered here, so a lost
// refusal makes a small picture) is refused with its reason and nothing is written.
TEST_F(GoRun, AThumbnailSizeTooLargeIsRefusedWithItsReasonBeforeAnyFile) {
    const std::int64_t cap = MaxPicturePixels();
    SetMaxPicturePixels(1 << 20);
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    writeJpeg(pics + "/a.jpg", 64, 48);
    select(pics, 1, {"a.jpg"});
    const QString out = sub("out");
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    f.bNxt1->click();
    f.bNxt2->click();
    ASSERT_EQ(f.currentPage(), 2);
    f.eWidth->setText("2000");
    f.eHeight->setText("1000");
    f.bNxt3->click();
    ASSERT_EQ(f.currentPage(), 3);
    f.bGO->click();
    SetMaxPicturePixels(cap);
    ASSERT_TRUE(script.ids().endsWith("thumbSizeRefused")) << script.ids().join(",").toStdString();
    EXPECT_EQ(script.last()->text, "Thumbnail size too large: 2000 x 1000 (at most 65535 pixels "
                                   "a side and 1048576 pixels in all).");
    EXPECT_EQ(f.lDone->text(), "Operation Incomplete. 0 files processed.");
    EXPECT_TRUE(QDir(out).isEmpty());
}

TEST_F(GoRun, OnlyTheProcessingPageIsReachableDuringARun) {
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    for (const char* name : {"a.jpg", "b.jpg"})
        writeFile(pics + "/" + name);
    select(pics, 2, {"a.jpg", "b.jpg"});
    f.rbRename->click();
    toConfirmPage(f);
    std::vector<int> tabsSeen;
    QObject::connect(f.pBar, &QProgressBar::valueChanged, f.pBar, [&] {
        int visible = 0;
        for (int i = 0; i < 5; ++i)
            visible += f.pcMain->isTabVisible(i) ? 1 : 0;
        tabsSeen.push_back(visible);
        // GO, Next and Back pressed during the run do nothing.
        f.bGOClick();
        f.bNxt1Click();
        f.bBck3Click();
    });
    f.bGO->click();
    EXPECT_EQ(tabsSeen, (std::vector<int>{1, 1}));
    EXPECT_EQ(f.currentPage(), 4);
    EXPECT_TRUE(f.pcMain->isTabVisible(4));
    EXPECT_EQ(f.lDone->text(), "Operation complete. 2 files processed.");
}

TEST_F(GoRun, ButtonsChangeColourUnderTheMouse) {
    TForm1& f = makeWindow();
    f.show();
    EXPECT_EQ(f.bNxt1->startColor(), QColor(128, 128, 128));
    EXPECT_EQ(f.bNxt1->endColor(), QColor(128, 128, 128));
    EXPECT_EQ(f.bGO->startColor(), QColor(0, 128, 0));
    EXPECT_EQ(f.bGO->endColor(), QColor(0, 128, 0));
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(f.bNxt1, &enter);
    EXPECT_EQ(f.bNxt1->endColor(), QColor(0, 255, 0));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(f.bNxt1, &leave);
    EXPECT_EQ(f.bNxt1->endColor(), QColor(128, 128, 128));
    QApplication::sendEvent(f.bGO, &enter);
    EXPECT_EQ(f.bGO->endColor(), QColor(0, 255, 0));

    // The bar's blocks run from navy to aqua.
    EXPECT_EQ(GradientProgressBar::blockColor(0), QColor(0, 0, 128));
    EXPECT_EQ(GradientProgressBar::blockColor(1), QColor(0, 255, 255));
    f.pBar->setRange(0, 4);
    f.pBar->setValue(4);
    const QImage bar = f.pBar->grab().toImage();
    const QColor left = bar.pixelColor(4, bar.height() / 2);
    const QColor right = bar.pixelColor(bar.width() - 12, bar.height() / 2);
    EXPECT_LT(left.green(), 40);
    EXPECT_GT(right.green(), 200);
}

} // namespace
} // namespace pictorant::uitest
