// The two file panes: the one-step folder history, the current-folder box, masks,
// selection commands, refresh and "Launch Explorer".

#include "WizardSupport.h"

#include "FilePaneHistory.h"

namespace pictorant::uitest {
namespace {

// The history rules alone, as a table of folder changes.
struct HistoryStep {
    enum Kind { Change, Back, Forward, Typed } kind;
    QString folder; // reached folder (for Typed: the typed text is the folder)
    bool backEnabled;
    QString backHint;
    bool forwardEnabled;
    QString forwardHint;
};

void apply(FolderHistory& h, const HistoryStep& step) {
    switch (step.kind) {
    case HistoryStep::Change:
        h.folderChanged(h.currentFolder, step.folder);
        break;
    case HistoryStep::Back:
        h.jumpBack = true;
        h.forwardFolder = h.currentFolder;
        h.folderChanged(h.currentFolder, h.backFolder);
        break;
    case HistoryStep::Forward:
        h.jumpForward = true;
        h.backFolder = h.currentFolder;
        h.folderChanged(h.currentFolder, h.forwardFolder);
        break;
    case HistoryStep::Typed:
        h.jumpTyped = true;
        h.folderChanged(step.folder, step.folder);
        break;
    }
}

TEST(FolderHistoryRules, OneStepBackAndForward) {
    const std::vector<std::pair<const char*, std::vector<HistoryStep>>> roads = {
        {"A to B, back, forward",
         {{HistoryStep::Change, "B", true, "A", false, ""},
          {HistoryStep::Back, "A", false, "", true, "B"},
          {HistoryStep::Forward, "B", true, "A", false, ""}}},
        {"A, B, C: back reaches B only",
         {{HistoryStep::Change, "B", true, "A", false, ""},
          {HistoryStep::Change, "C", true, "B", false, ""},
          {HistoryStep::Back, "B", false, "", true, "C"}}},
        {"typed jump goes back to the folder left, not the typing",
         {{HistoryStep::Change, "B", true, "A", false, ""},
          {HistoryStep::Typed, "T", true, "B", false, ""}}},
        {"a change after going back forgets the way forward",
         {{HistoryStep::Change, "B", true, "A", false, ""},
          {HistoryStep::Back, "A", false, "", true, "B"},
          {HistoryStep::Change, "D", true, "A", false, ""}}},
    };
    for (const auto& [name, steps] : roads) {
        FolderHistory h;
        h.reset("A");
        EXPECT_FALSE(h.backEnabled) << name;
        EXPECT_FALSE(h.forwardEnabled) << name;
        int i = 0;
        for (const HistoryStep& step : steps) {
            apply(h, step);
            SCOPED_TRACE(std::string(name) + ", step " + std::to_string(i++));
            EXPECT_EQ(h.currentFolder, step.folder);
            EXPECT_EQ(h.backEnabled, step.backEnabled);
            EXPECT_EQ(h.backHint(), step.backHint);
            EXPECT_EQ(h.forwardEnabled, step.forwardEnabled);
            EXPECT_EQ(h.forwardHint(), step.forwardHint);
            EXPECT_FALSE(h.jumpBack || h.jumpForward || h.jumpTyped);
        }
    }
}

using Panes = MainWindowTest;

TEST_F(Panes, HistoryButtonsOverRealFolders) {
    MainWizard& f = makeWindow();
    FilePane& pane = f.sourcePane();
    const QString a = sub("A"), b = sub("B"), c = sub("C");
    ASSERT_TRUE(showFolder(pane, a, 0));
    pane.resetHistory();
    EXPECT_FALSE(pane.backButton()->isEnabled());
    EXPECT_FALSE(pane.forwardButton()->isEnabled());
    EXPECT_TRUE(pane.upButton()->isEnabled());

    ASSERT_TRUE(showFolder(pane, b, 0));
    EXPECT_TRUE(pane.backButton()->isEnabled());
    EXPECT_EQ(pane.backButton()->toolTip(), a);
    EXPECT_FALSE(pane.forwardButton()->isEnabled());
    EXPECT_EQ(pane.folderBox()->text(), b);

    pane.backButton()->click();
    EXPECT_EQ(f.inputFolder(), a);
    EXPECT_FALSE(pane.backButton()->isEnabled());
    EXPECT_EQ(pane.backButton()->toolTip(), "");
    EXPECT_TRUE(pane.forwardButton()->isEnabled());
    EXPECT_EQ(pane.forwardButton()->toolTip(), b);

    pane.forwardButton()->click();
    EXPECT_EQ(f.inputFolder(), b);
    EXPECT_TRUE(pane.backButton()->isEnabled());
    EXPECT_EQ(pane.backButton()->toolTip(), a);
    EXPECT_FALSE(pane.forwardButton()->isEnabled());

    ASSERT_TRUE(showFolder(pane, c, 0));
    pane.backButton()->click();
    EXPECT_EQ(f.inputFolder(), b);
    EXPECT_FALSE(pane.backButton()->isEnabled());
}

TEST_F(Panes, ParentButtonIsAnOrdinaryChange) {
    MainWizard& f = makeWindow();
    FilePane& pane = f.targetPane();
    const QString inner = sub("outer/inner");
    ASSERT_TRUE(showFolder(pane, inner, 0));
    pane.upButton()->click();
    EXPECT_EQ(f.outputFolder(), root + "/outer");
    EXPECT_EQ(pane.folderBox()->text(), root + "/outer");
    EXPECT_TRUE(pane.backButton()->isEnabled());
    EXPECT_EQ(pane.backButton()->toolTip(), inner);
    EXPECT_TRUE(waitCount(pane, 1)); // the target list shows the sub-folder
}

TEST_F(Panes, TypedFolderAndEnterMovesThePane) {
    MainWizard& f = makeWindow();
    FilePane& pane = f.sourcePane();
    const QString a = sub("A"), b = sub("B");
    ASSERT_TRUE(showFolder(pane, a, 0));
    pane.folderBox()->setText(b);
    QTest::keyClick(pane.folderBox(), Qt::Key_Return);
    EXPECT_EQ(f.inputFolder(), b);
    EXPECT_EQ(pane.folderBox()->text(), b);
    EXPECT_EQ(pane.backButton()->toolTip(), a); // the folder shown before, not the typing
    pane.backButton()->click();
    EXPECT_EQ(f.inputFolder(), a);
    EXPECT_TRUE(script.asked.empty());
}

TEST_F(Panes, TypedNonsenseIsRefusedSilently) {
    MainWizard& f = makeWindow();
    FilePane& pane = f.sourcePane();
    const QString a = sub("A");
    ASSERT_TRUE(showFolder(pane, a, 0));
    writeFile(a + "/plain.jpg");
    for (const QString& typed : {root + "/nowhere", a + "/plain.jpg", QString()}) {
        pane.folderBox()->setText(typed);
        QTest::keyClick(pane.folderBox(), Qt::Key_Return);
        EXPECT_EQ(pane.folderBox()->text(), a) << typed.toStdString();
        EXPECT_EQ(f.inputFolder(), a);
    }
    // Leaving the box drops the typing, even a real folder's path.
    pane.folderBox()->setText(root);
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(pane.folderBox(), &leave);
    EXPECT_EQ(pane.folderBox()->text(), a);
    EXPECT_EQ(f.inputFolder(), a);
    EXPECT_TRUE(script.asked.empty());
}

TEST_F(Panes, VanishedFolderCannotBeReachedAndHistoryStays) {
    MainWizard& f = makeWindow();
    FilePane& pane = f.sourcePane();
    const QString a = sub("A"), b = sub("B");
    ASSERT_TRUE(showFolder(pane, a, 0));
    ASSERT_TRUE(showFolder(pane, b, 0));
    ASSERT_TRUE(QDir(a).removeRecursively());
    pane.backButton()->click();
    ASSERT_EQ(script.ids(), QStringList{"cannotFindPath"});
    EXPECT_EQ(script.last()->text, "Cannot Find Path: " + a);
    EXPECT_EQ(f.inputFolder(), b);
    EXPECT_TRUE(pane.backButton()->isEnabled());
    EXPECT_EQ(pane.backButton()->toolTip(), a);
    EXPECT_FALSE(pane.forwardButton()->isEnabled());
    EXPECT_FALSE(pane.history().jumpBack);
}

TEST_F(Panes, FileTypesMaskFiltersTheSourceListWhateverTheCase) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    for (const char* name : {"a.jpg", "B.GIF", "c.gif", "d.bmp", "e.txt", "f.JPEG", "g.wmf"})
        writeFile(pics + "/" + name);
    sub("pics/folder.jpg"); // the source list never shows folders
    ASSERT_TRUE(showFolder(f.sourcePane(), pics, 6));
    const struct {
        const char* mask;
        QStringList names;
    } cases[] = {
        {"*.gif", {"B.GIF", "c.gif"}},
        {"*.jpg;*.jpeg", {"a.jpg", "f.JPEG"}},
        {"*.emf;*.wmf", {"g.wmf"}},
        {"*.jpg;*.jpeg;*.gif;*.bmp;*.wmf;*.emf",
         {"a.jpg", "B.GIF", "c.gif", "d.bmp", "f.JPEG", "g.wmf"}},
        {"*.txt", {"e.txt"}},
    };
    for (const auto& c : cases) {
        ctl<QComboBox>(f, "cbMask")->setCurrentText(c.mask);
        ASSERT_TRUE(waitUntil([&] { return f.sourcePane().entryNames() == c.names; }))
            << c.mask << ": " << f.sourcePane().entryNames().join(",").toStdString();
    }
}

TEST_F(Panes, ShowAllAndShowGraphicFilesInTheTargetList) {
    MainWizard& f = makeWindow();
    const QString out = sub("out");
    for (const char* name : {"a.jpg", "notes.txt", "README"})
        writeFile(out + "/" + name);
    sub("out/sub");
    EXPECT_TRUE(ctl<QToolButton>(f, "sbShowGrafx")->isChecked());
    ASSERT_TRUE(showFolder(f.targetPane(), out, 2));
    EXPECT_EQ(f.targetPane().entryNames(), (QStringList{"sub", "a.jpg"}));
    ctl<QToolButton>(f, "sbShowAll")->click();
    EXPECT_TRUE(waitCount(f.targetPane(), 4));
    EXPECT_FALSE(ctl<QToolButton>(f, "sbShowGrafx")->isChecked());
    ctl<QToolButton>(f, "sbShowGrafx")->click();
    EXPECT_TRUE(waitCount(f.targetPane(), 2));
}

TEST_F(Panes, SelectionCommands) {
    MainWizard& f = makeWindow();
    f.show();
    QApplication::setActiveWindow(&f);
    const QString pics = sub("pics");
    for (const char* name : {"1.jpg", "2.jpg", "3.jpg", "4.jpg"})
        writeFile(pics + "/" + name);
    select(pics, 4, {"2.jpg"});
    FilePane& pane = f.sourcePane();

    ctl<QComboBox>(f, "cbMask")->setFocus();
    ctl<QToolButton>(f, "bInvertSel")->click();
    EXPECT_EQ(pane.selectedNames(), (QStringList{"1.jpg", "3.jpg", "4.jpg"}));
    EXPECT_EQ(QApplication::focusWidget(), pane.list());

    ctl<QToolButton>(f, "bSelAll")->click();
    EXPECT_EQ(pane.selectedNames().size(), 4);
    ctl<QToolButton>(f, "bInvertSel")->click();
    EXPECT_TRUE(pane.selectedNames().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), pane.list());

    ctl<QToolButton>(f, "bSelAll")->click();
    ctl<QComboBox>(f, "cbMask")->setFocus();
    ctl<QToolButton>(f, "bDeSelAll")->click();
    EXPECT_TRUE(pane.selectedNames().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), ctl<QComboBox>(f, "cbMask"));
}

TEST_F(Panes, TreeAndListFollowEachOther) {
    MainWizard& f = makeWindow();
    const QString out = sub("out");
    sub("out/inner");
    writeFile(out + "/inner/x.jpg");
    ASSERT_TRUE(showFolder(f.targetPane(), out, 1));
    FileListView* list = f.targetPane().list();
    const QModelIndex inner = list->model()->index(0, 0, list->rootIndex());
    emit list->doubleClicked(inner);
    EXPECT_EQ(f.outputFolder(), out + "/inner");
    EXPECT_EQ(f.targetPane().folderBox()->text(), out + "/inner");
    EXPECT_TRUE(waitCount(f.targetPane(), 1));
    EXPECT_EQ(f.targetPane().entryNames(), QStringList{"x.jpg"});
}

TEST_F(Panes, RefreshReadsTheListsAgain) {
    MainWizard& f = makeWindow();
    const QString pics = sub("pics");
    writeFile(pics + "/a.jpg");
    ASSERT_TRUE(showFolder(f.sourcePane(), pics, 1));
    ASSERT_TRUE(showFolder(f.targetPane(), pics, 1));
    writeFile(pics + "/b.jpg");
    ctl<QToolButton>(f, "bRefreshView")->click();
    EXPECT_TRUE(waitCount(f.sourcePane(), 2));
    EXPECT_TRUE(waitCount(f.targetPane(), 2));
    EXPECT_EQ(f.inputFolder(), pics);
    EXPECT_EQ(f.outputFolder(), pics);
    // A refresh is no change of folder.
    EXPECT_EQ(f.sourcePane().backButton()->toolTip(), f.sourcePane().history().backFolder);
}

TEST_F(Panes, LaunchExplorerOpensThePageFolder) {
    MainWizard& f = makeWindow();
    QStringList opened;
    f.openFolder = [&](const QString& folder) { opened << folder; };
    const QString pics = sub("pics"), out = sub("out");
    writeFile(pics + "/a.jpg");
    select(pics, 1, {"a.jpg"});
    ASSERT_TRUE(showFolder(f.targetPane(), out, 0));
    ctl<QToolButton>(f, "SpeedButton2")->click();
    ctl<GradientButton>(f, "bNxt1")->click();
    ctl<QToolButton>(f, "SpeedButton2")->click();
    ctl<GradientButton>(f, "bNxt2")->click();
    ctl<GradientButton>(f, "bNxt3")->click();
    ctl<QToolButton>(f, "SpeedButton2")->click();
    EXPECT_EQ(opened, (QStringList{pics, out, QDir::homePath()}));
}

} // namespace
} // namespace pictorant::uitest
