#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace pictorant {

// The text of the link-mode help: one section per mode, with examples.
QString linkModesHelpText();

// "HTML Options": the link-mode help, read-only, with an OK button.
class LinkModeHelp : public QDialog {
    Q_OBJECT
public:
    explicit LinkModeHelp(QWidget* parent = nullptr);

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* bOK = nullptr;
};

} // namespace pictorant
