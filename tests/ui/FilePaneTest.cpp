// The two file panes: the one-step folder history, the folder box, masks, the selection
// commands, refresh and "Launch Explorer".

#include "tests/ui/WizardSupport.h"

namespace pictorant::uitest {
namespace {

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
        EXPECT_TRUE(waitUntil([&] { return f.sourcePane().entryNames() == names; }))
            << mask << ": " << f.sourcePane().entryNames().join(",").toStdString();
    }
    ASSERT_TRUE(showFolder(f.targetPane(), pics, 7));
    EXPECT_EQ(f.targetPane().entryNames().first(), "folder.jpg") << "folders first";
    click({"sbShowAll"});
    EXPECT_TRUE(waitCount(f.targetPane(), 8));
    EXPECT_FALSE(ctl<QToolButton>(f, "sbShowGrafx")->isChecked());
    click({"sbShowGrafx"});
    EXPECT_TRUE(waitCount(f.targetPane(), 7));

    // Refresh reads both lists again.
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

} // namespace
} // namespace pictorant::uitest
