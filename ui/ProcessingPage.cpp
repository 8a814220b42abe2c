#include "ui/ProcessingPage.h"

#include "ui/GradientProgressBar.h"
#include "ui/PlacedControls.h"

#include <QLabel>
#include <algorithm>

namespace pictorant {

ProcessingPage::ProcessingPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsP"));
    fileCaption_ = placeLabel(this, "lProcCap", QStringLiteral("Processing File:"), 8, 24, 120, 20);
    makeBold(fileCaption_);
    progressLine_ = placeLabel(this, "lProc", QString(), 130, 24, 200, 20);
    progressBar_ = place(new GradientProgressBar(this), "pBar", 8, 54, 556, 24);
    progressBar_->setRange(0, 1);
    progressBar_->setValue(0);
    cancelButton_ = placePageButton(this, "bCancelOp", QStringLiteral("&Cancel"), 232, 96);
    closingLine_ = placeLabel(this, "lDone", QString(), 8, 140, 556, 22);
    closingLine_->setAlignment(Qt::AlignCenter);
    closingLine_->setFont(fileCaption_->font());
    closingLine_->hide();
    startOverButton_ = placePageButton(this, "bStartOver", QStringLiteral("&OK!"), 150, 180);
    startOverButton_->setFocusPolicy(Qt::StrongFocus);
    galleryButton_ = placePageButton(this, "bHTML", QStringLiteral("Do &HTML!"), 318, 180);
    galleryNote_ = placeLabel(
        this, "lDoHTM",
        QStringLiteral("(If HTML is multi-page, only first page will open in the editor)"), 8, 216,
        556, 18);
    galleryNote_->setAlignment(Qt::AlignCenter);
    startOverButton_->hide();
    galleryButton_->hide();
    galleryNote_->hide();

    connect(cancelButton_, &QPushButton::clicked, this, &ProcessingPage::cancelRequested);
    connect(startOverButton_, &QPushButton::clicked, this, &ProcessingPage::startOverRequested);
    connect(galleryButton_, &QPushButton::clicked, this, &ProcessingPage::galleryRequested);
}

void ProcessingPage::startRun(int fileCount) {
    progressLine_->setText(QStringLiteral("1 of ") + QString::number(fileCount));
    cancelButton_->setFocus();
}

void ProcessingPage::setProgressLine(const QString& text) {
    progressLine_->setText(text);
}

void ProcessingPage::setProgressMax(int maximum) {
    progressBar_->setMaximum(std::max(1, maximum));
    progressBar_->setValue(0);
}

void ProcessingPage::setProgressPosition(int position) {
    progressBar_->setValue(position);
}

void ProcessingPage::finishRun(const QString& closingLine) {
    cancelButton_->hide();
    startOverButton_->show();
    galleryButton_->show();
    galleryNote_->show();
    closingLine_->setText(closingLine);
    closingLine_->show();
    startOverButton_->setFocus();
}

void ProcessingPage::reset() {
    progressBar_->setValue(0);
    progressBar_->show();
    closingLine_->hide();
    cancelButton_->show();
    startOverButton_->hide();
    galleryButton_->hide();
    galleryNote_->hide();
}

} // namespace pictorant
