#include "GalleryOptionsDialog.h"
#include "FramesLinkPrompt.h"
#include "GalleryUiScript.h"
#include "LinkModeHelp.h"
#include "settings/SettingsFile.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

namespace pictorant {
namespace {

using testing::ScriptedMessages;

// ---- the look, without widgets ----

struct LookCase {
    const char* name;
    std::function<void(GalleryOptions&)> change;
    std::function<void(OptionsDialogLook&)> expectedChange;
};

class LookTable : public ::testing::TestWithParam<LookCase> {};

TEST_P(LookTable, FollowsTheOptions) {
    GalleryOptions options = factoryGalleryOptions();
    OptionsDialogLook expected = optionsDialogLook(options);
    GetParam().change(options);
    GetParam().expectedChange(expected);
    EXPECT_EQ(optionsDialogLook(options), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LookTable,
    ::testing::Values(
        LookCase{"hrefOffHidesGroupAndField", [](auto& o) { o.LinkOriginal = false; },
                 [](auto& l) { l.hrefGroupShown = l.hrefFieldShown = false; }},
        LookCase{"genericModeHidesField",
                 [](auto& o) { o.OriginalLinkOpt = o.ThumbLinkOpt = LinkGeneric; },
                 [](auto& l) { l.hrefFieldShown = l.imgFieldShown = false; }},
        LookCase{"noBorderHidesSize", [](auto& o) { o.LinkBorder = false; },
                 [](auto& l) { l.borderSizeShown = false; }},
        LookCase{"noCaption", [](auto& o) { o.IncludeCaption = false; },
                 [](auto& l) { l.captionShown = false; }},
        LookCase{"colours", [](auto& o) { o.UseBkgdColor = false, o.UseCellColor = true; },
                 [](auto& l) { l.tableColourShown = false, l.cellColourShown = true; }},
        LookCase{
            "onePageHidesNavigationEvenWithItsValuesKept", [](auto& o) { o.MultiPg = false; },
            [](auto& l) { l.perPageShown = l.navigationShown = l.multiPageHelpShown = false; }},
        LookCase{"noNavButtonsHidesPlaces", [](auto& o) { o.UseNavBtns = false; },
                 [](auto& l) { l.navPlacesShown = false; }},
        LookCase{"noTable", [](auto& o) { o.UseTables = false; },
                 [](auto& l) {
                     l.tablePropertiesShown = l.cellPropertiesShown = l.pageLayoutShown = false;
                     l.navigationShown = l.multiPageHelpShown = false;
                 }},
        LookCase{"frames", [](auto& o) { o.UseFrames = true; },
                 [](auto& l) {
                     l.pageLayoutShown = l.navigationShown = l.multiPageHelpShown = false;
                     l.framesHelpShown = l.frameOptionsShown = true;
                     l.tableChoiceEnabled = l.columnsEnabled = false;
                 }},
        LookCase{"framesLoadedWithTableOffStillShowTheTableProperties",
                 [](auto& o) { o.UseFrames = true, o.UseTables = false; },
                 [](auto& l) {
                     l.pageLayoutShown = l.navigationShown = l.multiPageHelpShown = false;
                     l.framesHelpShown = l.frameOptionsShown = true;
                     l.tableChoiceEnabled = l.columnsEnabled = false;
                 }},
        LookCase{"tileEnablesSampleText", [](auto& o) { o.TileBkgd = true; },
                 [](auto& l) { l.sampleTextEnabled = true; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Colours, ConvertBetweenTheFileOrderAndQColor) {
    EXPECT_EQ(toQColor(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(fromQColor(QColor(0x56, 0x34, 0x12)), 0x123456u);
    for (Colour c : ColourButton::quickPickColours())
        EXPECT_EQ(fromQColor(toQColor(c)), c);
}

// ---- the dialog ----

class OptionsDialogTest : public ::testing::Test {
protected:
    OptionsDialogTest() { form.setCompanions(&help, &prompt); }
    void open(const LinkFolders& folders) { form.prepareForShowing(folders); }
    // Runs the dialog as the gallery flow does; `inside` plays the user.
    int showWith(std::function<void()> inside) {
        script.onModal("html.options", [inside](QDialog& d) {
            d.show();
            inside();
            const int result = d.result();
            d.hide();
            return result;
        });
        form.setResult(-1);
        return messages().showModal("html.options", form);
    }
    static LinkFolders posixFolders() {
        return {"/home/ann/web/", "/home/ann/pics/", "/home/ann/web/thumbs/", PathStyle::Posix};
    }
    testing::ApplicationGuard app;
    ScriptedMessages script;
    LinkModeHelp help;
    FramesLinkPrompt prompt;
    GalleryOptionsDialog form;
};

TEST_F(OptionsDialogTest, HrefOffSwitchesFramesOffAndFramesAgainAsksAndNoLeavesBothOff) {
    form.show();
    form.pcOptions->setCurrentIndex(1);
    form.cbFrames->click();
    ASSERT_TRUE(form.cbFrames->isChecked());
    EXPECT_TRUE(form.lFramesHelp->isVisible());
    EXPECT_FALSE(form.cbUseTable->isEnabled());

    form.cbHREF->click();
    EXPECT_FALSE(form.cbHREF->isChecked());
    EXPECT_FALSE(form.cbFrames->isChecked());
    EXPECT_TRUE(form.rgHREF->isHidden());
    EXPECT_TRUE(form.lMultiHelp->isVisible());
    EXPECT_FALSE(form.lFramesHelp->isVisible());
    EXPECT_TRUE(form.cbUseTable->isEnabled());

    script.onModal("html.hrefPrompt", [](QDialog& d) {
        d.findChild<QPushButton*>("bNo")->click();
        return d.result();
    });
    form.cbFrames->click();
    EXPECT_EQ(script.modals, QStringList{"html.hrefPrompt"});
    EXPECT_FALSE(form.cbFrames->isChecked());
    EXPECT_FALSE(form.cbHREF->isChecked());
    EXPECT_FALSE(form.cbBkgd->isVisible());
}

TEST_F(OptionsDialogTest, PromptYesTakesItsModeButNotItsText) {
    open(posixFolders());
    form.show();
    form.cbHREF->click();
    script.onModal("html.hrefPrompt", [this](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Set HREF to Original Option?");
        EXPECT_EQ(prompt.rgHREF->itemIndex(), LinkRelative);
        EXPECT_EQ(prompt.eHREF->text(), "../pics/");
        EXPECT_FALSE(prompt.cbHREF->isEnabled());
        EXPECT_TRUE(prompt.cbHREF->isChecked());
        prompt.rgHREF->item(LinkLocal)->click();
        EXPECT_EQ(prompt.eHREF->text(), "file:///home/ann/pics/");
        prompt.eHREF->setText("typed in the prompt");
        prompt.bYes->click();
        return d.result();
    });
    form.cbFrames->click();
    EXPECT_TRUE(form.cbFrames->isChecked());
    EXPECT_TRUE(form.cbHREF->isChecked());
    EXPECT_EQ(form.rgHREF->itemIndex(), LinkLocal);
    EXPECT_EQ(form.eHREF->text(), "file:///home/ann/pics/");
    EXPECT_TRUE(form.eHREF->isVisible());
}

TEST_F(OptionsDialogTest, FramesSwitchTheTableOnAndTheTableSwitchesFramesOff) {
    form.show();
    form.pcOptions->setCurrentIndex(1);
    form.cbUseTable->click();
    EXPECT_FALSE(form.gbTable->isVisible());
    EXPECT_FALSE(form.gbNav->isVisible());
    form.cbFrames->click();
    EXPECT_TRUE(form.cbUseTable->isChecked());
    EXPECT_TRUE(form.cbFrames->isChecked());
    EXPECT_TRUE(form.gbTable->isVisible());
    EXPECT_FALSE(form.gbPages->isVisible());
    EXPECT_FALSE(form.lPageLayout->isVisible());
    EXPECT_FALSE(form.eTCols->isEnabled());
    EXPECT_TRUE(form.cbBkgd->isVisible());
    EXPECT_FALSE(form.cbTxt->isEnabled());
    form.cbBkgd->click();
    EXPECT_TRUE(form.cbTxt->isEnabled());

    form.cbFrames->click();
    EXPECT_TRUE(form.eTCols->isEnabled());
    EXPECT_TRUE(form.gbNav->isVisible());
    EXPECT_FALSE(form.cbBkgd->isVisible());
}

TEST_F(OptionsDialogTest, OnePageHidesNavigationButKeepsItsValues) {
    form.show();
    form.pcOptions->setCurrentIndex(1);
    form.rbNavTop->click();
    form.rb1pg->click();
    EXPECT_FALSE(form.gbNav->isVisible());
    EXPECT_FALSE(form.eTperPg->isVisible());
    EXPECT_FALSE(form.lMultiHelp->isVisible());
    EXPECT_EQ(form.options().NavBtns, NavPlace::Top);
    EXPECT_TRUE(form.options().UseNavBtns);
    form.rbMpg->click();
    EXPECT_TRUE(form.gbNav->isVisible());
    form.cbAddNav->click();
    EXPECT_FALSE(form.rbNavTop->isVisible());
}

TEST_F(OptionsDialogTest, DependentFieldsFollowTheirBoxes) {
    form.show();
    form.cbBorder->click();
    EXPECT_FALSE(form.eBorder->isVisible());
    EXPECT_FALSE(form.lBorder->isVisible());
    form.pcOptions->setCurrentIndex(1);
    form.cbCaption->click();
    EXPECT_FALSE(form.eCaption->isVisible());
    EXPECT_FALSE(form.cbCAlign->isVisible());
    form.cbTBColor->click();
    EXPECT_FALSE(form.cpTBkgd->isVisible());
    form.cbCBColor->click();
    EXPECT_TRUE(form.cpCBkgd->isVisible());
    EXPECT_TRUE(form.lCBkgd->isVisible());
}

TEST_F(OptionsDialogTest, WidthAbove100BecomesTheMaximumWhenLeft) {
    for (const auto& [typed, kept] : std::vector<std::pair<QString, QString>>{
             {"250", "100"}, {"101", "100"}, {"100", "100"}, {"0", "0"}, {"abc", "abc"}}) {
        form.eTWidth->setText(typed);
        form.eTWidthExit();
        EXPECT_EQ(form.eTWidth->text(), kept) << typed.toStdString();
    }
}

TEST_F(OptionsDialogTest, LeavingTheWidthFieldByFocusRunsTheRule) {
    form.show();
    form.pcOptions->setCurrentIndex(1);
    form.activateWindow();
    form.eTWidth->setFocus();
    QApplication::processEvents();
    form.eTWidth->setText("250");
    form.eTCols->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(form.eTWidth->text(), "100");
    EXPECT_EQ(form.eTCols->selectedText(), "5"); // entering a number field selects it
}

TEST_F(OptionsDialogTest, LinkFieldsAreFilledOnEveryOpening) {
    open(posixFolders());
    EXPECT_EQ(form.eHREF->text(), "../pics/");
    EXPECT_EQ(form.eIMG->text(), "thumbs/");

    // Same folder for the thumbnails: an empty prefix, bare file names.
    open({"/home/ann/web/thumbs", "/home/ann/pics/", "/home/ann/web/thumbs/", PathStyle::Posix});
    EXPECT_EQ(form.eIMG->text(), "");
    EXPECT_EQ(form.eHREF->text(), "../../pics/");

    form.rgIMG->item(LinkLocal)->click();
    EXPECT_EQ(form.eIMG->text(), "file:///home/ann/web/thumbs/");
    form.rgIMG->item(LinkGeneric)->click();
    EXPECT_EQ(form.eIMG->text(), "");
    EXPECT_TRUE(form.eIMG->isHidden());
}

TEST_F(OptionsDialogTest, InternetTextIsRememberedWhenTheFieldIsLeft) {
    open(posixFolders());
    form.rgHREF->item(LinkInternet)->click();
    EXPECT_EQ(form.eHREF->text(), "http://");
    form.eHREF->setText("http://example.com/big/");
    form.eHREFExit();
    form.rgHREF->item(LinkLocal)->click();
    form.eHREF->setText("not remembered");
    form.eHREFExit();
    form.rgHREF->item(LinkInternet)->click();
    EXPECT_EQ(form.eHREF->text(), "http://example.com/big/");
    EXPECT_EQ(form.options().hrefPrefix, "http://example.com/big/");
    // The relative text is recomputed at the next opening, whatever was typed.
    form.rgHREF->item(LinkRelative)->click();
    form.eHREF->setText("mine/");
    form.eHREFExit();
    open(posixFolders());
    EXPECT_EQ(form.eHREF->text(), "../pics/");
}

TEST_F(OptionsDialogTest, PicturesOnAnotherDriveTurnRelativeIntoLocalAndWarnOnClick) {
    open({"C:\\Web\\", "D:\\Pics\\", "C:\\Web\\", PathStyle::Windows});
    EXPECT_TRUE(script.asked.empty());
    EXPECT_EQ(form.rgHREF->itemIndex(), LinkLocal);
    EXPECT_EQ(form.eHREF->text(), "file:///D:\\Pics\\");
    EXPECT_EQ(form.rgIMG->itemIndex(), LinkRelative);

    script.answer("html.otherDrive", MessageAnswer::Ok);
    form.rgHREF->item(LinkRelative)->click();
    ASSERT_EQ(script.askedIds(), QStringList{"html.otherDrive"});
    EXPECT_EQ(script.asked[0].text,
              "*WARNING* Pictorant cannot use relative\n reference to files on a different drive.");
    EXPECT_EQ(form.rgHREF->itemIndex(), LinkRelative);
    EXPECT_EQ(form.eHREF->text(), "file:///D:\\Pics\\");
}

TEST_F(OptionsDialogTest, FirstTabOkRemindsOfTheLayoutTab) {
    open(posixFolders());
    script.answer("html.layoutReminder", MessageAnswer::Cancel);
    script.answer("html.layoutReminder", MessageAnswer::Yes);
    const int result = showWith([this] {
        form.bOK->click(); // Cancel: stays open on the first tab
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.pcOptions->currentIndex(), 0);
        form.bOK->click(); // Yes: goes to the second tab
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.pcOptions->currentIndex(), 1);
        EXPECT_TRUE(form.layoutTabSeen());
        form.pcOptions->setCurrentIndex(0);
        form.bOK->click(); // seen: closes at once
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(script.asked[0].text,
              "*Reminder* - click the Table and Page Layout\ntab at the top of the window to see "
              "more options. \n\nWould you like to go there now?");
    EXPECT_EQ(script.asked[0].buttons, MessageButtons::YesNoCancel);

    // The next showing starts on the first tab with the reminder due again; No closes.
    open(posixFolders());
    EXPECT_EQ(form.pcOptions->currentIndex(), 0);
    EXPECT_FALSE(form.layoutTabSeen());
    script.answer("html.layoutReminder", MessageAnswer::No);
    EXPECT_EQ(showWith([this] { form.bOK->click(); }), QDialog::Accepted);
    EXPECT_TRUE(script.allUsed());
}

TEST_F(OptionsDialogTest, CancelKeepsEveryChange) {
    open(posixFolders());
    const int result = showWith([this] {
        form.pcOptions->setCurrentIndex(1);
        form.eTCols->setText("3");
        form.rb1pg->click();
        form.eBanr->setText("Holiday & more");
        form.bCancel2->click();
    });
    EXPECT_EQ(result, QDialog::Rejected);
    const GalleryOptions o = form.options();
    EXPECT_EQ(o.Columns, "3");
    EXPECT_FALSE(o.MultiPg);
    EXPECT_EQ(o.BannerString, "Holiday & more");
    EXPECT_EQ(showWith([this] { form.bOK2->click(); }), QDialog::Accepted);
}

TEST_F(OptionsDialogTest, HelpShowsTheLinkModeText) {
    script.onModal("html.help", [this](QDialog& d) {
        EXPECT_EQ(&d, &help);
        EXPECT_EQ(d.windowTitle(), "HTML Options");
        EXPECT_TRUE(help.Memo1->isReadOnly());
        return int(QDialog::Accepted);
    });
    form.bHelp->click();
    EXPECT_EQ(script.modals, QStringList{"html.help"});
    const QString text = linkModesHelpText();
    for (const char* piece :
         {"Local Hard Drive:", "Explicit internet:", "Relative Reference:", "Generic:",
          "file:///C:\\Graphics\\Thumbs\\", "REMEMBER TO ADD THE TRAILING SLASH...", "../Textures/",
          "/Images/", "C:\\My Documents\\My Webs\\Personal", "Html", "file:///home/"})
        EXPECT_TRUE(text.contains(piece)) << piece;
    EXPECT_LT(text.indexOf("Local Hard Drive:"), text.indexOf("Explicit internet:"));
    EXPECT_LT(text.indexOf("Relative Reference:"), text.indexOf("Generic:"));
}

TEST_F(OptionsDialogTest, ColourButtonsPickFromThePaletteAndTheColourDialog) {
    form.cpBanr->findChild<QToolButton*>("swatch9")->click(); // red
    EXPECT_EQ(form.options().BannerText, 0x0000FFu);
    script.onModal("html.colorDialog", [](QDialog& d) {
        static_cast<QColorDialog&>(d).setCurrentColor(QColor(0x56, 0x34, 0x12));
        d.accept();
        return d.result();
    });
    form.cpBack->seeMoreColours();
    EXPECT_EQ(form.options().PageBkgd, 0x123456u);
    const QStringList entries = [this] {
        QStringList texts;
        for (QAction* a : form.cpBack->menu()->actions())
            texts << a->text();
        return texts;
    }();
    EXPECT_EQ(entries, (QStringList{"Quick Pick...", "See More Colors"}));
}

class OptionsSettingsTest : public ::testing::Test {
protected:
    testing::ApplicationGuard app;
    QTemporaryDir dir;
    ScriptedMessages script;
    std::filesystem::path iniPath() const { return (dir.path() + "/Pictorant.ini").toStdString(); }
};

TEST_F(OptionsSettingsTest, ChangesReachTheFileAtTheEndAndComeBackAtStart) {
    {
        SettingsFile file(iniPath());
        GalleryOptionsDialog form(&file);
        form.show();
        form.cbHREF->click();
        form.rb1pg->click();
        form.eTWidth->setText("80");
        form.cbTAlign->setCurrentText("Typed");
        form.rgBanr->item(2)->click();
        form.cpCBkgd->setColour(0x0A0B0C);
    }
    SettingsFile file(iniPath());
    GalleryOptionsDialog again(&file);
    const GalleryOptions o = again.options();
    EXPECT_FALSE(o.LinkOriginal);
    EXPECT_FALSE(o.MultiPg);
    EXPECT_EQ(o.TableWidth, "80");
    EXPECT_EQ(o.TableAlignment, "Typed");
    EXPECT_EQ(o.BannerHeadSize, 2);
    EXPECT_EQ(o.CellBkgd, 0x0A0B0Cu);
    EXPECT_EQ(o.hrefRelativeText, "images/");
}

TEST_F(OptionsSettingsTest, LoadedOptionsSetTheLookWithoutAnyPrompt) {
    QFile ini(QString::fromStdString(iniPath().string()));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Linking]\nLinkOriginal=0\nThumbLinkOpt=3\n[Layout]\nUseFrames=1\nMultiPg=0\n"
              "TileBkgd=1\n[Tables]\nUseCellColor=1\nIncludeCaption=0\n");
    ini.close();
    SettingsFile file(iniPath());
    GalleryOptionsDialog form(&file);
    form.show();
    form.pcOptions->setCurrentIndex(1);
    EXPECT_TRUE(script.modals.isEmpty());
    EXPECT_FALSE(form.rgHREF->isVisible());
    EXPECT_FALSE(form.eIMG->isVisible());
    EXPECT_TRUE(form.lFramesHelp->isVisible());
    EXPECT_FALSE(form.gbNav->isVisible());
    EXPECT_TRUE(form.cbTxt->isEnabled());
    EXPECT_TRUE(form.cpCBkgd->isVisible());
    EXPECT_FALSE(form.eCaption->isVisible());
}

} // namespace
} // namespace pictorant
