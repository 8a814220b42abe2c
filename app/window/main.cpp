// pictorant: the window program. Splash, every window created once, the event loop.

#include "app/ProgramOptions.h"
#include "imaging/DecoderMemory.h"
#include "settings/SettingsLocation.h"
#include "ui/AltMnemonics.h"
#include "ui/HelpWindow.h"
#include "ui/ProgramWindows.h"
#include "ui/SplashScreen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

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

// --help and --version answer on the terminal, without a display. Any other argument
// (the toolkit's -platform and the like) is left to the application; returns -1 then.
int answerCommandLine(int argc, char** argv) {
    const pictorant::ProgramOptions options = pictorant::readProgramOptions(argc, argv, false);
    if (!options.understood)
        return -1;
    if (options.version) {
        std::printf("pictorant %s\n", PICTORANT_VERSION);
        return 0;
    }
    if (!options.help)
        return -1;
    std::error_code error;
    const auto program = std::filesystem::canonical("/proc/self/exe", error);
    const auto document =
        pictorant::programDataFile(program.parent_path(), pictorant::helpFileName);
    std::printf("Usage: pictorant [-h|--help] [--version]\n"
                "The Pictorant window: thumbnails, renames, copies and conversions of the\n"
                "pictures of a folder, and HTML galleries of them. pictorant-batch does the same\n"
                "work from the command line.\n\n"
                "Help document: %s%s\n",
                document.c_str(),
                std::filesystem::is_regular_file(document, error) ? "" : " (missing)");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (const int status = answerCommandLine(argc, argv); status >= 0)
        return status;
    if (!haveDisplay()) {
        std::fprintf(stderr, "pictorant: no display found; run it as 'xvfb-run -a pictorant', "
                             "or use 'pictorant-batch' for the same work from the command line.\n");
        return 1;
    }
    pictorant::ReuseDecoderMemory();
    QApplication app(argc, argv);
    pictorant::setProgramIdentity(QStringLiteral(PICTORANT_VERSION));
    pictorant::underlineMnemonicsWhileAltHeld();
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
