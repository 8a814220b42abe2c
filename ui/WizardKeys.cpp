#include "ui/WizardKeys.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

namespace pictorant {

namespace {
// The forward button of each page; on the last page OK! once the run is over (Cancel is
// never pressed by Return).
const std::initializer_list<const char*> kForwardButtons = {"bNxt1", "bNxt2", "bNxt3", "bGO",
                                                            "bStartOver"};
} // namespace

WizardKeys::WizardKeys(QWidget* window, QTabWidget* pages) : QObject(window), pages_(pages) {
    window->installEventFilter(this);
    // A page shown gives the focus to its forward button, once the page's own focus
    // handling is done; otherwise the focus falls to the first control in the chain,
    // often Back, and Return would go back.
    connect(pages, &QTabWidget::currentChanged, this,
            [this] { QTimer::singleShot(0, this, &WizardKeys::focusForwardButton); });
}

void WizardKeys::focusForwardButton() const {
    QWidget* page = pages_->currentWidget();
    for (const char* name : kForwardButtons)
        if (auto* button = page->findChild<QAbstractButton*>(QString::fromLatin1(name));
            button && button->isVisible() && button->isEnabled()) {
            button->setFocus(Qt::TabFocusReason);
            return;
        }
}

bool WizardKeys::pressFirstShown(std::initializer_list<const char*> names) const {
    QWidget* page = pages_->currentWidget();
    for (const char* name : names) {
        auto* button = page->findChild<QAbstractButton*>(QString::fromLatin1(name));
        if (button && button->isVisible() && button->isEnabled()) {
            button->click();
            return true;
        }
    }
    return false;
}

bool WizardKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const auto mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods != Qt::NoModifier)
        return false;
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        // A button with the focus takes the Return it did not use itself.
        QWidget* focus = QApplication::focusWidget();
        if ((qobject_cast<QPushButton*>(focus) || qobject_cast<QToolButton*>(focus)) &&
            pages_->window()->isAncestorOf(focus) && focus->isEnabled()) {
            static_cast<QAbstractButton*>(focus)->click();
            return true;
        }
        return pressFirstShown(kForwardButtons);
    }
    if (key->key() == Qt::Key_Escape)
        return pressFirstShown({"bCancelOp"});
    return false;
}

namespace {

// Input fields whose caption stands beside them rather than on them.
struct FieldName {
    const char* object;
    const char* name;
};
constexpr FieldName kFieldNames[] = {
    {"fDir", "Source folders"},
    {"fBox", "Source files"},
    {"efBoxCurrentFolder", "Source folder"},
    {"fNewDir", "Output folders"},
    {"fNewBox", "Output files"},
    {"efNewBoxCurrentFolder", "Output folder"},
    {"cbMask", "File Types"},
    {"cbConvert", "Convert Files to Type"},
    {"eQualThumb", "Output File Qualifier"},
    {"eQualImage", "Output File Qualifier"},
    {"eSeq", "Seq #"},
    {"cbNameOption", "Output File Naming Option"},
    {"eWidth", "Width, or Max Width/Height"},
    {"eHeight", "Height"},
    {"tbJpg", "Jpeg Compression"},
    {"lbMFL", "Source Files"},
    {"mHelp", "Helpful Hints"},
    {"Image1", "Preview Window"},
    {"pcMain", "Wizard pages"},
    {"pBar", "Progress"},
    {"qt_tabwidget_tabbar", "Wizard page"},
    {"btnfBoxBackFolder", "Previous source folder"},
    {"btnfBoxForwardFolder", "Next source folder"},
    {"btnfBoxUpFolder", "Source folder up one level"},
    {"btnfNewBoxBackFolder", "Previous output folder"},
    {"btnfNewBoxForwardFolder", "Next output folder"},
    {"btnfNewBoxUpFolder", "Output folder up one level"},
};

} // namespace

void nameControlsForScreenReaders(QWidget* root) {
    for (const FieldName& f : kFieldNames)
        if (auto* w = root->findChild<QWidget*>(QString::fromLatin1(f.object))) {
            w->setAccessibleName(QString::fromLatin1(f.name));
            // The typing of an editable box happens in its own line edit.
            if (auto* box = qobject_cast<QComboBox*>(w); box && box->lineEdit())
                box->lineEdit()->setAccessibleName(QString::fromLatin1(f.name));
        }
    // A box's drop-down list is announced by the box's name.
    for (QComboBox* box : root->findChildren<QComboBox*>())
        box->view()->setAccessibleName(box->accessibleName());
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->accessibleName().isEmpty())
            continue;
        auto* button = qobject_cast<QAbstractButton*>(w);
        QString name = button ? button->text().remove(u'&') : QString();
        // A caption made of one symbol (an arrow) says nothing: the hint does.
        if (name.size() <= 1)
            name = w->toolTip();
        if (!name.isEmpty())
            w->setAccessibleName(name);
    }
}

} // namespace pictorant
