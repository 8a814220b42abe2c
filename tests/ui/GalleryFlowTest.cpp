// "Do HTML!" from end to end: a real thumbnail run, the two dialogs played by a script,
// the pages on disk and the editor holding the right one.

#include "ui/GalleryFlow.h"
#include "engine/BatchEngine.h"
#include "settings/SettingsFile.h"
#include "tests/support/TestHost.h"
#include "tests/ui/WizardSupport.h"
#include "ui/DeleteFilesDialog.h"
#include "ui/FramesLinkPrompt.h"
#include "ui/GalleryLocationDialog.h"
#include "ui/GalleryOptionsDialog.h"
#include "ui/HtmlEditorWindow.h"
#include "ui/LinkModeHelp.h"

namespace pictorant::uitest {
namespace {

QString readText(const QString& path) {
    return QString::fromUtf8(fileBytes(path));
}

class DoHtml : public ::testing::Test {
protected:
    // A thumbnail run over `count` copies of a photo into pics/thumbs; 96 pixels at most.
    void thumbnailRun(int count) {
        QDir().mkpath(thumbs);
        job.inputDir = pics.toStdString();
        job.outputDir = thumbs.toStdString();
        job.maintainRatio = true;
        for (int i = 1; i <= count; ++i) {
            const QString name = QString("photo%1.jpg").arg(i);
            QFile::copy(QString(PICTORANT_TEST_DATA) + "/photos/portrait-orientation-6.jpg",
                        pics + "/" + name);
            job.sourceFiles.push_back(name.toStdString());
        }
        RunState unused;
        pictorant::testing::TestHost host(unused);
        ASSERT_TRUE(engine.startRun(job, host).complete);
    }
    // The user types `name` in the location dialog, then sets the options with `choose`
    // and leaves by OK (or Cancel).
    void play(
        ScriptedMessages& s, const QString& name, std::function<void()> choose = [] {},
        bool ok = true) {
        s.onModal("html.outputDialog", [this, name](QDialog& d) {
            output.setHtmlName(name);
            output.bOK->click();
            return d.result();
        });
        if (QFileInfo::exists(thumbs + "/" + name))
            s.answer("html.overwrite", MessageAnswer::Ok);
        s.onModal("html.options", [this, choose, ok](QDialog& d) {
            optionsCaption = d.windowTitle();
            options.pcOptions->setCurrentIndex(1);
            choose();
            (ok ? options.bOK2 : options.bCancel)->click();
            return d.result();
        });
    }
    QStringList doHtml() {
        return runGalleryFlow(output, options, editor,
                              {engine.galleryEntries(), thumbs, thumbnailMaxSide(job)});
    }
    QStringList htmlFiles() const {
        return QDir(thumbs).entryList({"*.htm", "*.html"}, QDir::Files, QDir::Name);
    }

    AppGuard app;
    QTemporaryDir dir;
    QString pics = dir.path(), thumbs = pics + "/thumbs";
    JobSettings job;
    BatchEngine engine;
    ScriptedMessages messages;
    RecordingLauncher launched;
    GalleryLocationDialog output;
    GalleryOptionsDialog options;
    HtmlEditorWindow editor;
    QString optionsCaption;
};

// One row per kind: the pages written, the page in the editor, the page "Open in
// Browser" opens, and pieces of the pages that show the kind.
TEST_F(DoHtml, EachKindWritesItsPagesAndShowsTheRightOneInTheEditor) {
    const struct {
        const char* choice; // the option clicked
        QStringList pages;  // the first is the name typed and the page the browser opens
        const char* editorPage;
        QStringList pieces; // "page:text"
    } kinds[] = {
        // The page lies beside the thumbnails, the originals one folder up.
        {nullptr,
         {"MyWeb.htm"},
         "MyWeb.htm",
         {"MyWeb.htm:SRC=\"Thumb005.jpg\"", "MyWeb.htm:HREF=\"../photo5.jpg\""}},
        {"rbMpg", {"Album.html", "Album_1.htm", "Album_2.htm"}, "Album.html", {}},
        {"cbUseTable", {"Plain.htm"}, "Plain.htm", {"Plain.htm:<IMG "}},
        // Column width 2 x border 1 + thumbnail 96 + 2 x spacing 2 + 2 x padding 2 + 50.
        {"cbFrames",
         {"MyWeb.htm", "MyWebb.htm", "MyWebp.htm", "MyWebt.htm"},
         "MyWebt.htm",
         {"MyWeb.htm:<FRAMESET COLS=\"156,*\">"}},
    };
    thumbnailRun(5);
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.pages.last().toStdString());
        QDir(thumbs).removeRecursively();
        QDir().mkpath(thumbs);
        options.setOptions(factoryGalleryOptions());
        editor.setBrowsePath("left over");
        play(messages, k.pages[0], [&] {
            if (QString(k.choice) == "rbMpg")
                options.eTperPg->setText("2");
            if (k.choice)
                ctl<QAbstractButton>(options, k.choice)->click();
        });
        EXPECT_EQ(doHtml().size(), k.pages.size());
        EXPECT_EQ(optionsCaption, "HTML Options - " + thumbs + "/" + k.pages[0] + " - 5 Files");
        EXPECT_EQ(htmlFiles(), k.pages);
        for (const QString& piece : k.pieces)
            EXPECT_TRUE(
                readText(thumbs + "/" + piece.section(':', 0, 0)).contains(piece.section(':', 1)))
                << piece.toStdString();
        const QString shown = thumbs + "/" + k.editorPage;
        EXPECT_TRUE(editor.isVisible());
        EXPECT_EQ(editor.windowTitle(), "HTML Editor: " + shown);
        EXPECT_EQ(editor.textForSaving(), readText(shown));
        editor.bBrowse->click();
        EXPECT_EQ(launched.opened.last(), thumbs + "/" + k.pages[0]);
    }
    EXPECT_TRUE(messages.asked.empty());
}

TEST_F(DoHtml, CancelInEitherDialogOrAColumnCountThatIsNoNumberWritesNothing) {
    thumbnailRun(2);
    editor.setBrowsePath("kept");
    messages.cancelModal("html.outputDialog");
    EXPECT_TRUE(doHtml().isEmpty());
    EXPECT_EQ(editor.browsePath(), "kept");
    play(
        messages, "MyWeb.htm", [] {}, false);
    EXPECT_TRUE(doHtml().isEmpty());
    EXPECT_EQ(editor.browsePath(), ""); // cleared once the location was confirmed
    play(messages, "MyWeb.htm", [this] { options.eTCols->setText("abc"); });
    EXPECT_TRUE(doHtml().isEmpty());
    EXPECT_EQ(messages.ids(), QStringList{"html.galleryError"});
    EXPECT_EQ(messages.last().text, "'abc' is not a valid integer value.");
    EXPECT_TRUE(htmlFiles().isEmpty());
    EXPECT_FALSE(editor.isVisible());
}

// Unsaved edits are never replaced without the save question: Cancel, a cancelled save
// dialog and a failed save each stop the flow before any dialog.
TEST_F(DoHtml, EditedTextIsOfferedASaveBeforeTheGalleryReplacesIt) {
    const struct {
        MessageAnswer answer; // Ok: the text is not modified
        const char* saveTo;   // for Yes: the file chosen, "" = the save dialog cancelled
        bool goesOn;
    } cases[] = {{MessageAnswer::Cancel, nullptr, false},
                 {MessageAnswer::Yes, "", false},
                 {MessageAnswer::Yes, "notes.txt/edited.htm", false},
                 {MessageAnswer::Yes, "edited.htm", true},
                 {MessageAnswer::No, nullptr, true},
                 {MessageAnswer::Ok, nullptr, true}};
    thumbnailRun(1);
    writeFile(dir.filePath("notes.txt"));
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.answer) * 10 + (c.saveTo ? int(strlen(c.saveTo)) : -1));
        ScriptedMessages local;
        editor.Memo1->setPlainText("<P>my own edits</P>");
        editor.Memo1->document()->setModified(c.answer != MessageAnswer::Ok);
        if (c.answer != MessageAnswer::Ok)
            local.answer("html.replaceSave", c.answer);
        if (c.saveTo && !*c.saveTo)
            local.cancelModal("html.saveDialog");
        else if (c.saveTo)
            local.chooseFile("html.saveDialog", dir.filePath(c.saveTo));
        if (c.goesOn)
            play(local, "MyWeb.htm");
        EXPECT_EQ(doHtml().isEmpty(), !c.goesOn);
        EXPECT_EQ(local.ids().contains("html.replaceSave"), c.answer != MessageAnswer::Ok);
        EXPECT_EQ(editor.isModified(), !c.goesOn);
        EXPECT_TRUE(c.goesOn || editor.textForSaving() == "<P>my own edits</P>");
        EXPECT_TRUE(local.allUsed());
    }
    EXPECT_EQ(readText(dir.filePath("edited.htm")), "<P>my own edits</P>");
}

// The main window's "Do HTML!" runs the flow with its own windows; before any run the
// page has no pictures.
TEST_F(DoHtml, MainWindowButtonRunsTheFlowWithItsOwnWindows) {
    MainWizard form(nullptr);
    form.sideWindows().htmlOut = &output;
    form.sideWindows().htmlOptions = &options;
    form.sideWindows().htmlEditor = &editor;
    QDir().mkpath(thumbs);
    ASSERT_TRUE(form.targetPane().setFolder(thumbs));
    play(messages, "Start.htm");
    ctl<GradientButton>(form, "bHTML")->click();
    EXPECT_EQ(optionsCaption, "HTML Options - " + thumbs + "/Start.htm - 0 Files");
    EXPECT_EQ(editor.fileName(), thumbs + "/Start.htm");
    EXPECT_FALSE(readText(thumbs + "/Start.htm").contains("<IMG"));
}

// ---- the two dialogs on their own: the options dialog's look, its link fields and the
// frames prompt, the layout reminder; the location dialog's file name, replace question
// and file commands; both keep their state in the settings file.
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
