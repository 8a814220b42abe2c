#include "ui/AltMnemonics.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace pictorant {

AltMnemonicStyle::AltMnemonicStyle() : QProxyStyle(QApplication::style()->name()) {}

int AltMnemonicStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                                QStyleHintReturn* returnData) const {
    if (hint == SH_UnderlineShortcut)
        return altHeld_;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

bool AltMnemonicStyle::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Alt)
            setAltHeld(event->type() == QEvent::KeyPress);
        else
            setAltHeld(key->modifiers() & Qt::AltModifier);
        break;
    }
    // Alt released in another program's window never reaches this one.
    case QEvent::ApplicationDeactivate:
        setAltHeld(false);
        break;
    default:
        break;
    }
    return QProxyStyle::eventFilter(watched, event);
}

void AltMnemonicStyle::setAltHeld(bool held) {
    if (held == altHeld_)
        return;
    altHeld_ = held;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        window->update();
        for (QWidget* child : window->findChildren<QWidget*>())
            child->update();
    }
}

void underlineMnemonicsWhileAltHeld() {
    auto* style = new AltMnemonicStyle;
    QApplication::setStyle(style);
    qApp->installEventFilter(style);
}

} // namespace pictorant
