#include "ui/ConfirmPage.h"

#include "ui/LongPaths.h"
#include "ui/PlacedControls.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace pictorant {

ConfirmPage::ConfirmPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsCS"));
    title_ = placeTitle(this, "lTitle4", QStringLiteral("Confirm Settings, Press GO to begin"));
    // The folder rows' values are path labels, cut in the middle when too long.
    auto row = [this]<class Label>(const char* capName, const QString& caption,
                                   const char* valueName, int y, QLabel*& cap, Label*& value,
                                   int height = 18) {
        cap = placeLabel(this, capName, caption, 8, y, 140);
        makeBold(cap);
        value = place(new Label(this), valueName, 152, y, 412, height);
        value->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        value->setWordWrap(height > 18);
        value->setStyleSheet(QStringLiteral("color: navy;"));
    };
    row("lInDirCap", QStringLiteral("Input Directory:"), "lInDir", 34, inputCaption_, input_);
    row("lOutDirCap", QStringLiteral("Output Directory:"), "lOutDir", 54, outputCaption_, output_);
    row("lTypesCap", QStringLiteral("File Types:"), "lTypes", 74, typesCaption_, types_);
    row("lConvCap", QStringLiteral("Convert Files To:"), "lConv", 94, conversionCaption_,
        conversion_);
    row("lNamesCap", QStringLiteral("Output File Names..."), "lNames", 114, namesCaption_, names_,
        34);

    thumbnailTopLine_ = placeSeparator(this, "bvThumb1", 152);
    row("lResizeCap", QStringLiteral("Thumbnail Resize:"), "lResize", 160, resizeCaption_, resize_);
    sizeCaption_ = placeLabel(this, "lDimCap", QStringLiteral("Thumbnail Dimensions"), 8, 180, 140);
    makeBold(sizeCaption_);
    widthCaption_ = placeLabel(this, "lWCap", QStringLiteral("W -"), 152, 180, 24);
    width_ = placeLabel(this, "lWVal", QString(), 178, 180, 60);
    heightCaption_ = placeLabel(this, "lHCap", QStringLiteral("H -"), 242, 180, 24);
    height_ = placeLabel(this, "lHVal", QString(), 268, 180, 60);
    largestSideCaption_ =
        placeLabel(this, "lAspect", QStringLiteral("Maintain aspect ratio, Max Width/Height - "),
                   152, 180, 250);
    largestSide_ = placeLabel(this, "lAspectVal", QString(), 404, 180, 80);
    for (QLabel* value : {width_, height_, largestSide_})
        value->setStyleSheet(QStringLiteral("color: navy;"));
    largestSideCaption_->hide();
    largestSide_->hide();
    thumbnailBottomLine_ = placeSeparator(this, "bvThumb2", 204);

    jpegCaption_ = placeLabel(this, "lJpgCap", QStringLiteral("Jpeg Compression"), 8, 222, 140);
    makeBold(jpegCaption_);
    jpegQuality_ = place(new QSlider(Qt::Horizontal, this), "tbJpg", 152, 218, 290, 26);
    jpegQuality_->setRange(10, 100);
    jpegQuality_->setValue(90);
    jpegQuality_->setTickPosition(QSlider::TicksBelow);
    jpegQuality_->setTickInterval(10);
    jpegValue_ = placeLabel(this, "lJpgVal", QStringLiteral("90"), 448, 222, 40);

    overwrite_ = place(new QCheckBox(QStringLiteral("Overwrite Files"), this), "cbOverwrite", 8,
                       260, 200, 20);
    overwrite_->setChecked(true);

    photoCaption_ = placeLabel(this, "lPhotoCap", QStringLiteral("Photo Options:"), 8, 286, 140);
    makeBold(photoCaption_);
    photo_ = placeLabel(this, "lPhoto", QString(), 152, 286, 412);
    photo_->setStyleSheet(QStringLiteral("color: navy;"));

    backButton_ = placePageButton(this, "bBck3", QStringLiteral("<= &Back"), 8, 352);
    goButton_ = place(
        new GradientButton(QStringLiteral("&GO"), kWizardGreen, kWizardGreen, kWizardLime, this),
        "bGO", 464, 346, 100, 36);
    goButton_->setFocusPolicy(Qt::TabFocus);
    showNamesButton_ = place(new QPushButton(QStringLiteral("Show &names..."), this), "bShowNames",
                             366, 352, 92, 30);
    showNamesButton_->setToolTip(
        QStringLiteral("List every file with the name it gets and what happens to it"));

    // Reading order: Back, Show names, GO.
    setTabOrder(backButton_, showNamesButton_);
    setTabOrder(showNamesButton_, goButton_);

    connect(jpegQuality_, &QSlider::valueChanged, this, &ConfirmPage::showJpegQuality);
    connect(backButton_, &QPushButton::clicked, this, &ConfirmPage::backRequested);
    connect(goButton_, &QPushButton::clicked, this, &ConfirmPage::goRequested);
    connect(showNamesButton_, &QPushButton::clicked, this, &ConfirmPage::showNamesRequested);
}

void ConfirmPage::showThumbnailRows(bool thumbnails, bool maintainRatio) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             thumbnailTopLine_, thumbnailBottomLine_, resizeCaption_, resize_, sizeCaption_,
             widthCaption_, width_, heightCaption_, height_})
        w->setVisible(thumbnails);
    largestSideCaption_->setVisible(thumbnails && maintainRatio);
    largestSide_->setVisible(thumbnails && maintainRatio);
}

QString photoOptionsText(bool autoOrient, bool toSrgb, bool keepMetadata) {
    QStringList on;
    if (autoOrient)
        on << QStringLiteral("Upright by EXIF");
    if (toSrgb)
        on << QStringLiteral("Convert to sRGB");
    if (keepMetadata)
        on << QStringLiteral("Keep metadata");
    return on.join(QStringLiteral(", "));
}

void ConfirmPage::showSummary(const JobSummary& s) {
    input_->setPath(s.inputFolder);
    output_->setPath(s.outputFolder);
    types_->setText(s.fileTypes);
    conversion_->setText(s.conversion);
    names_->setText(s.outputNames);
    if (s.thumbnails) {
        resize_->setText(s.resizeSpeed);
        largestSideCaption_->setVisible(s.maintainRatio);
        largestSide_->setVisible(s.maintainRatio);
        largestSide_->setText(s.width);
        for (QWidget* w :
             std::initializer_list<QWidget*>{widthCaption_, width_, heightCaption_, height_})
            w->setVisible(!s.maintainRatio);
        width_->setText(s.width);
        height_->setText(s.height);
    }
    photo_->setText(s.photoOptions);
    photoCaption_->setVisible(!s.photoOptions.isEmpty());
    photo_->setVisible(!s.photoOptions.isEmpty());
    const bool jpeg = s.conversion == QStringLiteral("jpg");
    jpegCaption_->setVisible(jpeg);
    jpegQuality_->setVisible(jpeg);
    jpegValue_->setVisible(jpeg);
}

void ConfirmPage::setOverwriteOffered(bool offered) {
    overwrite_->setVisible(offered);
}

void ConfirmPage::showJpegQuality() {
    jpegValue_->setText(QString::number(jpegQuality_->value()));
}

int ConfirmPage::jpegQuality() const {
    return jpegQuality_->value();
}

void ConfirmPage::setJpegQuality(int quality) {
    jpegQuality_->setValue(quality);
}

bool ConfirmPage::overwrite() const {
    return overwrite_->isChecked();
}

void ConfirmPage::setOverwrite(bool on) {
    overwrite_->setChecked(on);
}

} // namespace pictorant
