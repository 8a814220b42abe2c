#pragma once

#include <QObject>
#include <initializer_list>

class QTabWidget;
class QWidget;

namespace pictorant {

// The wizard by keyboard: Return presses the shown page's forward button (Next, GO, or
// OK! once a run is over) and Escape the Cancel of a running job, when the key reaches
// the window unused by the control that has the focus.
class WizardKeys : public QObject {
    Q_OBJECT
public:
    WizardKeys(QWidget* window, QTabWidget* pages);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Clicks the first of `names` on the current page that is shown and enabled.
    bool pressFirstShown(std::initializer_list<const char*> names) const;
    void focusForwardButton() const;

    QTabWidget* pages_;
};

// Gives every control under `root` that a screen reader would announce without a name
// one: a button or box its caption (without the mnemonic mark), otherwise its hint, and
// the input fields the caption beside them as the table in the source file lists.
void nameControlsForScreenReaders(QWidget* root);

} // namespace pictorant
