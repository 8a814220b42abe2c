// The wizard: page order in each mode, the checks of each Next, the visibility rules, the
// Confirm summary, and the guards that keep GO from running what the user did not
// confirm (double-clicks, a reset, the same-folder answer, the plan list).

#include "settings/SettingsFile.h"
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

TEST_F(Wizard, ModeAndRenameChoiceShowTheirControls) {
    wizardWith({"a.jpg"});
    const char* names[] = {"gbRename",  "eQualThumb",  "eQualImage", "lRenameNote",
                           "cbConvert", "cbOverwrite", "sbShowAll",  "lResizeCap"};
    const std::pair<const char*, std::vector<bool>> cases[] = {
        {"rbThumbs", {false, true, false, false, true, true, true, true}},
        {"rbRenameOnly", {true, false, true, true, false, false, false, false}},
        {"rbCopyConvert", {true, false, true, false, true, true, true, false}},
    };
    for (const auto& [choice, shown] : cases) {
        SCOPED_TRACE(choice);
        click({QString(choice) == "rbThumbs" ? "rbThumbs" : "rbRename", "bNxt1", choice});
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(!hidden(names[i]), shown[i]) << names[i];
        click({"bBck1"});
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.isRunning(); }));
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
        // GO runs the answer: without it, a convert onto its source is refused.
        ASSERT_TRUE(goAndWait());
        EXPECT_EQ(text("lDone"), "Operation complete. 1 files processed.");
    }
}

// p1.jpg copied to p2.jpg would replace p2.jpg before it is read; a thumbnail would
// replace its own source. Both are marked in the list, and GO writes nothing.
TEST_F(Wizard, ARunThatWouldReplaceItsOwnSourcesIsMarkedAndRefused) {
    for (bool thumbnails : {false, true}) {
        SCOPED_TRACE(thumbnails ? "thumbnail" : "copy");
        ScriptedMessages local;
        MainWizard& f = wizardWith({"p1.jpg", "p2.jpg"}, 60);
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
    }
}

// ---- the two file panes

using Panes = MainWindowTest;

TEST_F(Panes, HistoryGoesOneStepBackAndForwardAndTypingCountsAsAChange) {
    MainWizard& f = makeWindow();
    FilePane& pane = f.sourcePane();
    const QString a = sub("A"), b = sub("B"), c = sub("C");
    ASSERT_TRUE(showFolder(pane, a, 0));
    pane.resetHistory();
    auto state = [&] {
        return QStringList{f.inputFolder(), pane.folderBox()->text(),
                           pane.backButton()->isEnabled() ? pane.backButton()->toolTip() : "-",
                           pane.forwardButton()->isEnabled() ? pane.forwardButton()->toolTip()
                                                             : "-"};
    };
    EXPECT_EQ(state(), (QStringList{a, a, "-", "-"}));
    ASSERT_TRUE(showFolder(pane, b, 0));
    EXPECT_EQ(state(), (QStringList{b, b, a, "-"}));
    pane.backButton()->click();
    EXPECT_EQ(state(), (QStringList{a, a, "-", b}));
    pane.forwardButton()->click();
    EXPECT_EQ(state(), (QStringList{b, b, a, "-"}));
    ASSERT_TRUE(showFolder(pane, c, 0));
    pane.backButton()->click();
    EXPECT_EQ(state(), (QStringList{b, b, "-", c})) << "back reaches one step only";

    pane.folderBox()->setText(a);
    QTest::keyClick(pane.folderBox(), Qt::Key_Return);
    EXPECT_EQ(state(), (QStringList{a, a, b, "-"})) << "back to the folder left, not the typing";
    writeFile(a + "/plain.jpg");
    for (const QString& typed : {root + "/nowhere", a + "/plain.jpg", QString()}) {
        pane.folderBox()->setText(typed);
        QTest::keyClick(pane.folderBox(), Qt::Key_Return);
        EXPECT_EQ(state(), (QStringList{a, a, b, "-"})) << typed.toStdString();
    }
    pane.folderBox()->setText(root); // leaving the box drops the typing
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(pane.folderBox(), &leave);
    EXPECT_EQ(state(), (QStringList{a, a, b, "-"}));
    ASSERT_TRUE(QDir(b).removeRecursively());
    pane.backButton()->click();
    EXPECT_EQ(script.ids(), QStringList{"cannotFindPath"});
    EXPECT_EQ(script.last().text, "Cannot Find Path: " + b);
    EXPECT_EQ(state(), (QStringList{a, a, b, "-"})) << "the history stays";

    f.targetPane().setFolder(c);
    f.targetPane().upButton()->click();
    EXPECT_EQ(f.outputFolder() + " " + f.targetPane().backButton()->toolTip(), root + " " + c);
}

TEST_F(Panes, MasksAndShowButtonsFilterTheListsWhateverTheCase) {
    MainWizard& f = makeWindow();
    for (const char* name : {"a.jpg", "B.GIF", "c.gif", "d.bmp", "e.txt", "f.JPEG", "g.wmf"})
        writeFile(pics + "/" + name);
    sub("pics/folder.jpg"); // the source list never shows folders
    ASSERT_TRUE(showFolder(f.sourcePane(), pics, 6));
    const std::pair<const char*, QStringList> masks[] = {
        {"*.gif", {"B.GIF", "c.gif"}},
        {"*.jpg;*.jpeg", {"a.jpg", "f.JPEG"}},
        {"*.emf;*.wmf", {"g.wmf"}},
        {"*.txt", {"e.txt"}},
    };
    for (const auto& [mask, names] : masks) {
        ctl<QComboBox>(f, "cbMask")->setCurrentText(mask);
        EXPECT_TRUE(QTest::qWaitFor([&] { return f.sourcePane().entryNames() == names; }))
            << mask << ": " << f.sourcePane().entryNames().join(",").toStdString();
    }
    ASSERT_TRUE(showFolder(f.targetPane(), pics, 7));
    EXPECT_EQ(f.targetPane().entryNames().first(), "folder.jpg") << "folders first";
    click({"sbShowAll"});
    EXPECT_TRUE(waitCount(f.targetPane(), 8));
    EXPECT_FALSE(ctl<QToolButton>(f, "sbShowGrafx")->isChecked());
    click({"sbShowGrafx"});
    EXPECT_TRUE(waitCount(f.targetPane(), 7));

    writeFile(pics + "/h.txt");
    writeFile(pics + "/i.jpg");
    click({"bRefreshView"});
    EXPECT_TRUE(waitCount(f.targetPane(), 8));
    EXPECT_TRUE(waitCount(f.sourcePane(), 2));
}

TEST_F(Panes, SelectionCommandsAndLaunchExplorer) {
    MainWizard& f = wizardWith(numbered(4));
    FilePane& pane = f.sourcePane();
    pane.deselectAll();
    ASSERT_TRUE(pane.selectName("p02.jpg"));
    click({"bInvertSel"});
    EXPECT_EQ(pane.selectedNames(), (QStringList{"p01.jpg", "p03.jpg", "p04.jpg"}));
    click({"bSelAll"});
    EXPECT_EQ(pane.selectedNames().size(), 4);
    click({"bDeSelAll"});
    EXPECT_TRUE(pane.selectedNames().isEmpty());

    QStringList opened;
    f.openFolder = [&](const QString& folder) { opened << folder; };
    ASSERT_TRUE(pane.selectName("p01.jpg"));
    click({"SpeedButton2", "bNxt1", "SpeedButton2", "bNxt2", "bNxt3", "SpeedButton2"});
    EXPECT_EQ(opened, (QStringList{pics, out, QDir::homePath()}));
}

// ---- GO and the Processing page (whole runs by keys, the closing line and OK! are in the
// keyboard tests)

using GoRun = MainWindowTest;

// Cancel (by its key, Escape) pressed while file 3 is in hand stops after that file;
// during the run only the Processing page can be reached.
TEST_F(GoRun, CancelAfterFileThreeOfTwelveStopsBetweenFiles) {
    MainWizard& f = wizardWith(numbered(12));
    toConfirm("");
    f.show(); // the keys reach a shown window
    QString lineAtCancel;
    bool onlyProcessing = true;
    auto* bar = ctl<GradientProgressBar>(f, "pBar");
    QObject::connect(bar, &QProgressBar::valueChanged, bar, [&](int value) {
        for (int i = 0; i < 5; ++i)
            onlyProcessing &= ctl<QTabWidget>(f, "pcMain")->isTabVisible(i) == (i == 4);
        if (value == 3) {
            lineAtCancel = text("lProc");
            QMetaObject::invokeMethod(
                &f, [&f] { QTest::keyClick(&f, Qt::Key_Escape); },
                Qt::QueuedConnection); // Escape acts as Cancel
        }
    });
    ASSERT_TRUE(goAndWait());
    EXPECT_EQ(lineAtCancel, "3 of 12");
    EXPECT_EQ(text("lProc"), "3 of 12");
    EXPECT_EQ(text("lDone"), "Operation Incomplete. 3 files processed.");
    EXPECT_TRUE(onlyProcessing);
    const QStringList left = filesIn(pics);
    EXPECT_EQ(left.filter("Image").size(), 3) << left.join(",").toStdString();
    EXPECT_TRUE(left.contains("p04.jpg"));
    EXPECT_FALSE(left.contains("p03.jpg"));
}

// The close box reaches the window while file 2 is in hand: the run stops after it, the
// window closes once the run has stopped, and the settings are written at exit.
TEST_F(GoRun, CloseDuringARunStopsAfterTheFileInHandThenClosesAndWritesSettings) {
    const QString ini = root + "/Pictorant.ini";
    SettingsFile settings(ini.toStdString());
    MainWizard& f = wizardWith(numbered(6), 120, &settings);
    toConfirm();
    ASSERT_EQ(f.currentPage(), WizardPage::Confirm);
    f.show();
    QSignalSpy closed(&f, &MainWizard::closed);
    QObject::connect(ctl<GradientProgressBar>(f, "pBar"), &QProgressBar::valueChanged, &f,
                     [&](int value) {
                         if (value == 2)
                             QMetaObject::invokeMethod(&f, "close", Qt::QueuedConnection);
                     });
    click({"bGO"});
    ASSERT_TRUE(f.isRunning()) << "GO returns at once, the run works on";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !f.isRunning(); }, 60000));
    EXPECT_EQ(text("lDone"), "Operation Incomplete. 2 files processed.");
    EXPECT_EQ(filesIn(out).size(), 2) << filesIn(out).join(",").toStdString();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(f.isVisible());

    form.reset(); // the program's exit
    SettingsFile written(ini.toStdString());
    EXPECT_EQ(written.readText("Directories", "Output", ""), out.toStdString());
    EXPECT_EQ(written.readText("Directories", "Input", ""), pics.toStdString());
}

// A run that fails ends with its message and the closing line and writes nothing: a
// sequence start that is no number, and a size beyond the pixel cap (lowered here, so a
// lost refusal makes a small picture; the size boxes are read at GO).
TEST_F(GoRun, ARefusedOrFailedRunSaysWhyAndWritesNothing) {
    const std::int64_t cap = MaxPicturePixels();
    SetMaxPicturePixels(1 << 20);
    for (bool thumbnails : {false, true}) {
        ScriptedMessages local;
        MainWizard& f = wizardWith({"a.jpg"}, 64);
        ctl<QLineEdit>(f, "eSeq")->setText(thumbnails ? "001" : "one");
        ctl<QLineEdit>(f, "eWidth")->setText("2000");
        ctl<QLineEdit>(f, "eHeight")->setText("1000");
        thumbnails ? toConfirm() : toConfirm("");
        ASSERT_TRUE(goAndWait());
        EXPECT_EQ(local.last().text,
                  thumbnails ? "Thumbnail size too large: 2000 x 1000 (at most 65535 pixels a "
                               "side and 1048576 pixels in all)."
                             : "Error during processing!");
        EXPECT_EQ(text("lDone"), "Operation Incomplete. 0 files processed.");
        EXPECT_FALSE(hidden("bStartOver"));
        EXPECT_EQ(filesIn(pics) + filesIn(out), QStringList{"a.jpg"});
    }
    SetMaxPicturePixels(cap);
}

} // namespace
} // namespace pictorant::uitest
