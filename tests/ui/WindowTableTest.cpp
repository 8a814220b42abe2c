// Every window's caption, size and place, found by its design name, in one table; the
// wizard's page tabs and the preview box likewise.

#include "AboutBox.h"
#include "DeleteFilesDialog.h"
#include "DuplicateNamesDialog.h"
#include "FramesLinkPrompt.h"
#include "GalleryLocationDialog.h"
#include "GalleryOptionsDialog.h"
#include "HtmlEditorWindow.h"
#include "LinkModeHelp.h"
#include "PreviewWindow.h"
#include "ProgramWindows.h"
#include "SplashScreen.h"
#include "WizardSupport.h"

#include <QScreen>

namespace pictorant::uitest {
namespace {

TEST(Windows, CaptionsSizesAndPlacesByDesignName) {
    AppGuard app;
    ScriptedMessages script;
    QTemporaryDir dir;
    ProgramWindows program((dir.path() + "/Pictorant.ini").toStdString());
    MainWizard& main = program.main();
    const SideWindows& s = main.sideWindows();
    SplashScreen splash;
    QMap<QString, QWidget*> byName;
    for (QWidget* w : std::initializer_list<QWidget*>{&main, s.preview, s.dupeWarn, s.confirmDelete,
                                                      s.htmlEditor, s.about, s.htmlOptions,
                                                      s.htmlHelp, s.htmlOut, s.hrefPrompt, &splash})
        byName[w->objectName()] = w;
    const struct {
        const char* name;
        const char* caption;
        QSize size; // the client area; empty when the window chooses
        bool fixed, centred;
    } windows[] = {
        {"Form1", "Batch Renamer / Thumbnail Maker", {586, 603}, true, false},
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
    ASSERT_EQ(byName.size(), int(std::size(windows)));
    const QPoint screen = QGuiApplication::primaryScreen()->geometry().center();
    for (const auto& w : windows) {
        SCOPED_TRACE(w.name);
        QWidget* window = byName.value(w.name);
        ASSERT_TRUE(window);
        EXPECT_EQ(window->windowTitle(), w.caption);
        if (w.size.isValid())
            EXPECT_EQ(window->size(), w.size);
        EXPECT_EQ(window->minimumSize() == window->maximumSize(), w.fixed);
        if (w.centred) {
            window->show();
            // within the task bar's share of the screen
            EXPECT_LE((window->geometry().center() - screen).manhattanLength(), 5);
            window->hide();
        }
    }
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);

    auto* pages = ctl<QTabWidget>(main, "pcMain");
    const char* tabs[][2] = {{"tsIFS", "Input File Selection"},
                             {"tsOFO", "Ouput File Options"},
                             {"tsTO", "Thumbnail Options"},
                             {"tsCS", "Confirm Selections"},
                             {"tsP", "Processing..."}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(pages->widget(i)->objectName(), tabs[i][0]);
        EXPECT_EQ(pages->tabText(i), tabs[i][1]);
        EXPECT_EQ(pages->isTabVisible(i), i == 0);
    }
    EXPECT_EQ(ctl<QLabel>(main, "Image1")->geometry(), QRect(12, 67, 97, 84));
}

} // namespace
} // namespace pictorant::uitest
