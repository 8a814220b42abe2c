#include "ui/FramesLinkPrompt.h"

#include "ui/GalleryOptionsDialog.h"
#include "ui/MessageService.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pictorant {

FramesLinkPrompt::FramesLinkPrompt(QWidget* parent) : QDialog(parent) {
    setObjectName("HRFPrmpt");
    setWindowTitle("Set HREF to Original Option?");

    lMessage = new QLabel("Frames requires that the HREF to Original files be selected.\nIt is "
                          "currently unselected - would you like to set that option now?");
    lMessage->setObjectName("lMessage");
    lMessage->setStyleSheet("color: purple;");
    bYes = new QPushButton("&Yes");
    bYes->setObjectName("bYes");
    bYes->setDefault(true);
    bNo = new QPushButton("&No");
    bNo->setObjectName("bNo");
    bCancel = new QPushButton("Cancel");
    bCancel->setObjectName("bCancel");

    gbLink = new QGroupBox("Link to Original Images");
    gbLink->setObjectName("gbLink");
    cbHREF = new QCheckBox("HREF to Original File");
    cbHREF->setObjectName("cbHREF");
    cbHREF->setChecked(true);
    cbHREF->setEnabled(false);
    eHREF = new QLineEdit;
    eHREF->setObjectName("eHREF");
    rgHREF = new RadioGroup("HREF Options", linkModeItems());
    rgHREF->setObjectName("rgHREF");
    auto* link = new QGridLayout(gbLink);
    link->addWidget(cbHREF, 0, 0);
    link->addWidget(eHREF, 0, 1);
    link->addWidget(rgHREF, 1, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bYes);
    buttons->addWidget(bNo);
    buttons->addWidget(bCancel);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lMessage);
    layout->addLayout(buttons);
    layout->addWidget(gbLink);

    connect(rgHREF, &RadioGroup::itemClicked, this, &FramesLinkPrompt::rgHREFClick);
    connect(bYes, &QPushButton::clicked, this, &FramesLinkPrompt::bYesClick);
    connect(bNo, &QPushButton::clicked, this, &FramesLinkPrompt::bNoClick);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<int> FramesLinkPrompt::ask(int hrefMode, const QString& hrefText,
                                         const QString& relativeText, const LinkFolders& folders) {
    folders_ = folders;
    relativeText_ = relativeText;
    rgHREF->setItemIndex(hrefMode);
    eHREF->setText(hrefText);
    eHREF->setVisible(hrefMode != LinkGeneric);
    if (messages().showModal("html.hrefPrompt", *this) != QDialog::Accepted)
        return std::nullopt;
    return rgHREF->itemIndex();
}

void FramesLinkPrompt::rgHREFClick() {
    const int mode = rgHREF->itemIndex();
    eHREF->setText(QString::fromStdString(
        LinkFieldText(mode, folders_.originals, "http://", relativeText_.toStdString(),
                      eHREF->text().toStdString(), folders_.style)));
    eHREF->setVisible(mode != LinkGeneric);
}

void FramesLinkPrompt::bYesClick() {
    accept();
}

// No and Cancel mean the same to the options dialog: frames stay off.
void FramesLinkPrompt::bNoClick() {
    reject();
}

} // namespace pictorant
