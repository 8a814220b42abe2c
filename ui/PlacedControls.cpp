#include "ui/PlacedControls.h"

#include <QFrame>
#include <QLabel>
#include <QToolButton>

namespace pictorant {

QLabel* placeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int width,
                   int height) {
    return place(new QLabel(text, parent), name, x, y, width, height);
}

QLabel* placeTitle(QWidget* parent, const char* name, const QString& text) {
    QLabel* l = placeLabel(parent, name, text, 8, 6, 440, 22);
    QFont font = l->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    l->setFont(font);
    l->setStyleSheet(QStringLiteral("color: navy;"));
    return l;
}

GradientButton* placePageButton(QWidget* parent, const char* name, const QString& text, int x,
                                int y, int width, int height) {
    auto* button = place(new GradientButton(text, kWizardGrey, kWizardGrey, kWizardLime, parent),
                         name, x, y, width, height);
    // Reached by Tab, but a click leaves the focus where it was, so a path typed into a
    // folder box is still there when Next reads it.
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

QToolButton* placeToolButton(QWidget* parent, const char* name, const QString& text, int x, int y,
                             int width, int height) {
    auto* button = place(new QToolButton(parent), name, x, y, width, height);
    button->setText(text);
    return button;
}

QToolButton* placeSpeedButton(QWidget* parent, const char* name, QStyle::StandardPixmap icon,
                              const QString& hint, int x, int y) {
    auto* button = place(new QToolButton(parent), name, x, y, 26, 26);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    return button;
}

QFrame* placeSeparator(QWidget* parent, const char* name, int y) {
    auto* line = place(new QFrame(parent), name, 8, y, 556, 4);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

void makeBold(QLabel* label) {
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
}

} // namespace pictorant
