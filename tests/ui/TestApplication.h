#pragma once

// The one QApplication of the ui tests, made on first use: ctest runs each case alone,
// so every fixture that builds a widget asks for it first.

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <stdexcept>

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

// A control of `window` by its design name; a missing one fails the test.
template <class T> T* ctl(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        ADD_FAILURE() << "no control named " << name;
        throw std::runtime_error(name);
    }
    return found;
}

} // namespace pictorant::uitest
