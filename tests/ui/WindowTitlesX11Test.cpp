// Every window's title as the X server holds it (what a window manager shows) is exactly
// its caption: the toolkit adds nothing to it. Runs under a virtual X display.

#include "ui/ProgramWindows.h"

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace pictorant {
namespace {

// The window's _NET_WM_NAME, read back from the X server.
QString titleOnServer(const QWidget& window) {
    QProcess xprop;
    xprop.start("xprop", {"-id", QString::number(window.winId()), "-notype", "_NET_WM_NAME"});
    xprop.waitForFinished(10000);
    const QString line = QString::fromUtf8(xprop.readAllStandardOutput()).trimmed();
    const qsizetype quote = line.indexOf(u'"');
    return quote < 0 ? line : line.mid(quote + 1).chopped(1);
}

TEST(WindowTitles, TheServerHoldsTheCaptionsAlone) {
    int argc = 1;
    char name[] = "window_titles";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    setProgramIdentity("0");
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    QTemporaryDir dir;
    ProgramWindows program((dir.path() + "/Pictorant.ini").toStdString());
    int checked = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowTitle().isEmpty() || window->objectName().isEmpty())
            continue;
        SCOPED_TRACE(window->objectName().toStdString());
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        EXPECT_EQ(titleOnServer(*window).toStdString(), window->windowTitle().toStdString());
        window->hide();
        ++checked;
    }
    EXPECT_GE(checked, 9);
}

} // namespace
} // namespace pictorant
