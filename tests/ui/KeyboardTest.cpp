// The wizard without a mouse: whole jobs walked by keys alone, Tab through the buttons in
// reading order, a name for a screen reader on every control, and the help by keys.

#include "tests/ui/WizardSupport.h"
#include "ui/HelpWindow.h"

#include <QAccessible>
#include <QTextBrowser>
#include <QTreeWidget>

namespace pictorant::uitest {
namespace {

class Keyboard : public MainWindowTest {
protected:
    void SetUp() override {
        wizardWith({"a.jpg", "b.jpg"}, 40);
        form->sourcePane().deselectAll();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    QWidget* focus() const {
        QWidget* w = QApplication::focusWidget();
        return w ? w : form.get();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(focus(), k, mods);
        // A mnemonic presses its button after a short show of the press.
        if (mods & Qt::AltModifier)
            QTest::qWait(250);
        QApplication::processEvents();
    }
    // Tabs until `name` has the focus; false when a whole round does not reach it.
    bool tabTo(const char* name) {
        for (int i = 0; i < 80; ++i) {
            if (focus()->objectName() == name)
                return true;
            key(Qt::Key_Tab);
        }
        return false;
    }
    WizardPage page() const { return form->currentPage(); }
    // Selects every source file from the keyboard and leaves the first page by Return.
    void takeAllFiles() {
        ASSERT_TRUE(tabTo("fBox"));
        key(Qt::Key_A, Qt::ControlModifier);
        key(Qt::Key_Return);
    }
    void goAndWaitForClosingLine() {
        key(Qt::Key_Return);
        ASSERT_TRUE(waitUntil([&] { return !form->isRunning(); }, 60000));
        ASSERT_TRUE(waitUntil([&] { return !hidden("lDone"); }));
    }
};

// A thumbnail job, then a rename job, each from the first page to the closing line and
// back by OK!, with key events only.
TEST_F(Keyboard, ThumbnailThenRenameJobFromFirstPageToClosingLineAndBack) {
    takeAllFiles();
    ASSERT_EQ(page(), WizardPage::OutputOptions);
    key(Qt::Key_Return);
    ASSERT_EQ(page(), WizardPage::ThumbnailOptions);
    // The mnemonic goes to the page's button, not into the size box.
    ASSERT_TRUE(tabTo("eWidth"));
    key(Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(ctl<QLineEdit>(*form, "eWidth")->text(), "96");
    ASSERT_EQ(page(), WizardPage::Confirm);
    key(Qt::Key_B, Qt::AltModifier);
    EXPECT_EQ(page(), WizardPage::ThumbnailOptions);
    key(Qt::Key_Return);
    ASSERT_EQ(page(), WizardPage::Confirm);
    goAndWaitForClosingLine();
    EXPECT_EQ(filesIn(out).size(), 2);
    key(Qt::Key_Return); // OK!
    ASSERT_EQ(page(), WizardPage::InputSelection);

    key(Qt::Key_R, Qt::AltModifier);
    takeAllFiles();
    ASSERT_EQ(page(), WizardPage::OutputOptions);
    key(Qt::Key_Return);
    ASSERT_EQ(page(), WizardPage::Confirm);
    goAndWaitForClosingLine();
    EXPECT_FALSE(filesIn(pics).contains("a.jpg"));
    EXPECT_EQ(filesIn(pics).size(), 2);
    key(Qt::Key_Return);
    EXPECT_EQ(page(), WizardPage::InputSelection);
}

TEST_F(Keyboard, EscapeCancelsARunningJob) {
    for (int i = 0; i < 80; ++i)
        writeJpeg(pics + QString("/m%1.jpg").arg(i), 800, 600);
    ASSERT_TRUE(waitCount(form->sourcePane(), 82));
    takeAllFiles();
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    key(Qt::Key_Return); // GO
    ASSERT_TRUE(waitUntil([&] { return page() == WizardPage::Processing; }));
    key(Qt::Key_Escape);
    ASSERT_TRUE(waitUntil([&] { return !form->isRunning(); }, 60000));
    EXPECT_LT(filesIn(out).size(), 82);
}

// Tab reaches each page's buttons in reading order, round and round.
TEST_F(Keyboard, TabReachesThePageButtonsInReadingOrder) {
    const std::pair<WizardPage, QStringList> pages[] = {
        {WizardPage::InputSelection, {"bSelAll", "bDeSelAll", "bInvertSel", "bDelSel", "bNxt1"}},
        {WizardPage::OutputOptions, {"SpeedButton1", "bBck1", "bNxt2"}},
        {WizardPage::ThumbnailOptions, {"bBck2", "bNxt3"}},
        {WizardPage::Confirm, {"bBck3", "bShowNames", "bGO"}},
    };
    takeAllFiles();
    for (const auto& [which, buttons] : pages) {
        form->showPage(which);
        QStringList reached;
        for (int i = 0; i < 80; ++i) {
            key(Qt::Key_Tab);
            const QString name = focus()->objectName();
            if (buttons.contains(name) && !reached.contains(name))
                reached << name;
        }
        // The round starts at the forward button, which has the focus.
        const qsizetype first = std::max<qsizetype>(0, reached.indexOf(buttons.first()));
        EXPECT_EQ(reached.mid(first) + reached.first(first), buttons)
            << pageCaption(which).toStdString();
    }
}

// Every control a person can reach or press has a name a screen reader can announce.
TEST_F(Keyboard, EveryControlOfEveryPageHasAnAccessibleName) {
    QStringList unnamed;
    for (QWidget* w : form->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) ||
                             (w->focusPolicy() & Qt::TabFocus && !qobject_cast<QScrollBar*>(w));
        if (!control)
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << w->objectName() + " (" + w->metaObject()->className() + ")";
    }
    EXPECT_EQ(unnamed, QStringList());
}

// The help contents follow the arrow keys as they follow clicks, and the window opens
// beside the main window rather than at the screen's corner.
TEST(HelpByKeys, ContentsFollowTheArrowKeysBesideTheMainWindow) {
    AppGuard app;
    QWidget main;
    main.setGeometry(40, 60, 200, 150);
    main.show();
    auto* help = new HelpWindow(&main);
    showProgramHelp(*help);
    EXPECT_GT(help->x(), main.x());
    EXPECT_EQ(help->y(), main.y());
    QTreeWidget* tree = help->contents();
    tree->expandAll();
    tree->setFocus();
    tree->setCurrentItem(tree->topLevelItem(0));
    QList<int> places{help->browser()->verticalScrollBar()->value()};
    for (int i = 0; i < 2; ++i) {
        QTest::keyClick(tree, Qt::Key_Down);
        places << help->browser()->verticalScrollBar()->value();
    }
    EXPECT_LT(places[0], places[1]);
    EXPECT_LT(places[1], places[2]);
}

} // namespace
} // namespace pictorant::uitest
