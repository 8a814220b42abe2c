#include "ui/InputPage.h"

#include "ui/FilePane.h"
#include "ui/PictureMasks.h"
#include "ui/PlacedControls.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

namespace pictorant {

InputPage::InputPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsIFS"));
    title_ = placeTitle(this, "lTitle1", QStringLiteral("Select Source Files"));
    modeGroup_ = place(new QGroupBox(this), "gbMode", 330, 2, 234, 48);
    thumbnailsButton_ = place(new QRadioButton(QStringLiteral("&Create Thumbnails"), modeGroup_),
                              "rbThumbs", 8, 4, 220, 20);
    renameButton_ =
        place(new QRadioButton(QStringLiteral("&Rename, Copy, or Convert Files"), modeGroup_),
              "rbRename", 8, 24, 220, 20);
    thumbnailsButton_->setChecked(true);

    pane_ = place(new FilePane(FilePane::Kind::Source,
                               {"fDir", "fBox", "efBoxCurrentFolder", "btnfBoxBackFolder",
                                "btnfBoxForwardFolder", "btnfBoxUpFolder"},
                               this),
                  "sourcePane", 8, 56, 556, 292);

    maskCaption_ = placeLabel(this, "lMask", QStringLiteral("File Types"), 346, 59, 56, 18);
    mask_ = place(new QComboBox(this), "cbMask", 404, 56, 160, 24);
    mask_->setEditable(true);
    // A typed mask is used as typed: not completed from the list, not added to it.
    mask_->setInsertPolicy(QComboBox::NoInsert);
    mask_->setCompleter(nullptr);
    mask_->addItems(sourceMaskChoices());
    mask_->setCurrentIndex(0);
    mask_->lineEdit()->setCursorPosition(0);

    selectAllButton_ = placeToolButton(this, "bSelAll", QStringLiteral("Select All"), 8, 354, 70);
    deselectAllButton_ =
        placeToolButton(this, "bDeSelAll", QStringLiteral("DeSelect All"), 80, 354, 76);
    invertButton_ =
        placeToolButton(this, "bInvertSel", QStringLiteral("Invert Selection"), 158, 354, 96);
    deleteButton_ =
        placeToolButton(this, "bDelSel", QStringLiteral("Delete Selected Files"), 256, 354, 120);
    rotateLeftButton_ = placeToolButton(this, "bRotLeft", QString(QChar(0x27F2)), 382, 354, 28);
    rotateLeftButton_->setToolTip(QStringLiteral("Rotate image 90 degrees counter clockwise"));
    rotateRightButton_ = placeToolButton(this, "bRotRight", QString(QChar(0x27F3)), 412, 354, 28);
    rotateRightButton_->setToolTip(QStringLiteral("Rotate Image 90 degrees clockwise"));
    setRotationEnabled(false);
    nextButton_ = placePageButton(this, "bNxt1", QStringLiteral("&Next =>"), 464, 352);

    connect(nextButton_, &QPushButton::clicked, this, &InputPage::nextRequested);
    connect(thumbnailsButton_, &QRadioButton::toggled, this,
            [this] { emit modeChanged(chosenMode()); });
    connect(selectAllButton_, &QToolButton::clicked, pane_, &FilePane::selectAll);
    connect(deselectAllButton_, &QToolButton::clicked, pane_, &FilePane::deselectAll);
    connect(invertButton_, &QToolButton::clicked, pane_, &FilePane::invertSelection);
    connect(mask_, &QComboBox::currentTextChanged, this, &InputPage::applyMask);
    // A mask picked from the list is shown from its start, where its first types are.
    connect(mask_, &QComboBox::currentIndexChanged, this,
            [this] { mask_->lineEdit()->setCursorPosition(0); });
    connect(deleteButton_, &QToolButton::clicked, this, &InputPage::deleteRequested);
    connect(rotateLeftButton_, &QToolButton::clicked, this,
            [this] { emit rotateRequested(RotateDirection::CounterClockwise); });
    connect(rotateRightButton_, &QToolButton::clicked, this,
            [this] { emit rotateRequested(RotateDirection::Clockwise); });
}

JobMode InputPage::chosenMode() const {
    return thumbnailsButton_->isChecked() ? JobMode::CreateThumbnails : JobMode::RenameCopyConvert;
}

QString InputPage::mask() const {
    return mask_->currentText();
}

void InputPage::setRotationEnabled(bool on) {
    rotateLeftButton_->setEnabled(on);
    rotateRightButton_->setEnabled(on);
}

void InputPage::applyMask() {
    pane_->setMask(mask_->currentText());
}

} // namespace pictorant
