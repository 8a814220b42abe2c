// What the eye meets: the splash name whole, the duplicate warning wrapped, long paths
// cut in the middle, the File Types box as typed, the options dialog's width, the
// location dialog's first view, and mnemonics underlined only while Alt is held.

#include "tests/ui/WizardSupport.h"
#include "ui/AltMnemonics.h"
#include "ui/DuplicateNamesDialog.h"
#include "ui/GalleryLocationDialog.h"
#include "ui/GalleryOptionsDialog.h"
#include "ui/ProgramWindows.h"
#include "ui/SplashScreen.h"

namespace pictorant::uitest {
namespace {

using Look = MainWindowTest;

// The white letters of the name end short of the box they are drawn in: none is cut.
TEST_F(Look, SplashShowsTheWholeName) {
    const QImage picture = SplashScreen::picture().toImage();
    const QRect box = SplashScreen::nameBox();
    int inkRight = -1;
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (const QColor c = picture.pixelColor(x, y); std::min(c.red(), c.green()) > 235)
                inkRight = std::max(inkRight, x);
    EXPECT_GT(inkRight, box.center().x()) << "the name is drawn";
    EXPECT_LT(inkRight, box.right() - 1) << "the last letter is cut at the box's edge";
}

// Long names and explanation lines wrap inside the window instead of running out of it.
TEST_F(Look, DuplicateWarningWrapsItsTexts) {
    DuplicateNamesDialog dialog;
    const QString name = "a_picture_with_a_rather_long_name_from_the_camera_%1.jpg";
    dialog.setPair(name.arg(1), name.arg(2));
    dialog.show();
    QApplication::processEvents();
    EXPECT_TRUE(dialog.rect().contains(dialog.Label2->geometry())) << dialog.Label2->width();
    EXPECT_EQ(dialog.Memo1->horizontalScrollBar()->maximum(), 0) << "no line runs out of sight";
}

// The Confirm page's folders and the folder trees show a long path's start and end, and
// the whole path as hint.
TEST_F(Look, LongPathsAreCutInTheMiddleWithTheWholePathAsHint) {
    MainWizard& f = wizardWith({"a.jpg"});
    const QString target = sub(QStringList(3, QString(40, u'k')).join(u'/'));
    ASSERT_TRUE(showFolder(f.targetPane(), target, 0));
    f.show();
    toConfirm();
    for (const auto& [name, path] : {std::pair{"lOutDir", target}, {"lInDir", pics}}) {
        QLabel* shown = ctl<QLabel>(f, name);
        EXPECT_EQ(shown->toolTip(), path);
        // What a plain label in the same place shows of the text cut in the middle.
        QLabel cut(
            shown->fontMetrics().elidedText(path, Qt::ElideMiddle, shown->contentsRect().width()),
            shown->parentWidget());
        cut.setGeometry(shown->geometry());
        cut.setAlignment(shown->alignment());
        cut.setStyleSheet(shown->styleSheet());
        cut.setFont(shown->font());
        EXPECT_EQ(shown->grab().toImage(), cut.grab().toImage()) << name;
    }
    GalleryLocationDialog location;
    location.selectFolder(target);
    location.show();
    for (QTreeView* tree : {f.sourcePane().tree(), f.targetPane().tree(), location.tvFolders}) {
        EXPECT_EQ(tree->textElideMode(), Qt::ElideMiddle);
        const QModelIndex index = tree->currentIndex();
        ASSERT_TRUE(QTest::qWaitFor([&] { return tree->visualRect(index).isValid(); }));
        const QPoint at = tree->visualRect(index).center();
        QHelpEvent hint(QEvent::ToolTip, at, tree->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree->viewport(), &hint);
        EXPECT_EQ(QToolTip::text(), static_cast<QFileSystemModel*>(tree->model())->filePath(index));
    }
}

// A chosen mask shows its first types; a typed one is neither completed from the list
// nor added to it by Return.
TEST_F(Look, FileTypesBoxTakesTheMaskAsTyped) {
    makeWindow().show();
    auto* box = ctl<QComboBox>(*form, "cbMask");
    const int entries = box->count();
    box->setCurrentIndex(1);
    box->setCurrentIndex(0); // every picture type
    QLineEdit* edit = box->lineEdit();
    ASSERT_GT(edit->fontMetrics().horizontalAdvance(box->currentText()), edit->width());
    EXPECT_LT(edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left(), edit->width() / 4);
    QApplication::setActiveWindow(form.get());
    edit->setFocus(); // completion follows the typing in the box that has the focus
    edit->clear();
    QTest::keyClicks(edit, "*.J");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(box->currentText(), "*.J");
    EXPECT_EQ(box->count(), entries);
}

// The frames help wraps in its column: with it shown, the dialog is as wide as without
// it, and asks for no more.
TEST_F(Look, OptionsDialogKeepsItsWidthWithTheFramesHelpShown) {
    int widths[2] = {};
    for (bool frames : {false, true}) {
        GalleryOptionsDialog dialog;
        dialog.pcOptions->setCurrentIndex(1);
        if (frames)
            dialog.cbFrames->click();
        dialog.show();
        QApplication::processEvents();
        EXPECT_EQ(dialog.lFramesHelp->isVisible(), frames);
        widths[frames] = dialog.width();
        EXPECT_EQ(dialog.sizeHint().width(), widths[frames]) << "the width a showing takes";
    }
    EXPECT_EQ(widths[1], widths[0]);
}

// On its first showing the location dialog's tree has its selected folder in sight, far
// down a tree that must scroll to show it, however the folders above come in.
TEST_F(Look, LocationDialogShowsItsSelectedFolderAtOnce) {
    QString deep = sub("tree");
    for (int level = 0; level < 6; ++level, deep += "/s6")
        for (int sibling = 0; sibling < 12; ++sibling)
            QDir(deep).mkdir(QString("s%1").arg(sibling));
    GalleryLocationDialog dialog;
    script.whileShown("html.outputDialog", [&] {
        QTreeView* tree = dialog.tvFolders;
        // Once the eight folders above it at each level are in the tree (two pages of
        // rows), it must stand in sight.
        EXPECT_TRUE(QTest::qWaitFor([&] {
            int above = 0;
            for (QModelIndex i = tree->currentIndex(); i.isValid(); i = tree->indexAbove(i))
                ++above;
            const QRect row = tree->visualRect(tree->currentIndex());
            return above > 6 * 8 && tree->viewport()->rect().contains(row);
        }));
        EXPECT_EQ(dialog.htmlFolder(), deep);
    });
    dialog.execute(deep);
}

// Alt down draws the underlines on plain and gradient buttons alike and the shown window
// is drawn again; Alt up takes them away.
TEST_F(Look, MnemonicsAreUnderlinedOnlyWhileAltIsHeld) {
    underlineMnemonicsWhileAltHeld();
    QWidget window;
    new QPushButton("&Help!", &window);
    (new GradientButton("&Next =>", Qt::gray, Qt::gray, Qt::green, &window))->move(0, 40);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    struct PaintCount : QObject {
        int count = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            count += event->type() == QEvent::Paint;
            return false;
        }
    } paints;
    for (QPushButton* button : window.findChildren<QPushButton*>()) {
        SCOPED_TRACE(button->text().toStdString());
        button->installEventFilter(&paints);
        const QImage plain = button->grab().toImage();
        paints.count = 0;
        QTest::keyPress(button, Qt::Key_Alt);
        EXPECT_TRUE(QTest::qWaitFor([&] { return paints.count > 0; }, 2000));
        EXPECT_NE(button->grab().toImage(), plain);
        QTest::keyRelease(button, Qt::Key_Alt);
        EXPECT_EQ(button->grab().toImage(), plain);
    }
}

// Every window's caption, size and place, found by its design name, in one table; the
// wizard's page tabs and the preview box likewise.
TEST_F(Look, WindowCaptionsSizesAndPlacesByDesignName) {
    ProgramWindows program((root + "/Pictorant.ini").toStdString());
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
