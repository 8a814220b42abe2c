// Every window's caption, size and place, found by its design name, in one table; the
// wizard's page tabs and the preview box likewise.

#include "tests/ui/WizardSupport.h"
#include "ui/ProgramWindows.h"
#include "ui/SplashScreen.h"

namespace pictorant::uitest {
namespace {

TEST(Windows, CaptionsSizesAndPlacesByDesignName) {
    AppGuard app;
    ScriptedMessages script;
    QTemporaryDir dir;
    ProgramWindows program((dir.path() + "/Pictorant.ini").toStdString());
    SplashScreen splash;
    const struct {
        const char* name;
        const char* caption;
        QSize size; // the client area; empty when the window chooses
        bool fixed, centred;
    } windows[] = {
        {"Form1", "Batch Renamer / Thumbnail Maker", {586, 603}, true, true},
        {"Form2", "Preview Window", {}, false, false},
        {"Form3", "Duplicate File Names", {460, 330}, true, false},
        {"Form4", "Confirm File Deletion", {}, false, false},
        {"fHTM", "HTML Viewer", {636, 460}, false, true},
        {"fAbout", "About Pictorant", {361, 222}, true, false},
        {"Form6", "HTML Options", {}, false, false},
        {"Form5", "HTML Options", {}, false, false},
        {"fDlgOutHTML", "Specify location of HTML", {}, false, false},
        {"HRFPrmpt", "Set HREF to Original Option?", {}, false, false},
        {"fSplasher", "", {256, 128}, true, true},
    };
    QMap<QString, QWidget*> byName;
    for (QWidget* w : QApplication::topLevelWidgets())
        byName[w->objectName()] = w;
    const QPoint screen = QGuiApplication::primaryScreen()->geometry().center();
    for (const auto& w : windows) {
        SCOPED_TRACE(w.name);
        QWidget* window = byName.value(w.name);
        ASSERT_TRUE(window);
        EXPECT_EQ(window->windowTitle(), w.caption);
        EXPECT_EQ(window->size(), w.size.isValid() ? w.size : window->size());
        EXPECT_EQ(window->minimumSize() == window->maximumSize(), w.fixed);
        if (w.centred) {
            window->show(); // within the task bar's share of the screen
            EXPECT_LE((window->geometry().center() - screen).manhattanLength(), 5);
        }
    }
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);

    auto* pages = ctl<QTabWidget>(program.main(), "pcMain");
    const QStringList tabs = {"tsIFS Input File Selection", "tsOFO Ouput File Options",
                              "tsTO Thumbnail Options", "tsCS Confirm Selections",
                              "tsP Processing..."};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(pages->widget(i)->objectName() + " " + pages->tabText(i), tabs[i]);
        EXPECT_EQ(pages->isTabVisible(i), i == 0);
    }
    EXPECT_EQ(ctl<QLabel>(program.main(), "Image1")->geometry(), QRect(12, 67, 97, 84));
}

} // namespace
} // namespace pictorant::uitest
