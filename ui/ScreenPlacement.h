#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace pictorant {

// Moves a top-level window so that it stands in the middle of the primary screen's
// usable area (the task bar left out).
inline void centreOnScreen(QWidget* window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
}

} // namespace pictorant
