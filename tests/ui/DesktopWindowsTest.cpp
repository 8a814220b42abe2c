// The windows as a desktop shows them: the X platform on a virtual display under a
// window manager that gives each window a frame and a title bar.

#include "tests/ui/ScriptedMessages.h"
#include "ui/PreviewWindow.h"
#include "ui/ProgramWindows.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace pictorant::uitest {
namespace {

class DesktopWindows : public ::testing::Test {
protected:
    void SetUp() override {
        application();
        setProgramIdentity("0");
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    }
};

// The title the window manager shows, read back from the X server, is the caption alone.
TEST_F(DesktopWindows, TitlesOnTheServerAreTheCaptionsAlone) {
    QTemporaryDir dir;
    ProgramWindows program((dir.path() + "/Pictorant.ini").toStdString());
    int checked = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowTitle().isEmpty() || window->objectName().isEmpty())
            continue;
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        QProcess xprop;
        xprop.start("xprop", {"-id", QString::number(window->winId()), "-notype", "_NET_WM_NAME"});
        xprop.waitForFinished(10000);
        EXPECT_EQ(QString::fromUtf8(xprop.readAllStandardOutput()).trimmed(),
                  "_NET_WM_NAME = \"" + window->windowTitle() + "\"");
        window->hide();
        ++checked;
    }
    EXPECT_GE(checked, 9);
}

// The preview window's frame, title bar included, stands at (5, 5) from the first
// opening on.
TEST_F(DesktopWindows, PreviewFrameStandsAtFiveFiveFromTheFirstOpening) {
    PreviewWindow preview;
    QImage picture(200, 100, QImage::Format_RGB888);
    picture.fill(Qt::red);
    for (int opening = 0; opening < 2; ++opening) {
        preview.showPicture(picture, "hint");
        // Framed by the window manager, and placed.
        ASSERT_TRUE(QTest::qWaitFor([&] { return preview.geometry().top() > 5; }));
        QTest::qWait(100);
        EXPECT_EQ(preview.frameGeometry().topLeft(), QPoint(5, 5)) << "opening " << opening;
        preview.close();
    }
}

} // namespace
} // namespace pictorant::uitest
