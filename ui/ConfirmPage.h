#pragma once

#include <QString>
#include <QWidget>

class QCheckBox;
class QFrame;
class QLabel;
class QPushButton;
class QSlider;

namespace pictorant {

class GradientButton;
class MiddleElidedLabel;

// What the confirmation page lists before GO.
struct JobSummary {
    QString inputFolder;
    QString outputFolder;
    QString fileTypes;
    QString conversion; // the type converted to, or "No Conversion"
    QString outputNames;
    bool thumbnails = false;
    // Thumbnails only:
    QString resizeSpeed; // "Quality" or "Fast"
    bool maintainRatio = false;
    QString width;
    QString height;
    // The photo options that are on, e.g. "Upright by EXIF, sRGB"; empty hides the line.
    QString photoOptions;
};

// The photo options that are on, in words, joined by ", ".
QString photoOptionsText(bool autoOrient, bool toSrgb, bool keepMetadata);

// The fourth page ("tsCS"): the job as it will run, the JPEG quality, overwriting, Back,
// "Show names..." and GO.
class ConfirmPage : public QWidget {
    Q_OBJECT
public:
    explicit ConfirmPage(QWidget* parent = nullptr);

    // Fills the page from `summary`; the JPEG quality shows only for a conversion to jpg.
    void showSummary(const JobSummary& summary);
    // The thumbnail rows show only for a thumbnail job.
    void showThumbnailRows(bool thumbnails, bool maintainRatio);
    // Overwriting is no question for a rename, which never replaces a file.
    void setOverwriteOffered(bool offered);

    int jpegQuality() const;
    void setJpegQuality(int quality);
    bool overwrite() const;
    void setOverwrite(bool on);

signals:
    void backRequested();
    void goRequested();
    void showNamesRequested();

private:
    void showJpegQuality();

    QLabel* title_;
    QLabel* inputCaption_;
    MiddleElidedLabel* input_;
    QLabel* outputCaption_;
    MiddleElidedLabel* output_;
    QLabel* typesCaption_;
    QLabel* types_;
    QLabel* conversionCaption_;
    QLabel* conversion_;
    QLabel* namesCaption_;
    QLabel* names_;
    QFrame* thumbnailTopLine_;
    QLabel* resizeCaption_;
    QLabel* resize_;
    QLabel* sizeCaption_;
    QLabel* widthCaption_;
    QLabel* width_;
    QLabel* heightCaption_;
    QLabel* height_;
    QLabel* largestSideCaption_;
    QLabel* largestSide_;
    QFrame* thumbnailBottomLine_;
    QLabel* jpegCaption_;
    QSlider* jpegQuality_;
    QLabel* jpegValue_;
    QLabel* photoCaption_;
    QLabel* photo_;
    QCheckBox* overwrite_;
    GradientButton* backButton_;
    GradientButton* goButton_;
    QPushButton* showNamesButton_;
};

} // namespace pictorant
