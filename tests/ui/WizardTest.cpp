// The main window's wizard: page order, the checks of each Next, the visibility rules
// and the Confirm page summary.

#include "WizardSupport.h"

#include "DuplicateNamesDialog.h"

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
int visibleTabs(const MainWizard& f) {
    int n = 0;
    for (int i = 0; i < ctl<QTabWidget>(f, "pcMain")->count(); ++i)
        n += ctl<QTabWidget>(f, "pcMain")->isTabVisible(i) ? 1 : 0;
    return n;
}

TEST_F(Wizard, NextWithNothingHighlightedSaysSoAndStays) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    writeFile(pics + "/a.jpg");
    ASSERT_TRUE(showFolder(f.sourcePane(), pics, 1));
    ctl<GradientButton>(f, "bNxt1")->click();
    ASSERT_EQ(script.ids(), QStringList{"noFilesSelected"});
    EXPECT_EQ(script.last()->text, "No files selected!");
    EXPECT_EQ(f.currentPage(), WizardPage::InputSelection);
}

TEST_F(Wizard, ThumbnailRoadVisitsEveryPageAndBackAgain) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    const QString out = sub("out");
    for (const char* name : {"b.jpg", "a.jpg", "c.gif"})
        writeFile(pics + "/" + name);
    select(pics, 3, {"c.gif", "a.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));

    ctl<GradientButton>(f, "bNxt1")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::OutputOptions);
    EXPECT_EQ(visibleTabs(f), 1);
    EXPECT_EQ(f.selectedFiles(), (QStringList{"a.jpg", "c.gif"})); // list order
    EXPECT_EQ(ctl<QListWidget>(f, "lbMFL")->count(), 2);
    EXPECT_EQ(ctl<QLabel>(f, "lMFL")->text(), "Source Files: 2");
    EXPECT_EQ(ctl<QLabel>(f, "lOutput")->text(), "Create Thumbnails");
    EXPECT_FALSE(ctl<QLabel>(f, "lOutput")->isHidden());
    EXPECT_TRUE(ctl<QPlainTextEdit>(f, "mHelp")->toPlainText().startsWith("Output File Options"));
    EXPECT_TRUE(ctl<QGroupBox>(f, "gbRename")->isHidden());
    EXPECT_FALSE(ctl<QLineEdit>(f, "eQualThumb")->isHidden());
    EXPECT_TRUE(ctl<QLineEdit>(f, "eQualImage")->isHidden());

    ctl<GradientButton>(f, "bNxt2")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::ThumbnailOptions);
    EXPECT_TRUE(ctl<QPlainTextEdit>(f, "mHelp")->toPlainText().startsWith("Thumbnail Options"));
    ctl<GradientButton>(f, "bNxt3")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    EXPECT_TRUE(script.asked.empty());

    ctl<GradientButton>(f, "bBck3")->click();
    EXPECT_EQ(f.currentPage(), WizardPage::ThumbnailOptions);
    ctl<GradientButton>(f, "bBck2")->click();
    EXPECT_EQ(f.currentPage(), WizardPage::OutputOptions);
    ctl<GradientButton>(f, "bBck1")->click();
    EXPECT_EQ(f.currentPage(), WizardPage::InputSelection);
    EXPECT_EQ(ctl<QListWidget>(f, "lbMFL")->count(), 0);
    EXPECT_EQ(ctl<QLabel>(f, "lMFL")->text(), "Source Files: 0");
}

TEST_F(Wizard, RenameModeSkipsTheThumbnailPageBothWays) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    ctl<QRadioButton>(f, "rbRename")->click();
    ctl<GradientButton>(f, "bNxt1")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::OutputOptions);
    EXPECT_EQ(ctl<QLabel>(f, "lOutput")->text(), "Rename/Convert Files");
    EXPECT_FALSE(ctl<QGroupBox>(f, "gbRename")->isHidden());
    EXPECT_FALSE(ctl<QLineEdit>(f, "eQualImage")->isHidden());
    EXPECT_TRUE(ctl<QLineEdit>(f, "eQualThumb")->isHidden());
    // "Rename Files" is chosen: no target pane, the notice instead.
    EXPECT_FALSE(ctl<QLabel>(f, "lRenameNote")->isHidden());
    EXPECT_TRUE(f.targetPane().isHidden());
    EXPECT_TRUE(ctl<QComboBox>(f, "cbConvert")->isHidden());
    EXPECT_TRUE(ctl<QCheckBox>(f, "cbOverwrite")->isHidden());

    // Same folder in both panes: no question for a rename.
    ASSERT_TRUE(showFolder(f.targetPane(), pics, 1));
    ctl<GradientButton>(f, "bNxt2")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    EXPECT_TRUE(script.asked.empty());
    EXPECT_EQ(ctl<QLabel>(f, "lOutDir")->text(), pics);
    EXPECT_EQ(ctl<QLabel>(f, "lConv")->text(), "No Conversion");
    EXPECT_TRUE(ctl<QLabel>(f, "lResizeCap")->isHidden());
    EXPECT_TRUE(ctl<QLabel>(f, "lDimCap")->isHidden());
    EXPECT_TRUE(ctl<QSlider>(f, "tbJpg")->isHidden());

    ctl<GradientButton>(f, "bBck3")->click();
    EXPECT_EQ(f.currentPage(), WizardPage::OutputOptions);
}

TEST_F(Wizard, CopyConvertShowsTheTargetPaneAgain) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    ctl<QRadioButton>(f, "rbRename")->click();
    ctl<GradientButton>(f, "bNxt1")->click();
    ctl<QRadioButton>(f, "rbCopyConvert")->click();
    EXPECT_TRUE(ctl<QLabel>(f, "lRenameNote")->isHidden());
    for (QWidget* w : {static_cast<QWidget*>(f.targetPane().tree()),
                       static_cast<QWidget*>(f.targetPane().list()),
                       static_cast<QWidget*>(ctl<QComboBox>(f, "cbConvert")),
                       static_cast<QWidget*>(ctl<QLabel>(f, "lConvert")),
                       static_cast<QWidget*>(ctl<QToolButton>(f, "sbShowAll")),
                       static_cast<QWidget*>(ctl<QToolButton>(f, "sbShowGrafx")),
                       static_cast<QWidget*>(ctl<QCheckBox>(f, "cbOverwrite"))})
        EXPECT_FALSE(w->isHidden()) << w->objectName().toStdString();
    ctl<QRadioButton>(f, "rbRenameOnly")->click();
    EXPECT_FALSE(ctl<QLabel>(f, "lRenameNote")->isHidden());
    EXPECT_TRUE(ctl<QToolButton>(f, "sbShowAll")->isHidden());
}

TEST_F(Wizard, ModeIsFixedAnewOnEachNextFromTheFirstPage) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    const QString out = sub("out");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    ctl<QRadioButton>(f, "rbRename")->click();
    ctl<GradientButton>(f, "bNxt1")->click();
    EXPECT_EQ(f.mode(), JobMode::RenameCopyConvert);
    ctl<GradientButton>(f, "bBck1")->click();
    ctl<QRadioButton>(f, "rbThumbs")->click();
    ASSERT_TRUE(f.sourcePane().selectName("a.jpg"));
    ctl<GradientButton>(f, "bNxt1")->click();
    EXPECT_EQ(f.mode(), JobMode::CreateThumbnails);
    EXPECT_TRUE(ctl<QGroupBox>(f, "gbRename")->isHidden());
    EXPECT_TRUE(ctl<QLabel>(f, "lRenameNote")->isHidden());
    EXPECT_FALSE(f.targetPane().isHidden());
    EXPECT_FALSE(ctl<QComboBox>(f, "cbConvert")->isHidden());
    ctl<GradientButton>(f, "bNxt2")->click();
    EXPECT_EQ(f.currentPage(), WizardPage::ThumbnailOptions);
}

TEST_F(Wizard, MissingOutputFolderIsCreatedOnRequest) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), pics, 1));
    ctl<GradientButton>(f, "bNxt1")->click();
    const QString thumbs = pics + "/thumbs";
    f.targetPane().folderBox()->setText(thumbs);

    script.answer("createFolder", MessageAnswer::No);
    ctl<GradientButton>(f, "bNxt2")->click();
    EXPECT_EQ(f.currentPage(), WizardPage::OutputOptions);
    EXPECT_FALSE(QFileInfo(thumbs).exists());
    ASSERT_EQ(script.ids(), QStringList{"createFolder"});
    EXPECT_EQ(script.last()->text, "Folder does not exist.  Create now?");
    EXPECT_EQ(script.last()->icon, MessageIcon::Warning);
    EXPECT_EQ(script.last()->buttons, MessageButtons::YesNo);

    script.answer("createFolder", MessageAnswer::Yes);
    ctl<GradientButton>(f, "bNxt2")->click();
    EXPECT_TRUE(QFileInfo(thumbs).isDir());
    EXPECT_EQ(f.outputFolder(), thumbs);
    EXPECT_EQ(f.currentPage(), WizardPage::ThumbnailOptions);
}

TEST_F(Wizard, FolderTwoLevelsDeepCannotBeCreatedAndTheChecksGoOn) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), pics, 1));
    ctl<GradientButton>(f, "bNxt1")->click();
    const QString deep = pics + "/new/deeper";
    f.targetPane().folderBox()->setText(deep);
    script.answer("createFolder", MessageAnswer::Yes);
    // The target pane still stands on the source folder: the same-folder question follows.
    script.answer("sameFolders", MessageAnswer::No);
    ctl<GradientButton>(f, "bNxt2")->click();
    ASSERT_EQ(script.ids(),
              (QStringList{"createFolder", "couldNotCreateDirectory", "sameFolders"}));
    EXPECT_EQ(script.asked[1].text, "Could not create Directory: " + deep);
    EXPECT_EQ(script.asked[1].buttons, MessageButtons::Ok);
    EXPECT_EQ(script.asked[2].text,
              "Input and Output Directories are the same. This could result in files being "
              "overwritten or not processed.\r\n\r\nContinue?");
    EXPECT_EQ(script.asked[2].buttons, MessageButtons::YesNo);
    EXPECT_FALSE(QFileInfo(pics + "/new").exists());
    EXPECT_EQ(f.currentPage(), WizardPage::OutputOptions);

    script.answer("sameFolders", MessageAnswer::Yes);
    f.targetPane().folderBoxExit();
    ctl<GradientButton>(f, "bNxt2")->click();
    EXPECT_EQ(f.currentPage(), WizardPage::ThumbnailOptions);
}

TEST_F(Wizard, RenameByNameWithoutQualifierIsRefused) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    ctl<QRadioButton>(f, "rbRename")->click();
    ctl<GradientButton>(f, "bNxt1")->click();
    ctl<QComboBox>(f, "cbNameOption")->setCurrentIndex(int(NamingOption::SufName));
    ctl<QLineEdit>(f, "eQualImage")->clear();
    ctl<GradientButton>(f, "bNxt2")->click();
    ASSERT_EQ(script.ids(), QStringList{"invalidQualifier"});
    EXPECT_EQ(script.last()->text,
              "Invalid output qualifier for option chosen.  Please specify a qualifier, or "
              "choose a different naming option.");
    EXPECT_EQ(f.currentPage(), WizardPage::OutputOptions);

    // The same empty qualifier is fine for a copy.
    ctl<QRadioButton>(f, "rbCopyConvert")->click();
    ASSERT_TRUE(showFolder(f.targetPane(), sub("out"), 0));
    ctl<GradientButton>(f, "bNxt2")->click();
    EXPECT_EQ(f.currentPage(), WizardPage::Confirm);
    EXPECT_EQ(ctl<QLabel>(f, "lNames")->text(), "...Will not be changed.");
}

TEST_F(Wizard, DuplicateStemsWarnAndCancelStaysOnTheFirstPage) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    for (const char* name : {"Beach.jpg", "Beach.gif", "beach.bmp"})
        writeFile(pics + "/" + name);
    select(pics, 3, {"Beach.jpg", "Beach.gif"});
    QString shown;
    script.onModal("TForm3", [&](QDialog& d) {
        shown = static_cast<DuplicateNamesDialog&>(d).Label2->text();
        return int(QDialog::Rejected);
    });
    ctl<GradientButton>(f, "bNxt1")->click();
    EXPECT_EQ(shown, "Beach.gif and Beach.jpg");
    EXPECT_EQ(f.currentPage(), WizardPage::InputSelection);
    EXPECT_EQ(ctl<QLabel>(f, "lMFL")->text(),
              "Source Files: 2"); // the selection is taken all the same

    script.onModal("TForm3", [](QDialog&) { return int(QDialog::Accepted); });
    ctl<GradientButton>(f, "bNxt1")->click();
    EXPECT_EQ(f.currentPage(), WizardPage::OutputOptions);

    // beach.bmp with Beach.gif differ in case: no warning.
    ctl<GradientButton>(f, "bBck1")->click();
    f.sourcePane().deselectAll();
    ASSERT_TRUE(f.sourcePane().selectName("beach.bmp"));
    ASSERT_TRUE(f.sourcePane().selectName("Beach.gif"));
    ctl<GradientButton>(f, "bNxt1")->click();
    EXPECT_EQ(script.modals, (QStringList{"TForm3", "TForm3"}));
    EXPECT_EQ(f.currentPage(), WizardPage::OutputOptions);
}

TEST_F(Wizard, SequenceBoxFollowsTheNamingOption) {
    MainWizard& f = makeWindow();
    const struct {
        NamingOption option;
        bool seqShown;
    } cases[] = {{NamingOption::PreName, false},
                 {NamingOption::SufSeq, true},
                 {NamingOption::SufName, false},
                 {NamingOption::PreSeq, true}};
    for (const auto& c : cases) {
        ctl<QComboBox>(f, "cbNameOption")->setCurrentIndex(int(c.option));
        EXPECT_EQ(!ctl<QLineEdit>(f, "eSeq")->isHidden(), c.seqShown) << int(c.option);
        EXPECT_EQ(!ctl<QLabel>(f, "lSeq")->isHidden(), c.seqShown) << int(c.option);
    }
}

TEST_F(Wizard, AspectRatioSwapsTheSizeControls) {
    MainWizard& f = makeWindow();
    EXPECT_TRUE(ctl<QLabel>(f, "lMaxWH")->isHidden());
    EXPECT_TRUE(ctl<QCheckBox>(f, "cbFWidth")->isHidden());
    EXPECT_FALSE(ctl<QLineEdit>(f, "eHeight")->isHidden());
    ctl<QCheckBox>(f, "cbRatio")->click();
    EXPECT_FALSE(ctl<QLabel>(f, "lMaxWH")->isHidden());
    EXPECT_FALSE(ctl<QCheckBox>(f, "cbFWidth")->isHidden());
    EXPECT_FALSE(ctl<QCheckBox>(f, "cbFHeight")->isHidden());
    EXPECT_TRUE(ctl<QLabel>(f, "lW")->isHidden());
    EXPECT_TRUE(ctl<QLabel>(f, "lH")->isHidden());
    EXPECT_TRUE(ctl<QLineEdit>(f, "eHeight")->isHidden());
    EXPECT_FALSE(ctl<QLineEdit>(f, "eWidth")->isHidden());

    ctl<QCheckBox>(f, "cbFWidth")->click();
    ctl<QCheckBox>(f, "cbFHeight")->click();
    EXPECT_TRUE(ctl<QCheckBox>(f, "cbFHeight")->isChecked());
    EXPECT_FALSE(ctl<QCheckBox>(f, "cbFWidth")->isChecked());
    ctl<QCheckBox>(f, "cbFWidth")->click();
    EXPECT_TRUE(ctl<QCheckBox>(f, "cbFWidth")->isChecked());
    EXPECT_FALSE(ctl<QCheckBox>(f, "cbFHeight")->isChecked());
    ctl<QCheckBox>(f, "cbFWidth")->click();
    EXPECT_FALSE(ctl<QCheckBox>(f, "cbFWidth")->isChecked());
    EXPECT_FALSE(ctl<QCheckBox>(f, "cbFHeight")->isChecked());

    // Hidden force boxes keep their state.
    ctl<QCheckBox>(f, "cbFHeight")->click();
    ctl<QCheckBox>(f, "cbRatio")->click();
    EXPECT_TRUE(ctl<QCheckBox>(f, "cbFHeight")->isHidden());
    EXPECT_TRUE(ctl<QCheckBox>(f, "cbFHeight")->isChecked());
    EXPECT_FALSE(ctl<QLineEdit>(f, "eHeight")->isHidden());
}

TEST_F(Wizard, ConfirmPageSummarisesTheJob) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    const QString out = sub("out");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    ctl<GradientButton>(f, "bNxt1")->click();
    ctl<GradientButton>(f, "bNxt2")->click();
    ctl<QLineEdit>(f, "eWidth")->setText("120");
    ctl<QLineEdit>(f, "eHeight")->setText("80");
    ctl<QRadioButton>(f, "rbFast")->click();
    ctl<GradientButton>(f, "bNxt3")->click();
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    EXPECT_EQ(ctl<QLabel>(f, "lInDir")->text(), pics);
    EXPECT_EQ(ctl<QLabel>(f, "lOutDir")->text(), out);
    EXPECT_EQ(ctl<QLabel>(f, "lTypes")->text(), "*.jpg;*.jpeg;*.gif;*.bmp;*.wmf;*.emf");
    EXPECT_EQ(ctl<QLabel>(f, "lConv")->text(), "jpg");
    EXPECT_EQ(ctl<QLabel>(f, "lNames")->text(),
              "...Will start with Thumb001 and be numbered sequentially");
    EXPECT_EQ(ctl<QLabel>(f, "lResize")->text(), "Fast");
    EXPECT_EQ(ctl<QLabel>(f, "lWVal")->text(), "120");
    EXPECT_EQ(ctl<QLabel>(f, "lHVal")->text(), "80");
    EXPECT_FALSE(ctl<QLabel>(f, "lWCap")->isHidden());
    EXPECT_TRUE(ctl<QLabel>(f, "lAspect")->isHidden());
    EXPECT_FALSE(ctl<QSlider>(f, "tbJpg")->isHidden());
    EXPECT_FALSE(ctl<QLabel>(f, "lJpgVal")->isHidden());

    ctl<GradientButton>(f, "bBck3")->click();
    ctl<QCheckBox>(f, "cbRatio")->click();
    ctl<GradientButton>(f, "bBck2")->click();
    ctl<QComboBox>(f, "cbConvert")->setCurrentText("No Conversion");
    ctl<GradientButton>(f, "bNxt2")->click();
    ctl<GradientButton>(f, "bNxt3")->click();
    EXPECT_FALSE(ctl<QLabel>(f, "lAspect")->isHidden());
    EXPECT_EQ(ctl<QLabel>(f, "lAspect")->text(), "Maintain aspect ratio, Max Width/Height - ");
    EXPECT_EQ(ctl<QLabel>(f, "lAspectVal")->text(), "120");
    EXPECT_TRUE(ctl<QLabel>(f, "lWCap")->isHidden());
    EXPECT_TRUE(ctl<QLabel>(f, "lHVal")->isHidden());
    // The slider is only offered for JPEG output.
    EXPECT_TRUE(ctl<QSlider>(f, "tbJpg")->isHidden());
    EXPECT_TRUE(ctl<QLabel>(f, "lJpgCap")->isHidden());
    EXPECT_TRUE(ctl<QLabel>(f, "lJpgVal")->isHidden());
}

TEST_F(Wizard, SliderShowsItsValue) {
    MainWizard& f = makeWindow();
    ctl<QSlider>(f, "tbJpg")->setValue(37);
    EXPECT_EQ(ctl<QLabel>(f, "lJpgVal")->text(), "37");
    ctl<QSlider>(f, "tbJpg")->setValue(5);
    EXPECT_EQ(ctl<QLabel>(f, "lJpgVal")->text(), "10");
}

TEST_F(Wizard, NamingHelpExplainsTheOptions) {
    MainWizard& f = makeWindow();
    ctl<QToolButton>(f, "SpeedButton1")->click();
    ASSERT_EQ(script.ids(), QStringList{"namingOptions"});
    EXPECT_TRUE(script.last()->text.startsWith("The Output File Qualifier can be a prefix"));
}

} // namespace
} // namespace pictorant::uitest
