// The wizard without a mouse: whole jobs walked by keys alone, Tab through the buttons in
// reading order, and a name for a screen reader on every control.

#include "tests/ui/WizardSupport.h"

#include <QAccessible>

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

TEST_F(Keyboard, ThumbnailJobFromFirstPageToClosingLineAndBack) {
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

// Tab reaches each page's buttons, left to right.
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
        EXPECT_EQ(reached, buttons) << pageCaption(which).toStdString();
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

} // namespace
} // namespace pictorant::uitest
