// The wizard: page order in each mode, the checks of each Next, the visibility rules, the
// Confirm summary, and the guards that keep GO from running what the user did not
// confirm (double-clicks, a reset, the same-folder answer, the plan list).

#include "tests/ui/WizardSupport.h"

#include "ui/DuplicateNamesDialog.h"
#include "ui/PlanListDialog.h"

namespace pictorant::uitest {
namespace {

using Wizard = MainWindowTest;

TEST_F(Wizard, EachModeWalksItsPagesBothWaysAndTheModeIsFixedAnewOnEachNext) {
    MainWizard& f = wizardWith({"b.jpg", "c.gif", "a.jpg"});
    f.sourcePane().deselectAll();
    click({"bNxt1"});
    EXPECT_EQ(script.ids(), QStringList{"noFilesSelected"});
    select(pics, 3, {"c.gif", "a.jpg"});
    click({"bNxt1"});
    EXPECT_EQ(text("lOutput"), "Create Thumbnails");
    EXPECT_EQ(f.selectedFiles(), (QStringList{"a.jpg", "c.gif"})); // list order
    EXPECT_EQ(text("lMFL"), "Source Files: 2");
    const char* hints[] = {"Output File Options", "Thumbnail Options", "Confirm Selections"};
    for (int page = 1; page <= 3; ++page) {
        ASSERT_EQ(int(f.currentPage()), page);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(ctl<QTabWidget>(f, "pcMain")->isTabVisible(i), i == page);
        EXPECT_TRUE(ctl<QPlainTextEdit>(f, "mHelp")->toPlainText().startsWith(hints[page - 1]));
        click({page == 1 ? "bNxt2" : "bNxt3"});
    }
    click({"bBck3", "bBck2", "bBck1"});
    EXPECT_EQ(ctl<QListWidget>(f, "lbMFL")->count(), 0);
    EXPECT_EQ(text("lMFL"), "Source Files: 0");
    // Rename mode skips the thumbnail page both ways; a rename writes beside its sources.
    click({"rbRename", "bNxt1"});
    EXPECT_EQ(text("lOutput"), "Rename/Convert Files");
    click({"bNxt2"});
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    EXPECT_EQ(text("lOutDir") + " " + text("lConv"), pics + " No Conversion");
    click({"bBck3"});
    EXPECT_EQ(f.currentPage(), WizardPage::OutputOptions);
}

// Which controls each choice shows on the output page and the Confirm page.
TEST_F(Wizard, ModeAndRenameChoiceShowTheirControls) {
    MainWizard& f = wizardWith({"a.jpg"});
    const char* names[] = {"gbRename",  "eQualThumb",  "eQualImage", "lRenameNote",
                           "cbConvert", "cbOverwrite", "sbShowAll",  "lResizeCap"};
    const std::pair<const char*, std::vector<bool>> cases[] = {
        {"rbThumbs", {false, true, false, false, true, true, true, true}},
        {"rbRenameOnly", {true, false, true, true, false, false, false, false}},
        {"rbCopyConvert", {true, false, true, false, true, true, true, false}},
    };
    for (const auto& [choice, shown] : cases) {
        SCOPED_TRACE(choice);
        if (f.currentPage() != WizardPage::InputSelection)
            click({"bBck1"});
        click({QString(choice) == "rbThumbs" ? "rbThumbs" : "rbRename", "bNxt1"});
        if (QString(choice) != "rbThumbs")
            click({choice});
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(!hidden(names[i]), shown[i]) << names[i];
    }
}

// A typed output folder: a relative name lies in the target pane's folder, an existing
// one is taken without Enter, a missing one is made one level deep on request; a refused
// or failed creation stays on the page.
TEST_F(Wizard, TypedOutputFolderIsMadeOnRequestAndIsTheOneTheJobUses) {
    MainWizard& f = wizardWith({"a.jpg"});
    click({"bNxt1"});
    const struct {
        QString typed;
        MessageAnswer answer; // to the creation question; Ok: none asked
        bool goesOn;
    } cases[] = {{out + "/new/deeper", MessageAnswer::Yes, false},
                 {"thumbs", MessageAnswer::No, false},
                 {"thumbs", MessageAnswer::Yes, true},
                 {sub("other"), MessageAnswer::Ok, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        ScriptedMessages local;
        if (c.answer != MessageAnswer::Ok)
            local.answer("createFolder", c.answer);
        const QString wanted = QDir(f.outputFolder()).absoluteFilePath(c.typed);
        f.targetPane().folderBox()->setText(c.typed);
        click({"bNxt2"});
        EXPECT_EQ(QFileInfo(wanted).isDir(), c.goesOn);
        if (c.answer == MessageAnswer::Yes && !c.goesOn) {
            EXPECT_EQ(local.last().text, "Could not create Directory: " + c.typed);
        }
        ASSERT_EQ(f.currentPage() == WizardPage::ThumbnailOptions, c.goesOn);
        if (c.goesOn) {
            EXPECT_EQ(f.outputFolder(), wanted);
            click({"bBck2"});
        }
    }
}

TEST_F(Wizard, DuplicateStemsWarnAndCancelStaysOnTheFirstPage) {
    MainWizard& f = wizardWith({"Beach.jpg", "Beach.gif", "beach.bmp"});
    f.sourcePane().deselectAll();
    select(pics, 3, {"Beach.jpg", "Beach.gif"});
    script.onModal("TForm3", [&](QDialog& d) {
        EXPECT_EQ(static_cast<DuplicateNamesDialog&>(d).Label2->text(), "Beach.gif and Beach.jpg");
        return int(QDialog::Rejected);
    });
    click({"bNxt1"});
    EXPECT_EQ(f.currentPage(), WizardPage::InputSelection);
    EXPECT_EQ(text("lMFL"), "Source Files: 2"); // the selection is taken all the same
    f.sourcePane().deselectAll();
    select(pics, 3, {"beach.bmp", "Beach.gif"}); // stems differing in case
    click({"bNxt1"});
    EXPECT_EQ(script.modals.size(), 1);
    EXPECT_EQ(f.currentPage(), WizardPage::OutputOptions);
}

// The aspect line replaces the sizes, and the JPEG slider is only offered for JPEG.
TEST_F(Wizard, ConfirmPageSummarisesTheJob) {
    wizardWith({"a.jpg"});
    ctl<QLineEdit>(*form, "eWidth")->setText("120");
    ctl<QLineEdit>(*form, "eHeight")->setText("80");
    click({"rbFast"});
    toConfirm();
    EXPECT_EQ(QStringList({text("lOutDir"), text("lResize"), text("lWVal"), text("lHVal")}),
              QStringList({out, "Fast", "120", "80"}));
    click({"bBck3", "bBck2", "bBck1", "cbRatio"});
    ctl<QComboBox>(*form, "cbConvert")->setCurrentText("No Conversion");
    toConfirm();
    EXPECT_EQ(text("lAspect") + text("lAspectVal"),
              "Maintain aspect ratio, Max Width/Height - 120");
    for (const char* name : {"lWCap", "lHVal", "tbJpg", "lJpgCap", "lJpgVal"})
        EXPECT_TRUE(hidden(name)) << name;
}

// ---- guards

// The second press of a double-click on Next lands on GO, which has just appeared in the
// same place, and must do nothing, however long the page took to appear (a loaded
// machine); a click after the double-click interval presses GO.
TEST_F(Wizard, SecondClickOfADoubleClickLandsOnNothing) {
    MainWizard& f = wizardWith({"a.jpg", "b.jpg"}, 40);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    click({"bNxt1", "bNxt2"});
    QObject::connect(ctl<QTabWidget>(f, "pcMain"), &QTabWidget::currentChanged, &f,
                     [] { QThread::msleep(QApplication::doubleClickInterval() + 100); });
    auto* next = ctl<QWidget>(f, "bNxt3");
    const QPoint at = next->mapTo(&f, next->rect().center());
    QTest::mouseDClick(f.windowHandle(), Qt::LeftButton, {}, at);
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    EXPECT_TRUE(filesIn(out).isEmpty()) << "the second press pressed GO";
    QTest::mouseClick(f.windowHandle(), Qt::LeftButton, {}, at,
                      QApplication::doubleClickInterval());
    ASSERT_TRUE(waitUntil([&] { return !f.isRunning(); }));
    EXPECT_EQ(filesIn(out).size(), 2);
}

// A reset on a later page starts the wizard again, and the summary and GO show and run
// the reset values, never the ones typed before.
TEST_F(Wizard, ResetOnTheConfirmPageLeavesNothingStaleForGo) {
    MainWizard& f = wizardWith({"a.jpg", "b.jpg"}, 200);
    ctl<QLineEdit>(f, "eWidth")->setText("50");
    ctl<QLineEdit>(f, "eQualThumb")->setText("Small");
    toConfirm();
    script.answer("resetDefaults", MessageAnswer::Yes);
    click({"sbDefaults"});
    EXPECT_EQ(f.currentPage(), WizardPage::InputSelection);
    EXPECT_TRUE(f.selectedFiles().isEmpty());
    EXPECT_EQ(text("lMFL"), "Source Files: 0");
    select(pics, 2, {"a.jpg", "b.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    toConfirm();
    EXPECT_EQ(text("lWVal"), "96");
    ASSERT_TRUE(goAndWait());
    EXPECT_EQ(filesIn(out), (QStringList{"Thumb001.jpg", "Thumb002.jpg"}));
    EXPECT_EQ(QImageReader(out + "/Thumb001.jpg").size(), QSize(96, 96));
}

// The same-folder answer decides whether a convert may write over its sources.
TEST_F(Wizard, SameFolderAnswerDecidesWhetherAConvertMayWriteOverItsSources) {
    const struct {
        bool sameFolder;
        MessageAnswer answer;
        bool reachesConfirm;
    } cases[] = {{true, MessageAnswer::No, false},
                 {true, MessageAnswer::Yes, true},
                 {false, MessageAnswer::No, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.answer) * 2 + c.sameFolder);
        ScriptedMessages local;
        MainWizard& f = wizardWith({"a.jpg"}, 64);
        ASSERT_TRUE(showFolder(f.targetPane(), c.sameFolder ? pics : out, c.sameFolder ? 1 : 0));
        ctl<QComboBox>(f, "cbNameOption")->setCurrentIndex(int(NamingOption::PreName));
        ctl<QLineEdit>(f, "eQualImage")->setText("");
        if (c.sameFolder)
            local.answer("sameFolders", c.answer);
        toConfirm("jpg");
        EXPECT_EQ(local.ids().contains("sameFolders"), c.sameFolder);
        ASSERT_EQ(f.currentPage() == WizardPage::Confirm, c.reachesConfirm);
        EXPECT_EQ(f.currentJob().convertInPlace, c.sameFolder && c.reachesConfirm);
        if (!c.reachesConfirm)
            continue;
        const QByteArray before = fileBytes(pics + "/a.jpg");
        ASSERT_TRUE(goAndWait());
        EXPECT_EQ(text("lDone"), "Operation complete. 1 files processed.");
        EXPECT_EQ(QImageReader((c.sameFolder ? pics : out) + "/a.jpg").size(), QSize(64, 48));
        EXPECT_TRUE(c.sameFolder || fileBytes(pics + "/a.jpg") == before) << "source untouched";
    }
}

// p1.jpg copied to p2.jpg would replace p2.jpg before it is read; a thumbnail would
// replace its own source. Both are marked in the list, and GO writes nothing.
TEST_F(Wizard, ARunThatWouldReplaceItsOwnSourcesIsMarkedAndRefused) {
    for (bool thumbnails : {false, true}) {
        SCOPED_TRACE(thumbnails ? "thumbnail" : "copy");
        ScriptedMessages local;
        MainWizard& f = wizardWith({"p1.jpg", "p2.jpg"}, 60);
        const QByteArray p1 = fileBytes(pics + "/p1.jpg");
        ASSERT_TRUE(showFolder(f.targetPane(), pics, 2));
        ctl<QComboBox>(f, "cbNameOption")
            ->setCurrentIndex(int(thumbnails ? NamingOption::PreName : NamingOption::PreSeq));
        ctl<QLineEdit>(f, "eSeq")->setText("2");
        ctl<QLineEdit>(f, thumbnails ? "eQualThumb" : "eQualImage")->setText(thumbnails ? "" : "p");
        local.answer("sameFolders", MessageAnswer::Yes);
        thumbnails ? toConfirm() : toConfirm("jpg");
        ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
        local.onModal("planList", [&](QDialog& d) {
            const auto& list = dynamic_cast<PlanListDialog&>(d);
            EXPECT_FALSE(list.refusalShown().isEmpty());
            EXPECT_TRUE(list.rows()[0].marked() && list.rowIsMarked(0));
            return int(QDialog::Accepted);
        });
        click({"bShowNames"});
        EXPECT_EQ(local.modals, QStringList{"planList"});
        ASSERT_TRUE(goAndWait());
        EXPECT_TRUE(local.ids().contains("sourceClash")) << local.ids().join(",").toStdString();
        EXPECT_EQ(text("lDone"), "Operation Incomplete. 0 files processed.");
        EXPECT_EQ(filesIn(pics), (QStringList{"p1.jpg", "p2.jpg"}));
        EXPECT_EQ(fileBytes(pics + "/p1.jpg"), p1);
    }
}

} // namespace
} // namespace pictorant::uitest
