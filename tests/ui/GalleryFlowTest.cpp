// "Do HTML!" from end to end: a real thumbnail run, the two dialogs played by a script,
// the pages on disk and the editor holding the right one.

#include "ui/GalleryFlow.h"
#include "engine/BatchEngine.h"
#include "tests/support/TestHost.h"
#include "tests/ui/WizardSupport.h"
#include "ui/GalleryLocationDialog.h"
#include "ui/GalleryOptionsDialog.h"
#include "ui/HtmlEditorWindow.h"

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
        {"rbMpg",
         {"Album.html", "Album_1.htm", "Album_2.htm"},
         "Album.html",
         {"Album_1.htm:window.location.href='Album.html'"}},
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

} // namespace
} // namespace pictorant::uitest
