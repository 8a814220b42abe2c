#pragma once

#include "settings/MainSettings.h"

#include <QString>
#include <QWidget>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace pictorant {

class GradientButton;

// The third page ("tsTO"), for thumbnails only: resize speed, width and height or one
// largest side with the aspect ratio kept, and which side is forced; Back and Next.
class ThumbnailPage : public QWidget {
    Q_OBJECT
public:
    explicit ThumbnailPage(QWidget* parent = nullptr);

    ResizeSpeed resizeSpeed() const;
    void setResizeSpeed(ResizeSpeed speed);
    // The size boxes as typed; they are read as whole numbers when the job is made.
    QString widthText() const;
    QString heightText() const;
    void setSize(const QString& width, const QString& height);
    bool maintainRatio() const;
    void setMaintainRatio(bool on);
    // At most one side is forced: Force Height wins when both are asked for.
    bool forceWidth() const;
    bool forceHeight() const;
    void setForced(bool width, bool height);

signals:
    void backRequested();
    void nextRequested();

private:
    void applyRatio();

    QLabel* title_;
    QGroupBox* speedGroup_;
    QRadioButton* fastButton_;
    QRadioButton* qualityButton_;
    QRadioButton* smoothButton_;
    QLabel* speedNote_;
    QGroupBox* sizeGroup_;
    QLabel* widthCaption_;
    QLineEdit* width_;
    QLabel* heightCaption_;
    QLineEdit* height_;
    QLabel* largestSideCaption_;
    QCheckBox* ratio_;
    QCheckBox* forceWidth_;
    QCheckBox* forceHeight_;
    QLabel* ratioNote_;
    GradientButton* backButton_;
    GradientButton* nextButton_;
};

} // namespace pictorant
