// pictorant: the window program. Splash, every window created once, the event loop.

#include "ProgramWindows.h"
#include "SplashScreen.h"
#include "settings/SettingsLocation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>
#include <cstdlib>

namespace {

bool haveDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    // An explicit platform (offscreen, vnc, ...) needs no display of its own.
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

// Keeps the splash painted while the start-up waits.
void waitShowing(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (!haveDisplay()) {
        std::fprintf(stderr, "pictorant: no display found; run it as 'xvfb-run -a pictorant', "
                             "or use 'pictorant-batch' for the same work from the command line.\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pictorant"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pictorant"));
    QApplication::setApplicationVersion(QStringLiteral("1.7"));
    QApplication::setQuitOnLastWindowClosed(false);

    auto* splash = new pictorant::SplashScreen;
    splash->show();
    QApplication::processEvents();
    waitShowing(2000);
    splash->repaint();

    pictorant::ProgramWindows windows(pictorant::settingsFilePath());

    splash->hide();
    delete splash;

    pictorant::MainWizard& main = windows.main();
    QObject::connect(&main, &pictorant::MainWizard::closed, &app, &QApplication::quit);
    main.show();
    return app.exec();
}
