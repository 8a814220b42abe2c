#pragma once

#include "engine/JobSettings.h"
#include "settings/MainSettings.h"

#include <QString>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QToolButton;

namespace pictorant {

class FilePane;
class GradientButton;

// The second page ("tsOFO"): the target pane, rename or copy, the type to convert to,
// the qualifier, the sequence start and the naming option, Back and Next.
class OutputPage : public QWidget {
    Q_OBJECT
public:
    explicit OutputPage(QWidget* parent = nullptr);

    FilePane& pane() const { return *pane_; }

    // Shows the controls of `mode`: the rename choice and the image qualifier for
    // renames, the thumbnail qualifier and the target pane for thumbnails.
    void showFor(JobMode mode);
    // The note that renames stay in the source folder, hidden until Rename is chosen.
    void hideRenameNote();
    // Shows or hides the sequence start by the naming option.
    void applyNamingOption();

    // "Rename Files" is chosen (only meaningful for renames).
    bool renameChosen() const;
    QString convertTo() const;
    void setConvertTo(const QString& word);
    void resetConvertTo();
    NamingOption namingOption() const;
    void setNamingOption(NamingOption option);
    // The qualifier the job of `mode` uses.
    QString qualifier(JobMode mode) const;
    // The thumbnail qualifier, the one kept in the settings file.
    QString thumbnailQualifier() const;
    void setThumbnailQualifier(const QString& text);
    QString sequenceStart() const;
    // Upright, sRGB and metadata kept (the job's photo options; strip GPS is the
    // command line's only).
    PhotoOptions photoOptions() const;
    void setPhotoOptions(const PhotoOptions& options);

signals:
    void backRequested();
    void nextRequested();
    // Rename or Copy / Convert was chosen.
    void renameChoiceChanged(bool renameOnly);

private:
    void applyRenameChoice();
    void explainNamingOptions();

    QLabel* title_;
    FilePane* pane_;
    QToolButton* showAllButton_;
    QToolButton* showPicturesButton_;
    QLabel* renameNote_;
    QGroupBox* renameGroup_;
    QRadioButton* renameButton_;
    QRadioButton* copyButton_;
    QLabel* convertCaption_;
    QComboBox* convert_;
    QLabel* qualifierCaption_;
    QLineEdit* thumbnailQualifier_;
    QLineEdit* imageQualifier_;
    QLabel* sequenceCaption_;
    QLineEdit* sequenceStart_;
    QLabel* namingCaption_;
    QComboBox* naming_;
    QToolButton* namingHelpButton_;
    QCheckBox* autoOrient_;
    QCheckBox* toSrgb_;
    QCheckBox* keepMetadata_;
    GradientButton* backButton_;
    GradientButton* nextButton_;
    JobMode mode_ = JobMode::CreateThumbnails;
};

} // namespace pictorant
