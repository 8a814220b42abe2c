#include "ui/FindReplaceDialog.h"

#include "ui/ObjectNames.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pictorant {

FindReplaceDialog::FindReplaceDialog(bool withReplace, QWidget* parent) : QDialog(parent) {
    setObjectName(withReplace ? "ReplaceDialog" : "FindDialog");
    setWindowTitle(withReplace ? "Replace" : "Find");
    setModal(false);

    auto* grid = new QGridLayout;
    eFind = named(new QLineEdit, "eFind");
    auto* findLabel = new QLabel("Fi&nd what:");
    findLabel->setBuddy(eFind);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(eFind, 0, 1);
    if (withReplace) {
        eReplace = named(new QLineEdit, "eReplace");
        auto* replaceLabel = new QLabel("Re&place with:");
        replaceLabel->setBuddy(eReplace);
        grid->addWidget(replaceLabel, 1, 0);
        grid->addWidget(eReplace, 1, 1);
    }
    cbWholeWord = named(new QCheckBox("Match &whole word only"), "cbWholeWord");
    cbMatchCase = named(new QCheckBox("Match &case"), "cbMatchCase");
    auto* options = new QVBoxLayout;
    options->addWidget(cbWholeWord);
    options->addWidget(cbMatchCase);

    auto* lower = new QHBoxLayout;
    lower->addLayout(options);
    rbUp = named(new QRadioButton("&Up"), "rbUp");
    rbDown = named(new QRadioButton("&Down"), "rbDown");
    rbDown->setChecked(true);
    // The replace dialog always searches down, as the system's replace dialog does.
    if (!withReplace) {
        auto* direction = new QGroupBox("Direction");
        auto* directionLayout = new QHBoxLayout(direction);
        directionLayout->addWidget(rbUp);
        directionLayout->addWidget(rbDown);
        lower->addWidget(direction);
    } else {
        rbUp->hide();
        rbDown->hide();
    }
    grid->addLayout(lower, withReplace ? 2 : 1, 0, 1, 2);

    auto* buttons = new QVBoxLayout;
    bFindNext = named(new QPushButton("&Find Next"), "bFindNext");
    bFindNext->setDefault(true);
    buttons->addWidget(bFindNext);
    if (withReplace) {
        bReplaceOne = named(new QPushButton("&Replace"), "bReplaceOne");
        bReplaceAll = named(new QPushButton("Replace &All"), "bReplaceAll");
        buttons->addWidget(bReplaceOne);
        buttons->addWidget(bReplaceAll);
    }
    bCancel = named(new QPushButton("Cancel"), "bCancel");
    buttons->addWidget(bCancel);
    buttons->addStretch();

    auto* top = new QHBoxLayout(this);
    top->addLayout(grid, 1);
    top->addLayout(buttons);

    connect(bFindNext, &QPushButton::clicked, this, &FindReplaceDialog::findNextRequested);
    if (withReplace) {
        connect(bReplaceOne, &QPushButton::clicked, this, &FindReplaceDialog::replaceRequested);
        connect(bReplaceAll, &QPushButton::clicked, this, &FindReplaceDialog::replaceAllRequested);
    }
    connect(bCancel, &QPushButton::clicked, this, &QDialog::hide);
}

QString FindReplaceDialog::findText() const {
    return eFind->text();
}
void FindReplaceDialog::setFindText(const QString& text) {
    eFind->setText(text);
}
QString FindReplaceDialog::replaceText() const {
    return eReplace ? eReplace->text() : QString();
}
void FindReplaceDialog::setReplaceText(const QString& text) {
    if (eReplace)
        eReplace->setText(text);
}

FindOptions FindReplaceDialog::options() const {
    return {cbMatchCase->isChecked(), cbWholeWord->isChecked(), !rbUp->isChecked()};
}

} // namespace pictorant
