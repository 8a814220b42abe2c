#pragma once

#include "ui/GradientButton.h"

#include <QColor>
#include <QString>
#include <QStyle>

class QFrame;
class QLabel;
class QToolButton;
class QWidget;

namespace pictorant {

// The wizard's controls stand where its design puts them: these make a control, give it
// its design name and its place in one step.

inline const QColor kWizardGrey(0x808080);
inline const QColor kWizardGreen(0x008000);
inline const QColor kWizardLime(0x00ff00);

template <class W> W* place(W* widget, const char* name, int x, int y, int width, int height) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(x, y, width, height);
    return widget;
}

QLabel* placeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int width,
                   int height = 18);
// A page's bold navy title at the top left.
QLabel* placeTitle(QWidget* parent, const char* name, const QString& text);
// Next, Back, Cancel, OK!: grey with a lime glow, taking the focus by Tab only.
GradientButton* placePageButton(QWidget* parent, const char* name, const QString& text, int x,
                                int y, int width = 100, int height = 30);
QToolButton* placeToolButton(QWidget* parent, const char* name, const QString& text, int x, int y,
                             int width, int height = 24);
// A flat 26 by 26 button showing a standard icon, with a hint.
QToolButton* placeSpeedButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                              const QString& hint, int x, int y);
// A sunken line across the page.
QFrame* placeSeparator(QWidget* parent, const char* name, int y);
// A caption in bold.
void makeBold(QLabel* label);

} // namespace pictorant
