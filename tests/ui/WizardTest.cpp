// The main window's wizard: page order, the checks of each Next, the visibility rules
// and the Confirm page summary.

#include "MainWindowSupport.h"

#include "DupeWarn.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

namespace pictorant::uitest {
namespace {

using Wizard = MainWindowTest;

// Only the current page's tab is visible.
int visibleTabs(const TForm1& f) {
    int n = 0;
    for (int i = 0; i < f.pcMain->count(); ++i)
        n += f.pcMain->isTabVisible(i) ? 1 : 0;
    return n;
}

TEST_F(Wizard, StartsOnTheFirstPageWithItsHintAndFactoryControls) {
    TForm1& f = makeWindow();
    EXPECT_EQ(f.windowTitle(), "Batch Renamer / Thumbnail Maker");
    EXPECT_EQ(f.size(), QSize(586, 603));
    EXPECT_EQ(f.currentPage(), 0);
    EXPECT_EQ(visibleTabs(f), 1);
    EXPECT_EQ(f.pcMain->tabText(0), "Input File Selection");
    EXPECT_TRUE(f.mHelp->toPlainText().startsWith("Input File Selection\n\n  First select"));
    EXPECT_TRUE(f.rbThumbs->isChecked());
    EXPECT_TRUE(f.rbQuality->isChecked());
    EXPECT_EQ(f.cbConvert->currentText(), "jpg");
    EXPECT_EQ(f.cbNameOption->currentIndex(), 0);
    EXPECT_EQ(f.eSeq->text(), "001");
    EXPECT_EQ(f.eQualThumb->text(), "Thumb");
    EXPECT_EQ(f.eQualImage->text(), "Image");
    EXPECT_EQ(f.tbJpg->value(), 90);
    EXPECT_TRUE(f.cbOverwrite->isChecked());
    EXPECT_EQ(f.cbMask->currentText(), "*.jpg;*.jpeg;*.gif;*.bmp;*.wmf;*.emf");
    EXPECT_EQ(f.cbMask->count(), 5);
    EXPECT_FALSE(f.bRotLeft->isEnabled());
    EXPECT_FALSE(f.bRotRight->isEnabled());
    EXPECT_EQ(f.inputFolder(), "/");
    EXPECT_EQ(f.outputFolder(), "/");
}

TEST_F(Wizard, NextWithNothingHighlightedSaysSoAndStays) {
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    writeFile(pics + "/a.jpg");
    ASSERT_TRUE(showFolder(f.sourcePane(), pics, 1));
    f.bNxt1->click();
    ASSERT_EQ(script.ids(), QStringList{"noFilesSelected"});
    EXPECT_EQ(script.last()->text, "No files selected!");
    EXPECT_EQ(f.currentPage(), 0);
}

TEST_F(Wizard, ThumbnailRoadVisitsEveryPageAndBackAgain) {
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    const QString out = sub("out");
    for (const char* name : {"b.jpg", "a.jpg", "c.gif"})
        writeFile(pics + "/" + name);
    select(pics, 3, {"c.gif", "a.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));

    f.bNxt1->click();
    ASSERT_EQ(f.currentPage(), 1);
    EXPECT_EQ(visibleTabs(f), 1);
    EXPECT_EQ(f.selectedFiles(), (QStringList{"a.jpg", "c.gif"})); // list order
    EXPECT_EQ(f.lbMFL->count(), 2);
    EXPECT_EQ(f.lMFL->text(), "Source Files: 2");
    EXPECT_EQ(f.lOutput->text(), "Create Thumbnails");
    EXPECT_FALSE(f.lOutput->isHidden());
    EXPECT_TRUE(f.mHelp->toPlainText().startsWith("Output File Options"));
    EXPECT_TRUE(f.gbRename->isHidden());
    EXPECT_FALSE(f.eQualThumb->isHidden());
    EXPECT_TRUE(f.eQualImage->isHidden());

    f.bNxt2->click();
    ASSERT_EQ(f.currentPage(), 2);
    EXPECT_TRUE(f.mHelp->toPlainText().startsWith("Thumbnail Options"));
    f.bNxt3->click();
    ASSERT_EQ(f.currentPage(), 3);
    EXPECT_TRUE(script.asked.empty());

    f.bBck3->click();
    EXPECT_EQ(f.currentPage(), 2);
    f.bBck2->click();
    EXPECT_EQ(f.currentPage(), 1);
    f.bBck1->click();
    EXPECT_EQ(f.currentPage(), 0);
    EXPECT_EQ(f.lbMFL->count(), 0);
    EXPECT_EQ(f.lMFL->text(), "Source Files: 0");
}

TEST_F(Wizard, RenameModeSkipsTheThumbnailPageBothWays) {
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    f.rbRename->click();
    f.bNxt1->click();
    ASSERT_EQ(f.currentPage(), 1);
    EXPECT_EQ(f.lOutput->text(), "Rename/Convert Files");
    EXPECT_FALSE(f.gbRename->isHidden());
    EXPECT_FALSE(f.eQualImage->isHidden());
    EXPECT_TRUE(f.eQualThumb->isHidden());
    // "Rename Files" is chosen: no target pane, the notice instead.
    EXPECT_FALSE(f.lRenameNote->isHidden());
    EXPECT_TRUE(f.targetPane().tree()->isHidden());
    EXPECT_TRUE(f.cbConvert->isHidden());
    EXPECT_TRUE(f.cbOverwrite->isHidden());

    // Same folder in both panes: no question for a rename.
    ASSERT_TRUE(showFolder(f.targetPane(), pics, 1));
    f.bNxt2->click();
    ASSERT_EQ(f.currentPage(), 3);
    EXPECT_TRUE(script.asked.empty());
    EXPECT_EQ(f.lOutDir->text(), pics);
    EXPECT_EQ(f.lConv->text(), "No Conversion");
    EXPECT_TRUE(f.lResizeCap->isHidden());
    EXPECT_TRUE(f.lDimCap->isHidden());
    EXPECT_TRUE(f.tbJpg->isHidden());

    f.bBck3->click();
    EXPECT_EQ(f.currentPage(), 1);
}

TEST_F(Wizard, CopyConvertShowsTheTargetPaneAgain) {
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    f.rbRename->click();
    f.bNxt1->click();
    f.rbCopyConvert->click();
    EXPECT_TRUE(f.lRenameNote->isHidden());
    for (QWidget* w :
         {static_cast<QWidget*>(f.targetPane().tree()),
          static_cast<QWidget*>(f.targetPane().list()), static_cast<QWidget*>(f.cbConvert),
          static_cast<QWidget*>(f.lConvert), static_cast<QWidget*>(f.sbShowAll),
          static_cast<QWidget*>(f.sbShowGrafx), static_cast<QWidget*>(f.cbOverwrite)})
        EXPECT_FALSE(w->isHidden()) << w->objectName().toStdString();
    f.rbRenameOnly->click();
    EXPECT_FALSE(f.lRenameNote->isHidden());
    EXPECT_TRUE(f.sbShowAll->isHidden());
}

TEST_F(Wizard, ModeIsFixedAnewOnEachNextFromTheFirstPage) {
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    const QString out = sub("out");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    f.rbRename->click();
    f.bNxt1->click();
    EXPECT_EQ(f.mode(), JobMode::RenameCopyConvert);
    f.bBck1->click();
    f.rbThumbs->click();
    ASSERT_TRUE(f.sourcePane().selectName("a.jpg"));
    f.bNxt1->click();
    EXPECT_EQ(f.mode(), JobMode::CreateThumbnails);
    EXPECT_TRUE(f.gbRename->isHidden());
    EXPECT_TRUE(f.lRenameNote->isHidden());
    EXPECT_FALSE(f.targetPane().tree()->isHidden());
    EXPECT_FALSE(f.cbConvert->isHidden());
    f.bNxt2->click();
    EXPECT_EQ(f.currentPage(), 2);
}

TEST_F(Wizard, MissingOutputFolderIsCreatedOnRequest) {
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), pics, 1));
    f.bNxt1->click();
    const QString thumbs = pics + "/thumbs";
    f.targetPane().folderBox()->setText(thumbs);

    script.answer("createFolder", MessageAnswer::No);
    f.bNxt2->click();
    EXPECT_EQ(f.currentPage(), 1);
    EXPECT_FALSE(QFileInfo(thumbs).exists());
    ASSERT_EQ(script.ids(), QStringList{"createFolder"});
    EXPECT_EQ(script.last()->text, "Folder does not exist.  Create now?");
    EXPECT_EQ(script.last()->icon, MessageIcon::Warning);
    EXPECT_EQ(script.last()->buttons, MessageButtons::YesNo);

    script.answer("createFolder", MessageAnswer::Yes);
    f.bNxt2->click();
    EXPECT_TRUE(QFileInfo(thumbs).isDir());
    EXPECT_EQ(f.outputFolder(), thumbs);
    EXPECT_EQ(f.currentPage(), 2);
}

TEST_F(Wizard, FolderTwoLevelsDeepCannotBeCreatedAndTheChecksGoOn) {
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), pics, 1));
    f.bNxt1->click();
    const QString deep = pics + "/new/deeper";
    f.targetPane().folderBox()->setText(deep);
    script.answer("createFolder", MessageAnswer::Yes);
    // The target pane still stands on the source folder: the same-folder question follows.
    script.answer("sameFolders", MessageAnswer::No);
    f.bNxt2->click();
    ASSERT_EQ(script.ids(),
              (QStringList{"createFolder", "couldNotCreateDirectory", "sameFolders"}));
    EXPECT_EQ(script.asked[1].text, "Could not create Directory: " + deep);
    EXPECT_EQ(script.asked[1].buttons, MessageButtons::Ok);
    EXPECT_EQ(script.asked[2].text,
              "Input and Output Directories are the same. This could result in files being "
              "overwritten or not processed.\r\n\r\nContinue?");
    EXPECT_EQ(script.asked[2].buttons, MessageButtons::YesNo);
    EXPECT_FALSE(QFileInfo(pics + "/new").exists());
    EXPECT_EQ(f.currentPage(), 1);

    script.answer("sameFolders", MessageAnswer::Yes);
    f.targetPane().folderBoxExit();
    f.bNxt2->click();
    EXPECT_EQ(f.currentPage(), 2);
}

TEST_F(Wizard, RenameByNameWithoutQualifierIsRefused) {
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    f.rbRename->click();
    f.bNxt1->click();
    f.cbNameOption->setCurrentIndex(int(NamingOption::SufName));
    f.eQualImage->clear();
    f.bNxt2->click();
    ASSERT_EQ(script.ids(), QStringList{"invalidQualifier"});
    EXPECT_EQ(script.last()->text,
              "Invalid output qualifier for option chosen.  Please specify a qualifier, or "
              "choose a different naming option.");
    EXPECT_EQ(f.currentPage(), 1);

    // The same empty qualifier is fine for a copy.
    f.rbCopyConvert->click();
    ASSERT_TRUE(showFolder(f.targetPane(), sub("out"), 0));
    f.bNxt2->click();
    EXPECT_EQ(f.currentPage(), 3);
    EXPECT_EQ(f.lNames->text(), "...Will not be changed.");
}

TEST_F(Wizard, DuplicateStemsWarnAndCancelStaysOnTheFirstPage) {
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    for (const char* name : {"Beach.jpg", "Beach.gif", "beach.bmp"})
        writeFile(pics + "/" + name);
    select(pics, 3, {"Beach.jpg", "Beach.gif"});
    QString shown;
    script.onModal("TForm3", [&](QDialog& d) {
        shown = static_cast<TForm3&>(d).Label2->text();
        return int(QDialog::Rejected);
    });
    f.bNxt1->click();
    EXPECT_EQ(shown, "Beach.gif and Beach.jpg");
    EXPECT_EQ(f.currentPage(), 0);
    EXPECT_EQ(f.lMFL->text(), "Source Files: 2"); // the selection is taken all the same

    script.onModal("TForm3", [](QDialog&) { return int(QDialog::Accepted); });
    f.bNxt1->click();
    EXPECT_EQ(f.currentPage(), 1);

    // beach.bmp with Beach.gif differ in case: no warning.
    f.bBck1->click();
    f.sourcePane().deselectAll();
    ASSERT_TRUE(f.sourcePane().selectName("beach.bmp"));
    ASSERT_TRUE(f.sourcePane().selectName("Beach.gif"));
    f.bNxt1->click();
    EXPECT_EQ(script.modals, (QStringList{"TForm3", "TForm3"}));
    EXPECT_EQ(f.currentPage(), 1);
}

TEST_F(Wizard, SequenceBoxFollowsTheNamingOption) {
    TForm1& f = makeWindow();
    const struct {
        NamingOption option;
        bool seqShown;
    } cases[] = {{NamingOption::PreName, false},
                 {NamingOption::SufSeq, true},
                 {NamingOption::SufName, false},
                 {NamingOption::PreSeq, true}};
    for (const auto& c : cases) {
        f.cbNameOption->setCurrentIndex(int(c.option));
        EXPECT_EQ(!f.eSeq->isHidden(), c.seqShown) << int(c.option);
        EXPECT_EQ(!f.lSeq->isHidden(), c.seqShown) << int(c.option);
    }
}

TEST_F(Wizard, AspectRatioSwapsTheSizeControls) {
    TForm1& f = makeWindow();
    EXPECT_TRUE(f.lMaxWH->isHidden());
    EXPECT_TRUE(f.cbFWidth->isHidden());
    EXPECT_FALSE(f.eHeight->isHidden());
    f.cbRatio->click();
    EXPECT_FALSE(f.lMaxWH->isHidden());
    EXPECT_FALSE(f.cbFWidth->isHidden());
    EXPECT_FALSE(f.cbFHeight->isHidden());
    EXPECT_TRUE(f.lW->isHidden());
    EXPECT_TRUE(f.lH->isHidden());
    EXPECT_TRUE(f.eHeight->isHidden());
    EXPECT_FALSE(f.eWidth->isHidden());

    f.cbFWidth->click();
    f.cbFHeight->click();
    EXPECT_TRUE(f.cbFHeight->isChecked());
    EXPECT_FALSE(f.cbFWidth->isChecked());
    f.cbFWidth->click();
    EXPECT_TRUE(f.cbFWidth->isChecked());
    EXPECT_FALSE(f.cbFHeight->isChecked());
    f.cbFWidth->click();
    EXPECT_FALSE(f.cbFWidth->isChecked());
    EXPECT_FALSE(f.cbFHeight->isChecked());

    // Hidden force boxes keep their state.
    f.cbFHeight->click();
    f.cbRatio->click();
    EXPECT_TRUE(f.cbFHeight->isHidden());
    EXPECT_TRUE(f.cbFHeight->isChecked());
    EXPECT_FALSE(f.eHeight->isHidden());
}

TEST_F(Wizard, ConfirmPageSummarisesTheJob) {
    TForm1& f = makeWindow();
    const QString pics = sub("pics");
    const QString out = sub("out");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    f.bNxt1->click();
    f.bNxt2->click();
    f.eWidth->setText("120");
    f.eHeight->setText("80");
    f.rbFast->click();
    f.bNxt3->click();
    ASSERT_EQ(f.currentPage(), 3);
    EXPECT_EQ(f.lInDir->text(), pics);
    EXPECT_EQ(f.lOutDir->text(), out);
    EXPECT_EQ(f.lTypes->text(), "*.jpg;*.jpeg;*.gif;*.bmp;*.wmf;*.emf");
    EXPECT_EQ(f.lConv->text(), "jpg");
    EXPECT_EQ(f.lNames->text(), "...Will start with Thumb001 and be numbered sequentially");
    EXPECT_EQ(f.lResize->text(), "Fast");
    EXPECT_EQ(f.lWVal->text(), "120");
    EXPECT_EQ(f.lHVal->text(), "80");
    EXPECT_FALSE(f.lWCap->isHidden());
    EXPECT_TRUE(f.lAspect->isHidden());
    EXPECT_FALSE(f.tbJpg->isHidden());
    EXPECT_FALSE(f.lJpgVal->isHidden());

    f.bBck3->click();
    f.cbRatio->click();
    f.bBck2->click();
    f.cbConvert->setCurrentText("No Conversion");
    f.bNxt2->click();
    f.bNxt3->click();
    EXPECT_FALSE(f.lAspect->isHidden());
    EXPECT_EQ(f.lAspect->text(), "Maintain aspect ratio, Max Width/Height - ");
    EXPECT_EQ(f.lAspectVal->text(), "120");
    EXPECT_TRUE(f.lWCap->isHidden());
    EXPECT_TRUE(f.lHVal->isHidden());
    // The slider is only offered for JPEG output.
    EXPECT_TRUE(f.tbJpg->isHidden());
    EXPECT_TRUE(f.lJpgCap->isHidden());
    EXPECT_TRUE(f.lJpgVal->isHidden());
}

TEST_F(Wizard, SliderShowsItsValue) {
    TForm1& f = makeWindow();
    f.tbJpg->setValue(37);
    EXPECT_EQ(f.lJpgVal->text(), "37");
    f.tbJpg->setValue(5);
    EXPECT_EQ(f.lJpgVal->text(), "10");
}

TEST_F(Wizard, HintsOfEveryPageAndTheNamingHelp) {
    EXPECT_EQ(TForm1::hintText(2),
              "Thumbnail Options\n\n  Choose the resize speed for the new thumbnails.  This "
              "really refers to the quality of the thumbnail images, and I recommend using the "
              "default of Quality resize.\n\n  Choose the thumbnail image size.");
    EXPECT_EQ(TForm1::hintText(4).count(u'\n'), 2);
    EXPECT_EQ(TForm1::hintText(0).count(u'\n'), 10);
    EXPECT_EQ(TForm1::hintText(1).count(u'\n'), 12);
    EXPECT_EQ(TForm1::hintText(3).count(u'\n'), 8);

    TForm1& f = makeWindow();
    f.SpeedButton1->click();
    ASSERT_EQ(script.ids(), QStringList{"namingOptions"});
    EXPECT_TRUE(script.last()->text.startsWith("The Output File Qualifier can be a prefix"));
}

} // namespace
} // namespace pictorant::uitest
