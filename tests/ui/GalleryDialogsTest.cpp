// The gallery's two dialogs: the options dialog's look, its link fields and the frames
// prompt, the layout reminder; the location dialog's file name, replace question
// and file commands; both keep their state in the settings file.

#include "settings/SettingsFile.h"
#include "tests/ui/WizardSupport.h"
#include "ui/DeleteFilesDialog.h"
#include "ui/FramesLinkPrompt.h"
#include "ui/GalleryLocationDialog.h"
#include "ui/GalleryOptionsDialog.h"
#include "ui/LinkModeHelp.h"

namespace pictorant::uitest {
namespace {

class OptionsDialog : public ::testing::Test {
protected:
    OptionsDialog() { form.setCompanions(&help, &prompt); }
    void open() {
        form.prepareForShowing(
            {"/home/ann/web/", "/home/ann/pics/", "/home/ann/web/thumbs/", PathStyle::Posix});
    }
    // Runs the dialog as the gallery flow does; `inside` plays the user.
    int showWith(std::function<void()> inside) {
        script.whileShown("html.options", inside);
        form.setResult(-1);
        return messages().showModal("html.options", form);
    }
    AppGuard app;
    ScriptedMessages script;
    LinkModeHelp help;
    FramesLinkPrompt prompt;
    GalleryOptionsDialog form;
};

// Frames switch the table on; the link to the originals off switches frames off, and
// frames again asks for it; No leaves both off. Hidden values are kept.
TEST_F(OptionsDialog, FramesPullTheTableAndTheLinkAlong) {
    form.show();
    form.pcOptions->setCurrentIndex(1);
    form.rbNavTop->click();
    form.cbUseTable->click();
    EXPECT_FALSE(form.gbTable->isVisible());
    form.cbFrames->click();
    EXPECT_TRUE(form.cbUseTable->isChecked());
    EXPECT_TRUE(form.gbTable->isVisible());
    EXPECT_FALSE(form.gbPages->isVisible());
    EXPECT_FALSE(form.eTCols->isEnabled());
    form.cbHREF->click();
    EXPECT_FALSE(form.cbFrames->isChecked());
    EXPECT_TRUE(form.rgHREF->isHidden());
    EXPECT_TRUE(form.gbNav->isVisible());
    EXPECT_EQ(form.options().NavBtns, NavPlace::Top);
    script.onModal("html.hrefPrompt", [](QDialog& d) {
        ctl<QPushButton>(d, "bNo")->click();
        return d.result();
    });
    form.cbFrames->click();
    EXPECT_EQ(script.modals, QStringList{"html.hrefPrompt"});
    EXPECT_FALSE(form.cbFrames->isChecked() || form.cbHREF->isChecked());
}

TEST_F(OptionsDialog, LinkFieldsAreFilledOnEveryOpening) {
    open();
    EXPECT_EQ(form.eHREF->text(), "../pics/");
    EXPECT_EQ(form.eIMG->text(), "thumbs/");
    form.rgIMG->item(LinkLocal)->click();
    EXPECT_EQ(form.eIMG->text(), "file:///home/ann/web/thumbs/");

    form.rgHREF->item(LinkRelative)->click();
    form.eHREF->setText("mine/");
    form.eHREFExit();
    open();
    EXPECT_EQ(form.eHREF->text(), "../pics/") << "the relative text is worked out again";

    // Pictures on another drive turn relative into local, and a click on relative warns.
    form.prepareForShowing({"C:\\Web\\", "D:\\Pics\\", "C:\\Web\\", PathStyle::Windows});
    EXPECT_EQ(form.rgHREF->itemIndex(), LinkLocal);
    EXPECT_EQ(form.eHREF->text(), "file:///D:\\Pics\\");
    form.rgHREF->item(LinkRelative)->click();
    EXPECT_EQ(script.ids(), QStringList{"html.otherDrive"});

    form.eTWidth->setText("250");
    form.eTWidthExit();
    EXPECT_EQ(form.eTWidth->text(), "100") << "a width above 100 is the most";
}

TEST_F(OptionsDialog, FirstTabOkRemindsOfTheLayoutTabOncePerShowing) {
    open();
    script.answer("html.layoutReminder", MessageAnswer::Cancel);
    script.answer("html.layoutReminder", MessageAnswer::Yes);
    EXPECT_EQ(showWith([this] {
                  form.bOK->click(); // Cancel: stays on the first tab
                  EXPECT_TRUE(form.isVisible());
                  form.bOK->click(); // Yes: goes to the second tab
                  EXPECT_EQ(form.pcOptions->currentIndex(), 1);
                  EXPECT_TRUE(form.layoutTabSeen());
                  form.pcOptions->setCurrentIndex(0);
                  form.bOK->click(); // seen: closes at once
              }),
              QDialog::Accepted);
    open(); // the next showing reminds again
    script.answer("html.layoutReminder", MessageAnswer::No);
    EXPECT_EQ(showWith([this] { form.bOK->click(); }), QDialog::Accepted);
    EXPECT_TRUE(script.allUsed());
}

TEST(GalleryDialogSettings, ChangesReachTheFileAtTheEndAndSetTheLookAtStart) {
    AppGuard app;
    ScriptedMessages script;
    QTemporaryDir dir;
    const std::filesystem::path ini = (dir.path() + "/Pictorant.ini").toStdString();
    {
        SettingsFile file(ini);
        GalleryOptionsDialog form(&file);
        GalleryLocationDialog location(&file);
        form.show();
        form.cbHREF->click();
        form.cbCaption->click();
        form.eTWidth->setText("80");
        form.rgBanr->item(2)->click();
        form.cpCBkgd->setColour(0x0A0B0C);
        location.setHtmlName("Album.html");
    }
    SettingsFile file(ini);
    GalleryOptionsDialog form(&file);
    EXPECT_EQ(GalleryLocationDialog(&file).htmlName(), "Album.html");
    const GalleryOptions o = form.options();
    EXPECT_FALSE(o.LinkOriginal);
    EXPECT_EQ(o.TableWidth, "80");
    EXPECT_EQ(o.BannerHeadSize, 2);
    EXPECT_EQ(o.CellBkgd, 0x0A0B0Cu);
    form.show();
    EXPECT_FALSE(form.rgHREF->isVisible()) << "the look follows without a prompt";
    EXPECT_TRUE(script.modals.isEmpty());
}

TEST(GalleryFileName, KeepsOnlyNamesHoldingDotHtm) {
    for (const char* kept : {"Album.html", "old.htm.bak"})
        EXPECT_EQ(galleryFileName(kept), kept);
    for (const char* refused : {"", "Album", "Album.HTM", "../outside.htm", "sub/page.htm"})
        EXPECT_EQ(galleryFileName(refused), "MyWeb.htm") << refused;
}

class LocationDialog : public ::testing::Test {
protected:
    LocationDialog() {
        for (const char* name : {"b.html", "a.htm", "notes.txt"})
            writeFile(dir.filePath(name));
        QDir(dir.path()).mkdir("sub.htm");
        dialog.setConfirmation(&confirm);
        confirm.setRecycleBin(false);
        dialog.selectFolder(dir.path());
    }
    bool run(std::function<void()> inside) {
        script.whileShown("html.outputDialog", inside);
        dialog.setResult(-1);
        return dialog.execute(dir.path());
    }
    QStringList listed() const {
        QStringList names;
        for (int row = 0; row < dialog.lvFiles->count(); ++row)
            names << dialog.lvFiles->item(row)->text();
        return names;
    }
    AppGuard app;
    QTemporaryDir dir;
    ScriptedMessages script;
    RecordingLauncher launched;
    DeleteFilesDialog confirm;
    GalleryLocationDialog dialog;
};

TEST_F(LocationDialog, AnExistingPageIsOnlyReplacedAfterTheQuestion) {
    dialog.setHtmlName("a.htm");
    script.answer("html.overwrite", MessageAnswer::Cancel);
    script.answer("html.overwrite", MessageAnswer::Ok);
    EXPECT_TRUE(run([this] {
        EXPECT_EQ(listed(), (QStringList{"a.htm", "b.html"}));
        dialog.bOK->click();
        EXPECT_TRUE(dialog.isVisible());
        dialog.bOK->click();
    }));
    EXPECT_EQ(script.ids(), (QStringList{"html.overwrite", "html.overwrite"}));
    EXPECT_EQ(dialog.galleryPath(), dir.filePath("a.htm"));
    dialog.setHtmlName("Album");
    EXPECT_TRUE(run([this] { dialog.bOK->click(); }));
    EXPECT_EQ(dialog.htmlName(), "MyWeb.htm");
    EXPECT_FALSE(run([this] { dialog.bCancel->click(); }));
}

TEST_F(LocationDialog, PopupMenuOpensAndDeletesTheSelectedFiles) {
    auto entry = [this](const QString& text) {
        for (QAction* a : dialog.pmFiles->actions())
            if (a->text() == text)
                return a;
        throw std::runtime_error(text.toStdString());
    };
    entry("Select All")->trigger();
    EXPECT_EQ(dialog.selectedPaths().size(), 2);
    entry("Invert Selection")->trigger();
    dialog.lvFiles->item(1)->setSelected(true);
    entry("Open in Notepad")->trigger();
    EXPECT_EQ(launched.plainEditor, QStringList{dir.filePath("b.html")});
    script.onModal("confirmDeletion", [](QDialog& d) {
        EXPECT_EQ(ctl<QLabel>(d, "lNumDel")->text(), "Confirm deletion of 1 files...");
        return int(QDialog::Rejected);
    });
    entry("Delete Selected Files")->trigger();
    EXPECT_EQ(listed().size(), 2);
    script.onModal("confirmDeletion", [](QDialog&) { return int(QDialog::Accepted); });
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(dialog.lvFiles, &del);
    EXPECT_EQ(listed(), QStringList{"a.htm"});
    dialog.lvFiles->clearSelection();
    QApplication::sendEvent(dialog.lvFiles, &del);
    EXPECT_EQ(script.modals.size(), 2) << "nothing selected asks nothing";
}

} // namespace
} // namespace pictorant::uitest
