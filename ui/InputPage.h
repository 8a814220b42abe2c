#pragma once

#include "engine/JobSettings.h"
#include "imaging/Rotate.h"

#include <QString>
#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;
class QToolButton;

namespace pictorant {

class FilePane;
class GradientButton;

// The first page ("tsIFS"): the processing option, the source pane with its mask, the
// selection commands, deletion and rotation of the previewed picture, and Next.
class InputPage : public QWidget {
    Q_OBJECT
public:
    explicit InputPage(QWidget* parent = nullptr);

    FilePane& pane() const { return *pane_; }
    // The processing option as the radio buttons hold it now.
    JobMode chosenMode() const;
    // The source mask as typed or chosen.
    QString mask() const;
    // Rotation needs a picture in the preview box.
    void setRotationEnabled(bool on);

signals:
    void nextRequested();
    void modeChanged(JobMode mode);
    void deleteRequested();
    void rotateRequested(RotateDirection direction);

private:
    void applyMask();

    QLabel* title_;
    QGroupBox* modeGroup_;
    QRadioButton* thumbnailsButton_;
    QRadioButton* renameButton_;
    FilePane* pane_;
    QLabel* maskCaption_;
    QComboBox* mask_;
    QToolButton* selectAllButton_;
    QToolButton* deselectAllButton_;
    QToolButton* invertButton_;
    QToolButton* deleteButton_;
    QToolButton* rotateLeftButton_;
    QToolButton* rotateRightButton_;
    GradientButton* nextButton_;
};

} // namespace pictorant
