#include "ui/ThumbnailPage.h"

#include "ui/PlacedControls.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

namespace pictorant {

ThumbnailPage::ThumbnailPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsTO"));
    title_ = placeTitle(this, "lTitle3", QStringLiteral("Specify Thumbnail Processing Options"));
    speedGroup_ =
        place(new QGroupBox(QStringLiteral("Resize Speed"), this), "rgResize", 8, 34, 180, 100);
    fastButton_ = place(new QRadioButton(QStringLiteral("Fast Resize"), speedGroup_), "rbFast", 10,
                        24, 160, 20);
    qualityButton_ = place(new QRadioButton(QStringLiteral("Quality Resize"), speedGroup_),
                           "rbQuality", 10, 48, 160, 20);
    smoothButton_ = place(new QRadioButton(QStringLiteral("Smooth Resize"), speedGroup_),
                          "rbSmooth", 10, 72, 160, 20);
    smoothButton_->setToolTip(QStringLiteral(
        "Averages every source pixel: the best thumbnails of photos and text, made quickly"));
    qualityButton_->setChecked(true);

    speedNote_ = placeLabel(
        this, "lResizeNote",
        QStringLiteral(
            "The 'Resize Speed' refers to the speed of thumbnail creation.  As its name implies, "
            "Fast Resize is the quicker of the two, but the image quality is not as good.  I "
            "recommend using Quality Resize, especially for web pages.  It's not much slower, "
            "and produces good quality images. "
            "Smooth Resize averages all the pixels each thumbnail pixel covers, so fine detail "
            "such as handwriting stays legible instead of breaking into dots. "),
        200, 34, 364, 112);
    speedNote_->setWordWrap(true);
    speedNote_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    sizeGroup_ =
        place(new QGroupBox(QStringLiteral("Thumbnail Size"), this), "gbSize", 8, 150, 250, 140);
    widthCaption_ = placeLabel(sizeGroup_, "lW", QStringLiteral("W"), 10, 28, 16, 20);
    width_ = place(new QLineEdit(QStringLiteral("96"), sizeGroup_), "eWidth", 28, 26, 50, 24);
    heightCaption_ = placeLabel(sizeGroup_, "lH", QStringLiteral("H"), 92, 28, 16, 20);
    height_ = place(new QLineEdit(QStringLiteral("96"), sizeGroup_), "eHeight", 110, 26, 50, 24);
    largestSideCaption_ =
        placeLabel(sizeGroup_, "lMaxWH", QStringLiteral("Max Width/Height"), 86, 28, 140, 20);
    largestSideCaption_->hide();
    ratio_ = place(new QCheckBox(QStringLiteral("Maintain aspect ratio"), sizeGroup_), "cbRatio",
                   10, 60, 220, 20);
    forceWidth_ = place(new QCheckBox(QStringLiteral("Force Width"), sizeGroup_), "cbFWidth", 30,
                        84, 180, 20);
    forceHeight_ = place(new QCheckBox(QStringLiteral("Force Height"), sizeGroup_), "cbFHeight", 30,
                         106, 180, 20);
    forceWidth_->hide();
    forceHeight_->hide();

    ratioNote_ = placeLabel(
        this, "lRatioNote",
        QStringLiteral("Maintain Aspect Ratio will keep width and height relative, with the larger "
                       "of the two being the Max Width/Height, unless the source image is already "
                       "smaller than the Max.  For example, if the original image is 400 x 300 "
                       "and max is 100, the new thumb will be 100 x 75."),
        270, 150, 294, 140);
    ratioNote_->setWordWrap(true);
    ratioNote_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    backButton_ = placePageButton(this, "bBck2", QStringLiteral("<= &Back"), 8, 352);
    nextButton_ = placePageButton(this, "bNxt3", QStringLiteral("&Next =>"), 464, 352);

    connect(ratio_, &QCheckBox::toggled, this, &ThumbnailPage::applyRatio);
    // One forced side at most: ticking one clears the other.
    connect(forceWidth_, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            forceHeight_->setChecked(false);
    });
    connect(forceHeight_, &QCheckBox::toggled, this, [this](bool on) {
        if (on)
            forceWidth_->setChecked(false);
    });
    connect(backButton_, &QPushButton::clicked, this, &ThumbnailPage::backRequested);
    connect(nextButton_, &QPushButton::clicked, this, &ThumbnailPage::nextRequested);
}

void ThumbnailPage::applyRatio() {
    const bool ratio = ratio_->isChecked();
    largestSideCaption_->setVisible(ratio);
    forceWidth_->setVisible(ratio);
    forceHeight_->setVisible(ratio);
    widthCaption_->setVisible(!ratio);
    heightCaption_->setVisible(!ratio);
    height_->setVisible(!ratio);
}

ResizeSpeed ThumbnailPage::resizeSpeed() const {
    if (smoothButton_->isChecked())
        return ResizeSpeed::Smooth;
    return qualityButton_->isChecked() ? ResizeSpeed::Quality : ResizeSpeed::Fast;
}

void ThumbnailPage::setResizeSpeed(ResizeSpeed speed) {
    QRadioButton* const buttons[] = {fastButton_, qualityButton_, smoothButton_};
    buttons[int(speed)]->setChecked(true);
}

QString ThumbnailPage::widthText() const {
    return width_->text();
}

QString ThumbnailPage::heightText() const {
    return height_->text();
}

void ThumbnailPage::setSize(const QString& width, const QString& height) {
    width_->setText(width);
    height_->setText(height);
}

bool ThumbnailPage::maintainRatio() const {
    return ratio_->isChecked();
}

void ThumbnailPage::setMaintainRatio(bool on) {
    ratio_->setChecked(on);
}

bool ThumbnailPage::forceWidth() const {
    return forceWidth_->isChecked() && !forceHeight_->isChecked();
}

bool ThumbnailPage::forceHeight() const {
    return forceHeight_->isChecked();
}

void ThumbnailPage::setForced(bool width, bool height) {
    // Width first: ticking Force Height afterwards clears it, so both asked for end as
    // Force Height alone.
    forceWidth_->setChecked(width);
    forceHeight_->setChecked(height);
    if (!width && !height)
        forceWidth_->setChecked(false);
}

} // namespace pictorant
