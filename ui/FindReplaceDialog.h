#pragma once

#include "ui/TextSearch.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace pictorant {

// The editor's own find and replace dialogs; one class, two faces. Not modal.
class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    FindReplaceDialog(bool withReplace, QWidget* parent);

    QString findText() const;
    void setFindText(const QString& text);
    QString replaceText() const;
    void setReplaceText(const QString& text);
    FindOptions options() const;

    QLineEdit* eFind = nullptr;
    QLineEdit* eReplace = nullptr;
    QCheckBox* cbWholeWord = nullptr;
    QCheckBox* cbMatchCase = nullptr;
    QRadioButton* rbUp = nullptr;
    QRadioButton* rbDown = nullptr;
    QPushButton* bFindNext = nullptr;
    QPushButton* bReplaceOne = nullptr;
    QPushButton* bReplaceAll = nullptr;
    QPushButton* bCancel = nullptr;

signals:
    void findNextRequested();
    void replaceRequested();
    void replaceAllRequested();
};

} // namespace pictorant
