#include "ui/ReadableColours.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>
#include <utility>

namespace pictorant {

void keepFixedColoursReadable(QWidget* root) {
    if (QApplication::palette().color(QPalette::Window).lightness() >= 128)
        return;
    static const std::pair<const char*, const char*> kLighter[] = {
        {"color: navy;", "color: #9ab8ff;"},
        {"color: blue;", "color: #80b0ff;"},
        {"color: maroon;", "color: #ff9a8a;"},
        {"color: purple;", "color: #d8a0ff;"},
    };
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets << root;
    for (QWidget* w : widgets) {
        QString style = w->styleSheet();
        for (const auto& [dark, light] : kLighter)
            style.replace(QLatin1String(dark), QLatin1String(light));
        if (style != w->styleSheet())
            w->setStyleSheet(style);
    }
}

} // namespace pictorant
