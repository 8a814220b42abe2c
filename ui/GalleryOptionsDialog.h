#pragma once

#include "gallery/LinkAddressing.h"
#include "settings/GalleryOptions.h"

#include <QDialog>
#include <QGroupBox>
#include <QString>
#include <QStringList>
#include <QToolButton>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QWidget;

namespace pictorant {

class SettingsFile;
class LinkModeHelp;
class FramesLinkPrompt;

// Which of the options dialog's controls show and which are enabled, as the options
// decide it. One value for every dependent control, so the start-up state and the state
// after any click come from the same rules.
struct OptionsDialogLook {
    bool hrefGroupShown = true;  // rgHREF
    bool hrefFieldShown = true;  // eHREF
    bool imgFieldShown = true;   // eIMG
    bool borderSizeShown = true; // eBorder and "Size"
    bool captionShown = true;    // eCaption, cbCAlign and their labels
    bool tableColourShown = true;
    bool cellColourShown = true;
    bool tablePropertiesShown = true; // "Table Properties"
    bool cellPropertiesShown = true;  // "Cell Properties"
    bool pageLayoutShown = true;      // "Page Layout - Single or MultiPage", "Number of Pages"
    bool perPageShown = true;         // "Thumbnails per Page" and eTperPg
    bool navigationShown = true;      // "Navigation Buttons"
    bool navPlacesShown = true;       // Top, Bottom, Both
    bool multiPageHelpShown = true;
    bool framesHelpShown = false;
    bool frameOptionsShown = false; // "Tile Image in Frame", "Add Sample Text"
    bool sampleTextEnabled = false; // "Add Sample Text"
    bool tableChoiceEnabled = true; // "Use Table for Thumbnail Layout"
    bool columnsEnabled = true;     // "Columns", "Table Alignment", "Caption Alignment"

    bool operator==(const OptionsDialogLook&) const = default;
};

// The look that rules 1 to 11 of the dialog give for `options`. A frames layout counts
// as a table layout (switching frames on switches the table on).
OptionsDialogLook optionsDialogLook(const GalleryOptions& options);

// The four link-mode items, in index order.
QStringList linkModeItems();

// The help label texts of the second tab.
QString multiPageHelpText();
QString framesHelpText();

// A titled group of radio items whose value is the index of the chosen item (-1: none).
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(const QString& title, const QStringList& items, QWidget* parent = nullptr);
    int itemIndex() const;
    // Sets the chosen item without running the click handlers.
    void setItemIndex(int index);
    QRadioButton* item(int index) const;

signals:
    // A click on an item (not setItemIndex).
    void itemClicked(int index);

private:
    QButtonGroup* group_;
};

// A colour button: shows its caption and colour; its menu offers a small palette
// ("Quick Pick...") and the full colour dialog ("See More Colors").
class ColourButton : public QToolButton {
    Q_OBJECT
public:
    explicit ColourButton(const QString& caption, QWidget* parent = nullptr);
    Colour colour() const { return colour_; }
    void setColour(Colour colour);
    // The palette of "Quick Pick...", in the order shown.
    static const std::vector<Colour>& quickPickColours();
    void seeMoreColours();

signals:
    void colourChanged(Colour colour);

private:
    Colour colour_ = 0;
};

QColor toQColor(Colour colour);
Colour fromQColor(const QColor& colour);

// The HTML Options dialog: how the gallery looks and how its links address the pictures.
// It owns the program's GalleryOptions, read from the settings file when created and
// written back when destroyed, and keeps them from one showing to the next, whichever
// way it was closed.
class GalleryOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit GalleryOptionsDialog(SettingsFile* settings = nullptr, QWidget* parent = nullptr);
    ~GalleryOptionsDialog() override;

    // The windows it opens; without them it makes its own.
    void setCompanions(LinkModeHelp* help, FramesLinkPrompt* prompt);

    // The options as the controls hold them, with the run-time fields.
    GalleryOptions options() const;
    // Sets every control and the run-time fields, and the look that goes with them;
    // opens no prompt and fills no link field.
    void setOptions(const GalleryOptions& options);

    // Each showing: recomputes the relative texts and fills both link fields from
    // `folders`, makes the first tab active and clears layoutTabSeen.
    void prepareForShowing(const LinkFolders& folders);
    bool layoutTabSeen() const { return layoutTabSeen_; }

    void cbHREFClick();
    void rgHREFClick();
    void rgIMGClick();
    void eHREFExit();
    void eIMGExit();
    void cbBorderClick();
    void cbCaptionClick();
    void cbTBColorClick();
    void cbCBColorClick();
    void rb1pgClick();
    void rbMpgClick();
    void cbAddNavClick();
    void cbFramesClick();
    void cbUseTableClick();
    void cbBkgdClick();
    void eTWidthExit();
    void pcOptionsChange(int index);
    void bOKClick();
    void bOK2Click();
    void bHelpClick();

    QTabWidget* pcOptions = nullptr;
    QWidget* tsLinking = nullptr;
    QWidget* tsLayout = nullptr;
    // First tab
    QCheckBox* cbHREF = nullptr;
    QLineEdit* eHREF = nullptr;
    RadioGroup* rgHREF = nullptr;
    QLineEdit* eIMG = nullptr;
    RadioGroup* rgIMG = nullptr;
    QCheckBox* cbLinkFName = nullptr;
    RadioGroup* rgDisp = nullptr;
    ColourButton* cpBack = nullptr;
    ColourButton* cpFont = nullptr;
    QCheckBox* cbBorder = nullptr;
    QLabel* lBorder = nullptr;
    QLineEdit* eBorder = nullptr;
    QCheckBox* cbStats = nullptr;
    QLineEdit* eBanr = nullptr;
    ColourButton* cpBanr = nullptr;
    RadioGroup* rgBanr = nullptr;
    QPushButton* bOK = nullptr;
    QPushButton* bHelp = nullptr;
    QPushButton* bCancel = nullptr;
    // Second tab
    QWidget* pLayout = nullptr;
    QGroupBox* gbTable = nullptr;
    QLineEdit* eTCols = nullptr;
    QLineEdit* eTBord = nullptr;
    QLineEdit* eTWidth = nullptr;
    QLineEdit* eTPad = nullptr;
    QLineEdit* eTSpace = nullptr;
    QComboBox* cbTAlign = nullptr;
    QCheckBox* cbTBColor = nullptr;
    QLabel* lTBkgd = nullptr;
    ColourButton* cpTBkgd = nullptr;
    QCheckBox* cbCaption = nullptr;
    QLabel* lCaption = nullptr;
    QLineEdit* eCaption = nullptr;
    QLabel* lCAlign = nullptr;
    QComboBox* cbCAlign = nullptr;
    QGroupBox* gbCell = nullptr;
    QComboBox* cbCHAlign = nullptr;
    QComboBox* cbCVAlign = nullptr;
    QCheckBox* cbCBColor = nullptr;
    QLabel* lCBkgd = nullptr;
    ColourButton* cpCBkgd = nullptr;
    QLabel* lPageLayout = nullptr;
    QGroupBox* gbPages = nullptr;
    QRadioButton* rb1pg = nullptr;
    QRadioButton* rbMpg = nullptr;
    QLabel* lTperPg = nullptr;
    QLineEdit* eTperPg = nullptr;
    QGroupBox* gbNav = nullptr;
    QCheckBox* cbAddNav = nullptr;
    QRadioButton* rbNavTop = nullptr;
    QRadioButton* rbNavBot = nullptr;
    QRadioButton* rbNavBoth = nullptr;
    QLabel* lMultiHelp = nullptr;
    QLabel* lFramesHelp = nullptr;
    QCheckBox* cbUseTable = nullptr;
    QCheckBox* cbFrames = nullptr;
    QCheckBox* cbBkgd = nullptr;
    QCheckBox* cbTxt = nullptr;
    QPushButton* bOK2 = nullptr;
    QPushButton* bCancel2 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLinkingTab();
    void buildLayoutTab();
    void applyLook();
    void setFramesQuietly(bool on);
    void setTablesQuietly(bool on);
    // Sets a link field's text for its group's current mode.
    void fillLinkField(LinkGroup group);
    LinkModeHelp& help();
    FramesLinkPrompt& prompt();

    SettingsFile* settings_ = nullptr;
    LinkModeHelp* help_ = nullptr;
    FramesLinkPrompt* prompt_ = nullptr;
    // Run-time texts that have no control of their own.
    GalleryOptions remembered_;
    LinkFolders folders_;
    bool layoutTabSeen_ = false;
};

} // namespace pictorant
