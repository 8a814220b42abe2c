#pragma once

#include "gallery/LinkAddressing.h"

#include <QDialog>
#include <QString>
#include <optional>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace pictorant {

class RadioGroup;

// "Set HREF to Original Option?": asked when frames are switched on while the links to
// the originals are off. Its own copy of the link modes lets the user pick one at once.
class FramesLinkPrompt : public QDialog {
    Q_OBJECT
public:
    explicit FramesLinkPrompt(QWidget* parent = nullptr);

    // Shows the prompt modally, starting from the options dialog's HREF mode and text and
    // its remembered relative text. Returns the mode chosen on Yes; nothing on No or
    // Cancel. Its text field is never taken back.
    std::optional<int> ask(int hrefMode, const QString& hrefText, const QString& relativeText,
                           const LinkFolders& folders);

    void rgHREFClick();
    void bYesClick();
    void bNoClick();

    QLabel* lMessage = nullptr;
    QGroupBox* gbLink = nullptr;
    QCheckBox* cbHREF = nullptr;
    RadioGroup* rgHREF = nullptr;
    QLineEdit* eHREF = nullptr;
    QPushButton* bYes = nullptr;
    QPushButton* bNo = nullptr;
    QPushButton* bCancel = nullptr;

private:
    LinkFolders folders_;
    QString relativeText_;
};

} // namespace pictorant
