#include "ui/GalleryOptionsDialog.h"

#include "settings/SettingsFile.h"
#include "ui/FramesLinkPrompt.h"
#include "ui/LinkModeHelp.h"
#include "ui/MessageService.h"
#include "ui/ObjectNames.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace pictorant {

namespace {

QString q(const std::string& text) {
    return QString::fromStdString(text);
}
std::string s(const QString& text) {
    return text.toStdString();
}

QComboBox* comboWith(const char* name, const QStringList& items) {
    auto* combo = named(new QComboBox, name);
    combo->setEditable(true); // typed text goes into the page as it stands
    combo->addItems(items);
    return combo;
}

} // namespace

OptionsDialogLook optionsDialogLook(const GalleryOptions& o) {
    OptionsDialogLook look;
    const bool frames = o.UseFrames;
    const bool tables = o.UseTables || frames;
    const bool pages = tables && !frames;
    look.hrefGroupShown = o.LinkOriginal;
    look.hrefFieldShown = o.LinkOriginal && o.OriginalLinkOpt != LinkGeneric;
    look.imgFieldShown = o.ThumbLinkOpt != LinkGeneric;
    look.borderSizeShown = o.LinkBorder;
    look.captionShown = o.IncludeCaption;
    look.tableColourShown = o.UseBkgdColor;
    look.cellColourShown = o.UseCellColor;
    look.tablePropertiesShown = tables;
    look.cellPropertiesShown = tables;
    look.pageLayoutShown = pages;
    look.perPageShown = o.MultiPg;
    look.navigationShown = pages && o.MultiPg;
    look.navPlacesShown = o.UseNavBtns;
    look.multiPageHelpShown = pages && o.MultiPg;
    look.framesHelpShown = frames;
    look.frameOptionsShown = frames;
    look.sampleTextEnabled = o.TileBkgd;
    look.tableChoiceEnabled = !frames;
    look.columnsEnabled = !frames;
    return look;
}

QStringList linkModeItems() {
    return {"Refer to images on local hard drive (file:///C:\\)",
            "Explicit internet location (http://)", "Relative location (folder/)",
            "Generic location (same folder as html)"};
}

QString multiPageHelpText() {
    return "Additional pages will be saved as 'original'_1.htm, 'original'_2.htm, etc.  If the "
           "original file name is MyWeb.htm, additional pages will be saved as MyWeb_1.htm, "
           "MyWeb_2.htm, and so on.";
}

QString framesHelpText() {
    return "For Frames, the framepage will have the originalname.htm name.  The top frame page "
           "will be named originalnameb.htm (\"b\" for Banner).  The left frame page will be "
           "named originalnamet.htm (\"t\" for Thumbnails).  The right frame page will be named "
           "originalnamep.htm (\"p\" for Pictures).";
}

// ---- RadioGroup ----

RadioGroup::RadioGroup(const QString& title, const QStringList& items, QWidget* parent)
    : QGroupBox(title, parent), group_(new QButtonGroup(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(2);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i]);
        button->setObjectName(QString("item%1").arg(i));
        group_->addButton(button, i);
        layout->addWidget(button);
    }
    connect(group_, &QButtonGroup::idClicked, this, &RadioGroup::itemClicked);
}

int RadioGroup::itemIndex() const {
    return group_->checkedId();
}

void RadioGroup::setItemIndex(int index) {
    if (QAbstractButton* button = group_->button(index)) {
        button->setChecked(true);
        return;
    }
    // No item chosen: an exclusive group cannot uncheck its last button.
    group_->setExclusive(false);
    for (QAbstractButton* button : group_->buttons())
        button->setChecked(false);
    group_->setExclusive(true);
}

QRadioButton* RadioGroup::item(int index) const {
    return static_cast<QRadioButton*>(group_->button(index));
}

// ---- colours ----

QColor toQColor(Colour colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

Colour fromQColor(const QColor& colour) {
    return Colour(colour.red()) | Colour(colour.green()) << 8 | Colour(colour.blue()) << 16;
}

const std::vector<Colour>& ColourButton::quickPickColours() {
    // The sixteen basic web colours and the table grey, as 0x00BBGGRR.
    static const std::vector<Colour> colours = {
        0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080, 0xC0C0C0,
        0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF, 0xA0A0A0};
    return colours;
}

namespace {

QIcon swatch(Colour colour, QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(toQColor(colour));
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    return QIcon(pixmap);
}

} // namespace

ColourButton::ColourButton(const QString& caption, QWidget* parent) : QToolButton(parent) {
    setText(caption);
    setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    setPopupMode(QToolButton::InstantPopup);
    setIconSize(QSize(28, 14));

    auto* menu = new QMenu(this);
    QMenu* quick = menu->addMenu("Quick Pick...");
    quick->setObjectName("quickPick");
    auto* grid = new QWidget;
    auto* gridLayout = new QGridLayout(grid);
    gridLayout->setSpacing(2);
    const auto& colours = quickPickColours();
    for (int i = 0; i < int(colours.size()); ++i) {
        auto* cell = new QToolButton;
        cell->setObjectName(QString("swatch%1").arg(i));
        cell->setAutoRaise(true);
        cell->setIcon(swatch(colours[i], QSize(18, 18)));
        cell->setIconSize(QSize(18, 18));
        const Colour c = colours[i];
        connect(cell, &QToolButton::clicked, this, [this, c, menu] {
            menu->close();
            setColour(c);
        });
        gridLayout->addWidget(cell, i / 8, i % 8);
    }
    auto* gridAction = new QWidgetAction(quick);
    gridAction->setDefaultWidget(grid);
    quick->addAction(gridAction);
    QAction* more = menu->addAction("See More Colors");
    connect(more, &QAction::triggered, this, &ColourButton::seeMoreColours);
    setMenu(menu);
    setColour(0x000000);
}

void ColourButton::setColour(Colour colour) {
    colour_ = colour & 0xFFFFFF;
    setIcon(swatch(colour_, iconSize()));
    emit colourChanged(colour_);
}

void ColourButton::seeMoreColours() {
    QColorDialog dialog(toQColor(colour_), this);
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (messages().showModal("html.colorDialog", dialog) == QDialog::Accepted)
        setColour(fromQColor(dialog.currentColor()));
}

// ---- GalleryOptionsDialog ----

GalleryOptionsDialog::GalleryOptionsDialog(SettingsFile* settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("Form6");
    setWindowTitle("HTML Options");
    pcOptions = named(new QTabWidget, "pcOptions");
    tsLinking = named(new QWidget, "tsLinking");
    tsLayout = named(new QWidget, "tsLayout");
    pcOptions->addTab(tsLinking, "Background and Linking Options");
    pcOptions->addTab(tsLayout, "Table and Page Layout Options");
    auto* top = new QVBoxLayout(this);
    top->addWidget(pcOptions);
    buildLinkingTab();
    buildLayoutTab();

    for (QLineEdit* edit : {eTCols, eTBord, eTWidth, eTPad, eTSpace, eTperPg, eBorder, eHREF, eIMG})
        edit->installEventFilter(this);

    connect(cbHREF, &QCheckBox::clicked, this, &GalleryOptionsDialog::cbHREFClick);
    connect(rgHREF, &RadioGroup::itemClicked, this, &GalleryOptionsDialog::rgHREFClick);
    connect(rgIMG, &RadioGroup::itemClicked, this, &GalleryOptionsDialog::rgIMGClick);
    connect(cbBorder, &QCheckBox::clicked, this, &GalleryOptionsDialog::cbBorderClick);
    connect(cbCaption, &QCheckBox::clicked, this, &GalleryOptionsDialog::cbCaptionClick);
    connect(cbTBColor, &QCheckBox::clicked, this, &GalleryOptionsDialog::cbTBColorClick);
    connect(cbCBColor, &QCheckBox::clicked, this, &GalleryOptionsDialog::cbCBColorClick);
    connect(rb1pg, &QRadioButton::clicked, this, &GalleryOptionsDialog::rb1pgClick);
    connect(rbMpg, &QRadioButton::clicked, this, &GalleryOptionsDialog::rbMpgClick);
    connect(cbAddNav, &QCheckBox::clicked, this, &GalleryOptionsDialog::cbAddNavClick);
    connect(cbFrames, &QCheckBox::clicked, this, &GalleryOptionsDialog::cbFramesClick);
    connect(cbUseTable, &QCheckBox::clicked, this, &GalleryOptionsDialog::cbUseTableClick);
    connect(cbBkgd, &QCheckBox::clicked, this, &GalleryOptionsDialog::cbBkgdClick);
    connect(pcOptions, &QTabWidget::currentChanged, this, &GalleryOptionsDialog::pcOptionsChange);
    connect(bOK, &QPushButton::clicked, this, &GalleryOptionsDialog::bOKClick);
    connect(bOK2, &QPushButton::clicked, this, &GalleryOptionsDialog::bOK2Click);
    connect(bHelp, &QPushButton::clicked, this, &GalleryOptionsDialog::bHelpClick);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(bCancel2, &QPushButton::clicked, this, &QDialog::reject);

    // The run-time texts start at "http://" and "images/"; the file fills the rest.
    GalleryOptions start;
    if (settings_)
        start = readGalleryOptions(*settings_, start);
    setOptions(start);
}

GalleryOptionsDialog::~GalleryOptionsDialog() {
    if (!settings_)
        return;
    try {
        writeGalleryOptions(*settings_, options());
    } catch (const std::exception& error) {
        messages().inform("settingsWriteError", QString::fromStdString(error.what()), "Pictorant",
                          MessageIcon::Stop);
    }
}

void GalleryOptionsDialog::buildLinkingTab() {
    auto* layout = new QGridLayout(tsLinking);

    auto* gbHREF = named(new QGroupBox("Link to Original Images"), "gbHREF");
    auto* hrefLayout = new QGridLayout(gbHREF);
    cbHREF = named(new QCheckBox("HREF to Original File"), "cbHREF");
    eHREF = named(new QLineEdit, "eHREF");
    rgHREF = named(new RadioGroup("HREF Options", linkModeItems()), "rgHREF");
    cbLinkFName = named(new QCheckBox("Include File Name as a Linked Caption"), "cbLinkFName");
    hrefLayout->addWidget(cbHREF, 0, 0);
    hrefLayout->addWidget(eHREF, 0, 1);
    hrefLayout->addWidget(rgHREF, 1, 0, 1, 2);
    hrefLayout->addWidget(cbLinkFName, 2, 0, 1, 2);

    auto* gbIMG = named(new QGroupBox("Link to Thumbnail Images"), "gbIMG");
    auto* imgLayout = new QGridLayout(gbIMG);
    eIMG = named(new QLineEdit, "eIMG");
    rgIMG = named(new RadioGroup("IMG Options", linkModeItems()), "rgIMG");
    imgLayout->addWidget(eIMG, 0, 0);
    imgLayout->addWidget(rgIMG, 1, 0);

    auto* gbDisp = named(new QGroupBox("Original Image Display"), "gbDisp");
    auto* dispLayout = new QVBoxLayout(gbDisp);
    rgDisp = named(new RadioGroup("Dislpay Options", {"Open in Same Window", "Open in New Window"}),
                   "rgDisp");
    dispLayout->addWidget(rgDisp);

    auto* gbColors = named(new QGroupBox("Page Colors"), "gbColors");
    auto* colorsLayout = new QVBoxLayout(gbColors);
    cpBack = named(new ColourButton("Background"), "cpBack");
    cpFont = named(new ColourButton("Text"), "cpFont");
    colorsLayout->addWidget(cpBack);
    colorsLayout->addWidget(cpFont);

    auto* gbThumb = named(new QGroupBox("Thumbnail characteristics"), "gbThumb");
    auto* thumbLayout = new QGridLayout(gbThumb);
    cbBorder = named(new QCheckBox("Border"), "cbBorder");
    lBorder = named(new QLabel("Size"), "lBorder");
    eBorder = named(new QLineEdit, "eBorder");
    eBorder->setMaximumWidth(50);
    cbStats = named(new QCheckBox("Show Statistics in ALT"), "cbStats");
    thumbLayout->addWidget(cbBorder, 0, 0);
    thumbLayout->addWidget(lBorder, 0, 1);
    thumbLayout->addWidget(eBorder, 0, 2);
    thumbLayout->addWidget(cbStats, 1, 0, 1, 3);

    auto* gbBanr = named(new QGroupBox("Web Page Title/Banner Text"), "gbBanr");
    auto* banrLayout = new QGridLayout(gbBanr);
    eBanr = named(new QLineEdit, "eBanr");
    cpBanr = named(new ColourButton("Banner Text Color"), "cpBanr");
    rgBanr = named(new RadioGroup("Banner Text Size", {"Head1", "Head2", "Head3"}), "rgBanr");
    banrLayout->addWidget(eBanr, 0, 0, 1, 2);
    banrLayout->addWidget(cpBanr, 1, 0);
    banrLayout->addWidget(rgBanr, 1, 1);

    bOK = named(new QPushButton("OK"), "bOK");
    bOK->setDefault(true);
    bHelp = named(new QPushButton("&Help!"), "bHelp");
    bCancel = named(new QPushButton("Cancel"), "bCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bOK);
    buttons->addWidget(bHelp);
    buttons->addWidget(bCancel);

    layout->addWidget(gbHREF, 0, 0);
    layout->addWidget(gbIMG, 0, 1);
    layout->addWidget(gbDisp, 1, 0);
    auto* side = new QHBoxLayout;
    side->addWidget(gbColors);
    side->addWidget(gbThumb);
    layout->addLayout(side, 1, 1);
    layout->addWidget(gbBanr, 2, 0, 1, 2);
    layout->addLayout(buttons, 3, 0, 1, 2);
}

void GalleryOptionsDialog::buildLayoutTab() {
    auto* layout = new QVBoxLayout(tsLayout);
    pLayout = named(new QWidget, "pLayout");
    auto* panel = new QGridLayout(pLayout);
    panel->setContentsMargins(0, 0, 0, 0);

    gbTable = named(new QGroupBox("Table Properties"), "gbTable");
    auto* table = new QGridLayout(gbTable);
    eTCols = named(new QLineEdit, "eTCols");
    eTBord = named(new QLineEdit, "eTBord");
    eTWidth = named(new QLineEdit, "eTWidth");
    eTPad = named(new QLineEdit, "eTPad");
    eTSpace = named(new QLineEdit, "eTSpace");
    for (QLineEdit* edit : {eTCols, eTBord, eTWidth, eTPad, eTSpace})
        edit->setMaximumWidth(50);
    cbTAlign = comboWith("cbTAlign", {"Left", "Center", "Right"});
    table->addWidget(new QLabel("Columns"), 0, 0);
    table->addWidget(eTCols, 0, 1);
    table->addWidget(new QLabel("Border size"), 0, 2);
    table->addWidget(eTBord, 0, 3);
    table->addWidget(new QLabel("Width"), 1, 0);
    auto* width = new QHBoxLayout;
    width->addWidget(eTWidth);
    width->addWidget(new QLabel("%"));
    table->addLayout(width, 1, 1);
    table->addWidget(new QLabel("Cell Padding"), 1, 2);
    table->addWidget(eTPad, 1, 3);
    table->addWidget(new QLabel("Cell Spacing"), 2, 2);
    table->addWidget(eTSpace, 2, 3);
    table->addWidget(new QLabel("Table Alignment"), 2, 0);
    table->addWidget(cbTAlign, 2, 1);
    cbTBColor = named(new QCheckBox("Color Background"), "cbTBColor");
    lTBkgd = named(new QLabel("Background Color"), "lTBkgd");
    cpTBkgd = named(new ColourButton(QString()), "cpTBkgd");
    table->addWidget(cbTBColor, 3, 0, 1, 2);
    table->addWidget(lTBkgd, 3, 2);
    table->addWidget(cpTBkgd, 3, 3);
    cbCaption = named(new QCheckBox("Include a Caption with Table"), "cbCaption");
    lCaption = named(new QLabel("Table Caption"), "lCaption");
    eCaption = named(new QLineEdit, "eCaption");
    lCAlign = named(new QLabel("Caption Alignment"), "lCAlign");
    cbCAlign = comboWith("cbCAlign", {"Top", "Bottom", "Left", "Right"});
    table->addWidget(cbCaption, 4, 0, 1, 4);
    table->addWidget(lCaption, 5, 0);
    table->addWidget(eCaption, 5, 1, 1, 3);
    table->addWidget(lCAlign, 6, 0);
    table->addWidget(cbCAlign, 6, 1);

    gbCell = named(new QGroupBox("Cell Properties"), "gbCell");
    auto* cell = new QGridLayout(gbCell);
    cbCHAlign = comboWith("cbCHAlign", {"Left", "Center", "Right"});
    cbCVAlign = comboWith("cbCVAlign", {"Top", "Middle", "Bottom"});
    cbCBColor = named(new QCheckBox("Color Cells"), "cbCBColor");
    lCBkgd = named(new QLabel("Cell Color"), "lCBkgd");
    cpCBkgd = named(new ColourButton(QString()), "cpCBkgd");
    cell->addWidget(new QLabel("Horizontal Alignment"), 0, 0);
    cell->addWidget(cbCHAlign, 0, 1);
    cell->addWidget(new QLabel("Vertical Alignment"), 1, 0);
    cell->addWidget(cbCVAlign, 1, 1);
    cell->addWidget(cbCBColor, 2, 0);
    auto* cellColour = new QHBoxLayout;
    cellColour->addWidget(lCBkgd);
    cellColour->addWidget(cpCBkgd);
    cell->addLayout(cellColour, 2, 1);
    cell->setRowStretch(3, 1);

    lPageLayout = named(new QLabel("Page Layout - Single or MultiPage"), "lPageLayout");
    QFont bold = lPageLayout->font();
    bold.setBold(true);
    lPageLayout->setFont(bold);
    gbPages = named(new QGroupBox("Number of Pages"), "gbPages");
    auto* pages = new QGridLayout(gbPages);
    rb1pg = named(new QRadioButton("One Page"), "rb1pg");
    rbMpg = named(new QRadioButton("Multi-Page"), "rbMpg");
    lTperPg = named(new QLabel("Thumbnails per Page"), "lTperPg");
    eTperPg = named(new QLineEdit, "eTperPg");
    eTperPg->setMaximumWidth(50);
    pages->addWidget(rb1pg, 0, 0);
    pages->addWidget(rbMpg, 1, 0);
    pages->addWidget(lTperPg, 2, 0);
    pages->addWidget(eTperPg, 2, 1);
    gbNav = named(new QGroupBox("Navigation Buttons"), "gbNav");
    auto* nav = new QVBoxLayout(gbNav);
    cbAddNav = named(new QCheckBox("Add Navigation Buttons"), "cbAddNav");
    rbNavTop = named(new QRadioButton("Top"), "rbNavTop");
    rbNavBot = named(new QRadioButton("Bottom"), "rbNavBot");
    rbNavBoth = named(new QRadioButton("Both"), "rbNavBoth");
    nav->addWidget(cbAddNav);
    auto* places = new QHBoxLayout;
    places->addWidget(rbNavTop);
    places->addWidget(rbNavBot);
    places->addWidget(rbNavBoth);
    nav->addLayout(places);

    lMultiHelp = named(new QLabel(multiPageHelpText()), "lMultiHelp");
    lFramesHelp = named(new QLabel(framesHelpText()), "lFramesHelp");
    for (QLabel* help : {lMultiHelp, lFramesHelp}) {
        help->setWordWrap(true);
        help->setStyleSheet("color: navy;");
        // Wrapped to the column's width; the long text must not widen the dialog.
        help->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }

    panel->addWidget(gbTable, 0, 0, 1, 2);
    panel->addWidget(gbCell, 0, 2);
    panel->addWidget(lPageLayout, 1, 0, 1, 3);
    panel->addWidget(gbPages, 2, 0);
    panel->addWidget(gbNav, 2, 1);
    // The two help labels take turns in the same place.
    auto* helpPlace = new QVBoxLayout;
    helpPlace->addWidget(lMultiHelp);
    helpPlace->addWidget(lFramesHelp);
    panel->addLayout(helpPlace, 2, 2);
    layout->addWidget(pLayout);

    cbUseTable = named(new QCheckBox("Use Table for Thumbnail Layout"), "cbUseTable");
    cbFrames = named(new QCheckBox("Use Frames For Display"), "cbFrames");
    cbBkgd = named(new QCheckBox("Tile Image in Frame"), "cbBkgd");
    cbTxt = named(new QCheckBox("Add Sample Text"), "cbTxt");
    bOK2 = named(new QPushButton("OK"), "bOK2");
    bCancel2 = named(new QPushButton("Cancel"), "bCancel2");
    auto* lower = new QGridLayout;
    lower->addWidget(cbUseTable, 0, 0);
    lower->addWidget(cbFrames, 1, 0);
    lower->addWidget(cbBkgd, 0, 1);
    lower->addWidget(cbTxt, 1, 1);
    lower->setColumnStretch(2, 1);
    lower->addWidget(bOK2, 1, 3);
    lower->addWidget(bCancel2, 1, 4);
    layout->addLayout(lower);
    layout->addStretch();
}

void GalleryOptionsDialog::setCompanions(LinkModeHelp* help, FramesLinkPrompt* prompt) {
    help_ = help;
    prompt_ = prompt;
}

LinkModeHelp& GalleryOptionsDialog::help() {
    if (!help_)
        help_ = new LinkModeHelp(this);
    return *help_;
}

FramesLinkPrompt& GalleryOptionsDialog::prompt() {
    if (!prompt_)
        prompt_ = new FramesLinkPrompt(this);
    return *prompt_;
}

GalleryOptions GalleryOptionsDialog::options() const {
    GalleryOptions o = remembered_;
    o.LinkOriginal = cbHREF->isChecked();
    o.OriginalLinkOpt = rgHREF->itemIndex();
    o.ThumbLinkOpt = rgIMG->itemIndex();
    o.LinkName = cbLinkFName->isChecked();
    o.WindowOpt = rgDisp->itemIndex();
    o.LinkBorderSize = s(eBorder->text());
    o.LinkBorder = cbBorder->isChecked();
    o.LinkStats = cbStats->isChecked();
    o.BannerString = s(eBanr->text());
    o.BannerHeadSize = rgBanr->itemIndex();
    o.TileBkgd = cbBkgd->isChecked();
    o.SampleText = cbTxt->isChecked();
    o.ThmPerPage = s(eTperPg->text());
    o.MultiPg = rbMpg->isChecked();
    o.NavBtns = rbNavTop->isChecked()   ? NavPlace::Top
                : rbNavBot->isChecked() ? NavPlace::Bottom
                                        : NavPlace::Both;
    o.UseNavBtns = cbAddNav->isChecked();
    o.UseFrames = cbFrames->isChecked();
    o.PageBkgd = cpBack->colour();
    o.Text = cpFont->colour();
    o.BannerText = cpBanr->colour();
    o.TableBkgd = cpTBkgd->colour();
    o.CellBkgd = cpCBkgd->colour();
    o.Columns = s(eTCols->text());
    o.BorderSize = s(eTBord->text());
    o.TableWidth = s(eTWidth->text());
    o.CellPad = s(eTPad->text());
    o.CellSpace = s(eTSpace->text());
    o.TableAlignment = s(cbTAlign->currentText());
    o.UseBkgdColor = cbTBColor->isChecked();
    o.TableCaption = s(eCaption->text());
    o.IncludeCaption = cbCaption->isChecked();
    o.CaptionAlign = s(cbCAlign->currentText());
    o.CellHAlign = s(cbCHAlign->currentText());
    o.CellVAlign = s(cbCVAlign->currentText());
    o.UseCellColor = cbCBColor->isChecked();
    o.UseTables = cbUseTable->isChecked();
    o.hrefPrefix = s(eHREF->text());
    o.imgPrefix = s(eIMG->text());
    return o;
}

void GalleryOptionsDialog::setOptions(const GalleryOptions& o) {
    remembered_ = o;
    cbHREF->setChecked(o.LinkOriginal);
    rgHREF->setItemIndex(o.OriginalLinkOpt);
    rgIMG->setItemIndex(o.ThumbLinkOpt);
    cbLinkFName->setChecked(o.LinkName);
    rgDisp->setItemIndex(o.WindowOpt);
    eBorder->setText(q(o.LinkBorderSize));
    cbBorder->setChecked(o.LinkBorder);
    cbStats->setChecked(o.LinkStats);
    eBanr->setText(q(o.BannerString));
    rgBanr->setItemIndex(o.BannerHeadSize);
    cbBkgd->setChecked(o.TileBkgd);
    cbTxt->setChecked(o.SampleText);
    eTperPg->setText(q(o.ThmPerPage));
    (o.MultiPg ? rbMpg : rb1pg)->setChecked(true);
    (o.NavBtns == NavPlace::Top      ? rbNavTop
     : o.NavBtns == NavPlace::Bottom ? rbNavBot
                                     : rbNavBoth)
        ->setChecked(true);
    cbAddNav->setChecked(o.UseNavBtns);
    cbFrames->setChecked(o.UseFrames);
    cpBack->setColour(o.PageBkgd);
    cpFont->setColour(o.Text);
    cpBanr->setColour(o.BannerText);
    cpTBkgd->setColour(o.TableBkgd);
    cpCBkgd->setColour(o.CellBkgd);
    eTCols->setText(q(o.Columns));
    eTBord->setText(q(o.BorderSize));
    eTWidth->setText(q(o.TableWidth));
    eTPad->setText(q(o.CellPad));
    eTSpace->setText(q(o.CellSpace));
    cbTAlign->setCurrentText(q(o.TableAlignment));
    cbTBColor->setChecked(o.UseBkgdColor);
    eCaption->setText(q(o.TableCaption));
    cbCaption->setChecked(o.IncludeCaption);
    cbCAlign->setCurrentText(q(o.CaptionAlign));
    cbCHAlign->setCurrentText(q(o.CellHAlign));
    cbCVAlign->setCurrentText(q(o.CellVAlign));
    cbCBColor->setChecked(o.UseCellColor);
    cbUseTable->setChecked(o.UseTables);
    eHREF->setText(q(o.hrefPrefix));
    eIMG->setText(q(o.imgPrefix));
    applyLook();
}

void GalleryOptionsDialog::applyLook() {
    const OptionsDialogLook look = optionsDialogLook(options());
    rgHREF->setVisible(look.hrefGroupShown);
    eHREF->setVisible(look.hrefFieldShown);
    eIMG->setVisible(look.imgFieldShown);
    lBorder->setVisible(look.borderSizeShown);
    eBorder->setVisible(look.borderSizeShown);
    for (QWidget* w : std::initializer_list<QWidget*>{lCaption, eCaption, lCAlign, cbCAlign})
        w->setVisible(look.captionShown);
    lTBkgd->setVisible(look.tableColourShown);
    cpTBkgd->setVisible(look.tableColourShown);
    lCBkgd->setVisible(look.cellColourShown);
    cpCBkgd->setVisible(look.cellColourShown);
    gbTable->setVisible(look.tablePropertiesShown);
    gbCell->setVisible(look.cellPropertiesShown);
    lPageLayout->setVisible(look.pageLayoutShown);
    gbPages->setVisible(look.pageLayoutShown);
    lTperPg->setVisible(look.perPageShown);
    eTperPg->setVisible(look.perPageShown);
    gbNav->setVisible(look.navigationShown);
    for (QRadioButton* place : {rbNavTop, rbNavBot, rbNavBoth})
        place->setVisible(look.navPlacesShown);
    lMultiHelp->setVisible(look.multiPageHelpShown);
    lFramesHelp->setVisible(look.framesHelpShown);
    cbBkgd->setVisible(look.frameOptionsShown);
    cbTxt->setVisible(look.frameOptionsShown);
    cbTxt->setEnabled(look.sampleTextEnabled);
    cbUseTable->setEnabled(look.tableChoiceEnabled);
    eTCols->setEnabled(look.columnsEnabled);
    cbTAlign->setEnabled(look.columnsEnabled);
    cbCAlign->setEnabled(look.columnsEnabled);
}

void GalleryOptionsDialog::fillLinkField(LinkGroup group) {
    GalleryOptions o = options();
    FillLinkField(o, group, folders_);
    if (group == LinkGroup::Href)
        eHREF->setText(q(o.hrefPrefix));
    else
        eIMG->setText(q(o.imgPrefix));
}

void GalleryOptionsDialog::prepareForShowing(const LinkFolders& folders) {
    folders_ = folders;
    GalleryOptions o = options();
    PrepareLinkFieldsOnOpen(o, folders_);
    remembered_ = o;
    rgHREF->setItemIndex(o.OriginalLinkOpt);
    rgIMG->setItemIndex(o.ThumbLinkOpt);
    eHREF->setText(q(o.hrefPrefix));
    eIMG->setText(q(o.imgPrefix));
    pcOptions->setCurrentIndex(0);
    layoutTabSeen_ = false;
    applyLook();
}

void GalleryOptionsDialog::cbHREFClick() {
    if (!cbHREF->isChecked())
        setFramesQuietly(false);
    applyLook();
}

void GalleryOptionsDialog::rgHREFClick() {
    fillLinkField(LinkGroup::Href);
    applyLook();
    if (rgHREF->itemIndex() == LinkRelative && RelativeLinkNeedsWarning(LinkGroup::Href, folders_))
        messages().inform("html.otherDrive",
                          "*WARNING* Pictorant cannot use relative\n reference to files on a "
                          "different drive.",
                          "Pictorant", MessageIcon::None);
}

void GalleryOptionsDialog::rgIMGClick() {
    fillLinkField(LinkGroup::Img);
    applyLook();
    if (rgIMG->itemIndex() == LinkRelative && RelativeLinkNeedsWarning(LinkGroup::Img, folders_))
        messages().inform("html.otherDrive",
                          "*WARNING* Pictorant cannot use relative\n reference to files on a "
                          "different drive.",
                          "Pictorant", MessageIcon::None);
}

void GalleryOptionsDialog::eHREFExit() {
    GalleryOptions o = options();
    RememberLinkFieldText(o, LinkGroup::Href);
    remembered_ = o;
}

void GalleryOptionsDialog::eIMGExit() {
    GalleryOptions o = options();
    RememberLinkFieldText(o, LinkGroup::Img);
    remembered_ = o;
}

void GalleryOptionsDialog::cbBorderClick() {
    applyLook();
}
void GalleryOptionsDialog::cbCaptionClick() {
    applyLook();
}
void GalleryOptionsDialog::cbTBColorClick() {
    applyLook();
}
void GalleryOptionsDialog::cbCBColorClick() {
    applyLook();
}
void GalleryOptionsDialog::rb1pgClick() {
    applyLook();
}
void GalleryOptionsDialog::rbMpgClick() {
    applyLook();
}
void GalleryOptionsDialog::cbAddNavClick() {
    applyLook();
}
void GalleryOptionsDialog::cbBkgdClick() {
    applyLook();
}

void GalleryOptionsDialog::setFramesQuietly(bool on) {
    cbFrames->setChecked(on);
}
void GalleryOptionsDialog::setTablesQuietly(bool on) {
    cbUseTable->setChecked(on);
}

void GalleryOptionsDialog::cbFramesClick() {
    if (cbFrames->isChecked()) {
        if (!cbHREF->isChecked()) {
            const std::optional<int> mode = prompt().ask(rgHREF->itemIndex(), eHREF->text(),
                                                         q(remembered_.hrefRelativeText), folders_);
            if (!mode) {
                setFramesQuietly(false);
                applyLook();
                return;
            }
            cbHREF->setChecked(true);
            rgHREF->setItemIndex(*mode);
            fillLinkField(LinkGroup::Href);
        }
        // Frames are laid out in a table; switching the table on switches frames off,
        // so frames go on again after it.
        if (!cbUseTable->isChecked()) {
            setTablesQuietly(true);
            cbUseTableClick();
            setFramesQuietly(true);
        }
    }
    applyLook();
}

void GalleryOptionsDialog::cbUseTableClick() {
    if (cbUseTable->isChecked())
        setFramesQuietly(false);
    applyLook();
}

void GalleryOptionsDialog::eTWidthExit() {
    bool ok = false;
    const qlonglong width = eTWidth->text().trimmed().toLongLong(&ok);
    if (ok && width > 100)
        eTWidth->setText("100");
}

void GalleryOptionsDialog::pcOptionsChange(int index) {
    if (index == 1)
        layoutTabSeen_ = true;
}

void GalleryOptionsDialog::bOKClick() {
    if (layoutTabSeen_) {
        accept();
        return;
    }
    const MessageAnswer answer = messages().ask(
        {"html.layoutReminder",
         "*Reminder* - click the Table and Page Layout\ntab at the top of the window to see "
         "more options. \n\nWould you like to go there now?",
         "Confirm", MessageIcon::Question, MessageButtons::YesNoCancel});
    if (answer == MessageAnswer::Yes)
        pcOptions->setCurrentIndex(1);
    else if (answer == MessageAnswer::No)
        accept();
}

void GalleryOptionsDialog::bOK2Click() {
    accept();
}

void GalleryOptionsDialog::bHelpClick() {
    messages().showModal("html.help", help());
}

bool GalleryOptionsDialog::eventFilter(QObject* watched, QEvent* event) {
    auto* edit = qobject_cast<QLineEdit*>(watched);
    if (edit && event->type() == QEvent::FocusIn && edit != eHREF && edit != eIMG) {
        // After the click that gave the focus has placed the caret.
        QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    } else if (edit && event->type() == QEvent::FocusOut) {
        if (edit == eTWidth)
            eTWidthExit();
        else if (edit == eHREF)
            eHREFExit();
        else if (edit == eIMG)
            eIMGExit();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pictorant
