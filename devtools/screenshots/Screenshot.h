#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>

#include <cstdio>

namespace pictorant::screenshots {

// Lets the windows paint and settle (timers, layouts) before a picture is taken.
inline void settle(int milliseconds = 300) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Saves the window as a PNG file and says so.
inline bool save(QWidget& window, const QString& path) {
    const bool ok = window.grab().save(path, "PNG");
    std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(path));
    return ok;
}

} // namespace pictorant::screenshots
