#pragma once

#include <QDialog>
#include <utility>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace pictorant {

// The duplicate-name warning: names two selected files that would write one output
// file and lets the user go on (OK) or stay on the first page (Cancel).
class DuplicateNamesDialog : public QDialog {
    Q_OBJECT
public:
    explicit DuplicateNamesDialog(QWidget* parent = nullptr);

    // Puts "first and second" into Label2, centred in the window (wrapped when long).
    void setPair(const QString& first, const QString& second);

    static const QStringList& explanationLines();

    QLabel* lWarning;
    QLabel* Label2;
    QPlainTextEdit* Memo1;
    QPushButton* bOK;
    QPushButton* bCancel;
};

// Shows the warning modally (through the message service, id "TForm3") and returns true
// for OK; Cancel, Escape and the close box give false.
bool showDuplicateWarning(DuplicateNamesDialog& window, const std::pair<QString, QString>& pair);

} // namespace pictorant
