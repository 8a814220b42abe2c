// The wizard without a mouse: jobs walked by keys alone, Tab through each page's buttons
// in reading order, a name for a screen reader on every control, and the help by keys.

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
    QString focus() const {
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "";
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), k, mods);
        // A mnemonic shows its button pressed and clicks it a moment later: wait for the
        // click itself, which a loaded machine may deliver late.
        QTest::qWait(1);
        const auto buttons = form->findChildren<QAbstractButton*>();
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return std::ranges::none_of(buttons, &QAbstractButton::isDown); }));
    }
    bool tabTo(const QString& name) {
        for (int i = 0; i < 60 && focus() != name; ++i)
            key(Qt::Key_Tab);
        return focus() == name;
    }
    // A round of Tab reaches `buttons` in this order (from any start); ends on the last.
    void expectTabOrder(const QStringList& buttons) {
        QStringList reached;
        for (int i = 0; i < 60; ++i, key(Qt::Key_Tab))
            if (buttons.contains(focus()) && !reached.contains(focus()))
                reached << focus();
        const qsizetype first = std::max<qsizetype>(0, reached.indexOf(buttons.first()));
        EXPECT_EQ(reached.mid(first) + reached.first(first), buttons);
        ASSERT_TRUE(tabTo(buttons.last()));
    }
    void selectAllFiles() {
        ASSERT_TRUE(tabTo("fBox"));
        key(Qt::Key_A, Qt::ControlModifier);
    }
    // GO by Return on the Confirm page, then OK! by Return once the closing line shows:
    // the page as a run of both files leaves it, and the first page as OK! leaves it.
    void runByReturn() {
        ASSERT_EQ(form->currentPage(), WizardPage::Confirm);
        key(Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !form->isRunning() && !hidden("lDone"); }, 60000));
        EXPECT_EQ(text("lDone") + " " + text("lProc"),
                  "Operation complete. 2 files processed. 2 of 2");
        EXPECT_EQ(ctl<GradientProgressBar>(*form, "pBar")->maximum(), 2);
        EXPECT_TRUE(ctl<QPlainTextEdit>(*form, "mHelp")
                        ->toPlainText()
                        .startsWith("The selected files are now being processed."));
        for (const char* name : {"bStartOver", "bHTML", "lDoHTM"})
            EXPECT_FALSE(hidden(name)) << name;
        for (const char* name : {"bCancelOp", "lbMFL", "Image1"})
            EXPECT_TRUE(hidden(name)) << name;
        key(Qt::Key_Return);
        EXPECT_EQ(form->currentPage(), WizardPage::InputSelection);
        EXPECT_EQ(text("lMFL"), "Source Files: 0");
        EXPECT_TRUE(hidden("bHTML") && !hidden("lbMFL"));
        EXPECT_EQ(ctl<GradientProgressBar>(*form, "pBar")->value(), 0);
        EXPECT_EQ(form->runState().processedCount, 2); // kept for the gallery
    }
};

TEST_F(Keyboard, ThumbnailThenRenameJobFromFirstPageToClosingLineAndBack) {
    selectAllFiles();
    expectTabOrder({"bSelAll", "bDeSelAll", "bInvertSel", "bDelSel", "bNxt1"});
    key(Qt::Key_Return);
    ASSERT_EQ(form->currentPage(), WizardPage::OutputOptions);
    expectTabOrder({"SpeedButton1", "bBck1", "bNxt2"});
    key(Qt::Key_Return);
    ASSERT_EQ(form->currentPage(), WizardPage::ThumbnailOptions);
    expectTabOrder({"bBck2", "bNxt3"});
    // The mnemonic goes to the page's button, not into the size box.
    ASSERT_TRUE(tabTo("eWidth"));
    key(Qt::Key_N, Qt::AltModifier);
    EXPECT_EQ(ctl<QLineEdit>(*form, "eWidth")->text(), "96");
    ASSERT_EQ(form->currentPage(), WizardPage::Confirm);
    expectTabOrder({"bBck3", "bShowNames", "bGO"});
    key(Qt::Key_B, Qt::AltModifier);
    ASSERT_EQ(form->currentPage(), WizardPage::ThumbnailOptions);
    key(Qt::Key_Return);
    runByReturn();
    EXPECT_EQ(filesIn(out), (QStringList{"Thumb001.jpg", "Thumb002.jpg"}));
    EXPECT_TRUE(waitCount(form->targetPane(), 2)) << "the target list is read again";

    key(Qt::Key_R, Qt::AltModifier);
    selectAllFiles();
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    runByReturn();
    EXPECT_FALSE(filesIn(pics).contains("a.jpg"));
    EXPECT_EQ(filesIn(pics).size(), 2);
}

// Every control a person can reach or press has a name a screen reader can announce.
TEST_F(Keyboard, EveryControlOfEveryPageHasAnAccessibleName) {
    QStringList unnamed;
    for (QWidget* w : form->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) ||
                             (w->focusPolicy() & Qt::TabFocus && !qobject_cast<QScrollBar*>(w));
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (control && (!a || a->text(QAccessible::Name).trimmed().isEmpty()))
            unnamed << w->objectName() + " (" + w->metaObject()->className() + ")";
    }
    EXPECT_EQ(unnamed, QStringList());
}

// The help contents follow the arrow keys, and the window opens beside the main window.
TEST(HelpByKeys, ContentsFollowTheArrowKeysBesideTheMainWindow) {
    AppGuard app;
    QWidget main;
    main.setGeometry(40, 60, 200, 150);
    main.show();
    auto* help = new HelpWindow(&main);
    showProgramHelp(*help);
    EXPECT_GT(help->x(), main.x());
    EXPECT_EQ(help->y(), main.y());
    help->contents()->expandAll();
    help->contents()->setCurrentItem(help->contents()->topLevelItem(0));
    const QScrollBar* bar = help->browser()->verticalScrollBar();
    for (int step = 0, last = bar->value(); step < 2; ++step, last = bar->value()) {
        QTest::keyClick(help->contents(), Qt::Key_Down);
        EXPECT_GT(bar->value(), last) << step;
    }
}

} // namespace
} // namespace pictorant::uitest
