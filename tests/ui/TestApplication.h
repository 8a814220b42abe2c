#pragma once

// The one QApplication of the ui tests, made on first use: ctest runs each case alone,
// so every fixture that builds a widget asks for it first.

#include <QApplication>
#include <QTemporaryDir>

namespace pictorant::uitest {

inline QApplication& application() {
    static int argc = 1;
    static char name[] = "ui_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        // Rename journals and deletion records of the windows under test stay out of the
        // real user's state folder.
        static QTemporaryDir stateHome;
        qputenv("XDG_STATE_HOME", stateHome.path().toUtf8());
        new QApplication(argc, argv);
    }
    return *qApp;
}

// First member of a fixture, so the application exists before any widget.
struct AppGuard {
    AppGuard() { application(); }
};

} // namespace pictorant::uitest
