#include "ui/OutputPage.h"

#include "engine/Naming.h"
#include "ui/FilePane.h"
#include "ui/MessageService.h"
#include "ui/PictureMasks.h"
#include "ui/PlacedControls.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

namespace pictorant {

namespace {

bool isSequenceOption(NamingOption option) {
    return option == NamingOption::PreSeq || option == NamingOption::SufSeq;
}

} // namespace

OutputPage::OutputPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsOFO"));
    title_ = placeTitle(this, "lTitle2", QStringLiteral("Specify Output Folder and File Names"));
    pane_ =
        place(new FilePane(FilePane::Kind::Target,
                           {"fNewDir", "fNewBox", "efNewBoxCurrentFolder", "btnfNewBoxBackFolder",
                            "btnfNewBoxForwardFolder", "btnfNewBoxUpFolder"},
                           this),
              "targetPane", 8, 30, 556, 208);
    pane_->setMask(kPictureFileMask);

    showAllButton_ =
        placeToolButton(this, "sbShowAll", QStringLiteral("Show All Files"), 342, 30, 100);
    showPicturesButton_ =
        placeToolButton(this, "sbShowGrafx", QStringLiteral("Show Graphic Files"), 444, 30, 120);
    auto* showGroup = new QButtonGroup(this);
    for (QToolButton* b : {showAllButton_, showPicturesButton_}) {
        b->setCheckable(true);
        showGroup->addButton(b);
    }
    showGroup->setExclusive(true);
    showPicturesButton_->setChecked(true);

    renameNote_ =
        placeLabel(this, "lRenameNote", QStringLiteral("Renames Are Done in the Same Directory."),
                   8, 110, 556, 40);
    renameNote_->setAlignment(Qt::AlignCenter);
    QFont note = renameNote_->font();
    note.setBold(true);
    note.setPointSizeF(12);
    renameNote_->setFont(note);
    renameNote_->setStyleSheet(QStringLiteral("color: navy;"));
    renameNote_->hide();

    renameGroup_ = place(new QGroupBox(this), "gbRename", 8, 244, 180, 52);
    renameButton_ = place(new QRadioButton(QStringLiteral("&Rename Files"), renameGroup_),
                          "rbRenameOnly", 8, 4, 166, 20);
    copyButton_ = place(new QRadioButton(QStringLiteral("&Copy / Convert Files"), renameGroup_),
                        "rbCopyConvert", 8, 26, 166, 20);
    renameButton_->setChecked(true);

    convertCaption_ =
        placeLabel(this, "lConvert", QStringLiteral("Convert Files to Type"), 200, 244, 130);
    convert_ = place(new QComboBox(this), "cbConvert", 200, 262, 130, 24);
    convert_->setEditable(true);
    for (const char* word : kCreateAsWords)
        convert_->addItem(QString::fromLatin1(word));
    convert_->setCurrentIndex(0);

    const QString qualifierHint = QStringLiteral("Can be the prefix or suffix");
    qualifierCaption_ =
        placeLabel(this, "lQualifier", QStringLiteral("Output File Qualifier"), 340, 244, 126);
    qualifierCaption_->setToolTip(qualifierHint);
    thumbnailQualifier_ =
        place(new QLineEdit(QStringLiteral("Thumb"), this), "eQualThumb", 340, 262, 120, 24);
    imageQualifier_ =
        place(new QLineEdit(QStringLiteral("Image"), this), "eQualImage", 340, 262, 120, 24);
    thumbnailQualifier_->setToolTip(qualifierHint);
    imageQualifier_->setToolTip(qualifierHint);
    imageQualifier_->hide();

    sequenceCaption_ = placeLabel(this, "lSeq", QStringLiteral("Seq #"), 470, 244, 60);
    sequenceStart_ = place(new QLineEdit(QStringLiteral("001"), this), "eSeq", 470, 262, 60, 24);

    namingCaption_ =
        placeLabel(this, "lNameOption", QStringLiteral("Output File Naming Option"), 200, 300, 240);
    naming_ = place(new QComboBox(this), "cbNameOption", 200, 318, 250, 24);
    for (int i = 0; i < 4; ++i)
        naming_->addItem(QString::fromLatin1(namingOptionCaption(NamingOption(i))));
    namingHelpButton_ =
        placeToolButton(this, "SpeedButton1", QStringLiteral("Naming Options?"), 454, 318, 110);

    // The photo options, under the rename choice; a rename keeps the bytes and hides them.
    const auto photoBox = [this](const char* name, const QString& text, int y,
                                 const QString& hint) {
        auto* box = place(new QCheckBox(text, this), name, 8, y, 186, 17);
        box->setToolTip(hint);
        return box;
    };
    autoOrient_ = photoBox("cbAutoOrient", QStringLiteral("Upright by EXIF"), 298,
                           QStringLiteral("Turn JPEG photos as their camera says they stand"));
    toSrgb_ = photoBox("cbSrgb", QStringLiteral("Convert to sRGB"), 315,
                       QStringLiteral("Colours through the picture's own profile; outputs "
                                      "carry no profile"));
    keepMetadata_ = photoBox("cbKeepMetadata", QStringLiteral("Keep metadata"), 332,
                             QStringLiteral("JPEG outputs keep camera data and XMP (no EXIF "
                                            "thumbnail); GIF, BMP and metafiles carry none"));

    backButton_ = placePageButton(this, "bBck1", QStringLiteral("<= &Back"), 8, 352);
    nextButton_ = placePageButton(this, "bNxt2", QStringLiteral("&Next =>"), 464, 352);

    connect(showAllButton_, &QToolButton::clicked, this, [this] { pane_->setMask(kAllFilesMask); });
    connect(showPicturesButton_, &QToolButton::clicked, this,
            [this] { pane_->setMask(kPictureFileMask); });
    connect(renameButton_, &QRadioButton::toggled, this, &OutputPage::applyRenameChoice);
    connect(naming_, &QComboBox::currentIndexChanged, this, &OutputPage::applyNamingOption);
    connect(namingHelpButton_, &QToolButton::clicked, this, &OutputPage::explainNamingOptions);
    connect(backButton_, &QPushButton::clicked, this, &OutputPage::backRequested);
    connect(nextButton_, &QPushButton::clicked, this, &OutputPage::nextRequested);
    applyNamingOption();
}

void OutputPage::showFor(JobMode mode) {
    mode_ = mode;
    const bool thumbs = mode == JobMode::CreateThumbnails;
    renameGroup_->setVisible(!thumbs);
    thumbnailQualifier_->setVisible(thumbs);
    imageQualifier_->setVisible(!thumbs);
    applyRenameChoice();
}

void OutputPage::applyRenameChoice() {
    // A rename stays in the source folder: no target pane, no type to convert to.
    const bool rename = mode_ == JobMode::RenameCopyConvert && renameButton_->isChecked();
    for (QWidget* w :
         std::initializer_list<QWidget*>{convertCaption_, convert_, pane_, showAllButton_,
                                         showPicturesButton_, autoOrient_, toSrgb_, keepMetadata_})
        w->setVisible(!rename);
    renameNote_->setVisible(rename);
    emit renameChoiceChanged(rename);
}

void OutputPage::hideRenameNote() {
    renameNote_->hide();
}

void OutputPage::applyNamingOption() {
    const bool seq = isSequenceOption(namingOption());
    sequenceCaption_->setVisible(seq);
    sequenceStart_->setVisible(seq);
}

void OutputPage::explainNamingOptions() {
    messages().inform(QStringLiteral("namingOptions"), QString::fromLatin1(kNamingOptionsHelp),
                      programTitle(), MessageIcon::None);
}

bool OutputPage::renameChosen() const {
    return renameButton_->isChecked();
}

QString OutputPage::convertTo() const {
    return convert_->currentText();
}

void OutputPage::setConvertTo(const QString& word) {
    const int index = convert_->findText(word, Qt::MatchExactly);
    if (index >= 0)
        convert_->setCurrentIndex(index);
}

void OutputPage::resetConvertTo() {
    convert_->setCurrentIndex(0);
}

NamingOption OutputPage::namingOption() const {
    return NamingOption(std::max(0, naming_->currentIndex()));
}

void OutputPage::setNamingOption(NamingOption option) {
    naming_->setCurrentIndex(int(option));
}

QString OutputPage::qualifier(JobMode mode) const {
    return mode == JobMode::CreateThumbnails ? thumbnailQualifier_->text()
                                             : imageQualifier_->text();
}

QString OutputPage::thumbnailQualifier() const {
    return thumbnailQualifier_->text();
}

void OutputPage::setThumbnailQualifier(const QString& text) {
    thumbnailQualifier_->setText(text);
}

QString OutputPage::sequenceStart() const {
    return sequenceStart_->text();
}

PhotoOptions OutputPage::photoOptions() const {
    PhotoOptions options;
    options.autoOrient = autoOrient_->isChecked();
    options.toSrgb = toSrgb_->isChecked();
    options.keepMetadata = keepMetadata_->isChecked();
    return options;
}

void OutputPage::setPhotoOptions(const PhotoOptions& options) {
    autoOrient_->setChecked(options.autoOrient);
    toSrgb_->setChecked(options.toSrgb);
    keepMetadata_->setChecked(options.keepMetadata);
}

} // namespace pictorant
