// "Do HTML!" from end to end: a real thumbnail run, the two dialogs played by a script,
// the pages on disk and the editor holding the right one.

#include "GalleryFlow.h"
#include "FilePane.h"
#include "GalleryLocationDialog.h"
#include "GalleryOptionsDialog.h"
#include "GalleryUiScript.h"
#include "GradientButton.h"
#include "GradientProgressBar.h"
#include "HtmlEditorWindow.h"
#include "MainWizard.h"
#include "TestApplication.h"
#include "engine/BatchEngine.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolButton>
#include <gtest/gtest.h>

namespace pictorant {
namespace {

using testing::RecordingLauncher;
using testing::ScriptedMessages;
using uitest::ctl;

class QuietHost : public RunHost {
public:
    void setProgressLine(const std::string&) override {}
    void setProgressMax(int) override {}
    void setProgressPosition(int) override {}
    void showMessage(RunMessage, const std::string& text) override { messages.push_back(text); }
    void processEvents() override {}
    void rereadPanes() override {}
    std::vector<std::string> messages;
};

QString readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return QString::fromUtf8(f.readAll());
}

class DoHtmlFlowTest : public ::testing::Test {
protected:
    DoHtmlFlowTest() {
        pics = dir.filePath("pics");
        thumbs = pics + "/thumbs";
        QDir().mkpath(thumbs);
    }

    // A thumbnail run over `count` copies of a small photo; 96 pixels at most.
    void thumbnailRun(int count) {
        const QString photo = QString(PICTORANT_TEST_DATA) + "/photos/portrait-orientation-6.jpg";
        job.inputDir = pics.toStdString();
        job.outputDir = thumbs.toStdString();
        job.maintainRatio = true;
        for (int i = 1; i <= count; ++i) {
            const QString name = QString("photo%1.jpg").arg(i);
            ASSERT_TRUE(QFile::copy(photo, pics + "/" + name));
            job.sourceFiles.push_back(name.toStdString());
        }
        QuietHost host;
        ASSERT_TRUE(engine.startRun(job, host).complete);
        ASSERT_EQ(engine.galleryEntries().size(), size_t(count));
    }

    // The user keeps the folder the dialog offers and types `name`.
    void outputDialogTakes(const QString& name) {
        script.onModal("html.outputDialog", [this, name](QDialog& d) {
            output.setHtmlName(name);
            output.bOK->click();
            return d.result();
        });
    }
    // The user sets the options with `choose`, then leaves by the second tab's OK.
    void optionsDialogTakes(std::function<void()> choose) {
        script.onModal("html.options", [this, choose](QDialog& d) {
            optionsCaption = d.windowTitle();
            choose();
            options.bOK2->click();
            return d.result();
        });
    }
    QStringList doHtml() {
        return runGalleryFlow(output, options, editor,
                              {engine.galleryEntries(), thumbs, thumbnailMaxSide(job)});
    }
    QStringList htmlFilesIn(const QString& folder) const {
        return QDir(folder).entryList({"*.htm", "*.html"}, QDir::Files, QDir::Name);
    }

    testing::ApplicationGuard app;
    QTemporaryDir dir;
    QString pics, thumbs;
    JobSettings job;
    BatchEngine engine;
    ScriptedMessages script;
    RecordingLauncher launched;
    GalleryLocationDialog output;
    GalleryOptionsDialog options;
    HtmlEditorWindow editor;
    QString optionsCaption;
};

TEST_F(DoHtmlFlowTest, TableGalleryGoesToTheEditorWithLinksFromTheThumbnailFolder) {
    thumbnailRun(3);
    outputDialogTakes("MyWeb.htm");
    optionsDialogTakes([] {});
    editor.setBrowsePath("left over");
    const QStringList written = doHtml();

    const QString page = thumbs + "/MyWeb.htm";
    EXPECT_EQ(written, QStringList{page});
    EXPECT_EQ(optionsCaption, "HTML Options - " + page + " - 3 Files");
    EXPECT_EQ(options.eIMG->text(), "");     // the page lies beside the thumbnails
    EXPECT_EQ(options.eHREF->text(), "../"); // the originals are one folder up
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.windowTitle(), "HTML Editor: " + page);
    EXPECT_EQ(editor.fileName(), page);
    EXPECT_EQ(editor.browsePath(), "");
    EXPECT_TRUE(editor.bBrowse->isEnabled());
    const QString text = readFile(page);
    EXPECT_EQ(editor.textForSaving(), text);
    EXPECT_TRUE(text.contains("SRC=\"Thumb001.jpg\""));
    EXPECT_TRUE(text.contains("HREF=\"../photo3.jpg\""));
    EXPECT_TRUE(text.endsWith("</HTML>\r\n"));
    EXPECT_EQ(text.count("<TR>"), 1); // 5 columns

    editor.bBrowse->click();
    EXPECT_EQ(launched.opened, QStringList{page});
}

TEST_F(DoHtmlFlowTest, MultiPageGalleryLeavesOnlyTheFirstPageInTheEditor) {
    thumbnailRun(5);
    outputDialogTakes("Album.html");
    optionsDialogTakes([this] {
        options.pcOptions->setCurrentIndex(1);
        options.rbMpg->click();
        options.eTperPg->setText("2");
    });
    doHtml();
    EXPECT_EQ(htmlFilesIn(thumbs), (QStringList{"Album.html", "Album_1.htm", "Album_2.htm"}));
    EXPECT_EQ(editor.fileName(), thumbs + "/Album.html");
    EXPECT_EQ(editor.textForSaving(), readFile(thumbs + "/Album.html"));
    EXPECT_TRUE(readFile(thumbs + "/Album_1.htm").contains("window.location.href='Album.html'"));
    EXPECT_TRUE(editor.bBrowse->isEnabled());
}

TEST_F(DoHtmlFlowTest, PlainGalleryHasOneLinePerThumbnail) {
    thumbnailRun(3);
    outputDialogTakes("Plain.htm");
    optionsDialogTakes([this] {
        options.pcOptions->setCurrentIndex(1);
        options.cbUseTable->click();
    });
    doHtml();
    EXPECT_EQ(htmlFilesIn(thumbs), QStringList{"Plain.htm"});
    const QString text = editor.textForSaving();
    EXPECT_FALSE(text.contains("<TABLE"));
    EXPECT_EQ(text.count("<IMG "), 3);
    EXPECT_EQ(editor.browsePath(), "");
}

TEST_F(DoHtmlFlowTest, FramesGalleryShowsTheThumbnailsPageAndBrowsesTheFrameset) {
    thumbnailRun(3);
    outputDialogTakes("MyWeb.htm");
    optionsDialogTakes([this] {
        options.pcOptions->setCurrentIndex(1);
        options.cbFrames->click();
    });
    doHtml();
    EXPECT_EQ(htmlFilesIn(thumbs),
              (QStringList{"MyWeb.htm", "MyWebb.htm", "MyWebp.htm", "MyWebt.htm"}));
    EXPECT_EQ(editor.windowTitle(), "HTML Editor: " + thumbs + "/MyWebt.htm");
    EXPECT_EQ(editor.browsePath(), thumbs + "/MyWeb.htm");
    // 2 x border 1 + thumbnail 96 + 2 x spacing 2 + 2 x padding 2 + 50
    EXPECT_TRUE(readFile(thumbs + "/MyWeb.htm").contains("<FRAMESET COLS=\"156,*\">"));
    editor.bBrowse->click();
    EXPECT_EQ(launched.opened, QStringList{thumbs + "/MyWeb.htm"});
}

TEST_F(DoHtmlFlowTest, CancelInEitherDialogWritesNothing) {
    thumbnailRun(2);
    editor.setBrowsePath("kept");
    script.cancelModal("html.outputDialog");
    EXPECT_TRUE(doHtml().isEmpty());
    EXPECT_EQ(editor.browsePath(), "kept");

    outputDialogTakes("MyWeb.htm");
    script.onModal("html.options", [this](QDialog& d) {
        options.bCancel->click();
        return d.result();
    });
    EXPECT_TRUE(doHtml().isEmpty());
    EXPECT_EQ(editor.browsePath(), ""); // cleared once the location was confirmed
    EXPECT_TRUE(htmlFilesIn(thumbs).isEmpty());
    EXPECT_FALSE(editor.isVisible());
}

TEST_F(DoHtmlFlowTest, AColumnCountThatIsNoNumberStopsBeforeAnyFile) {
    thumbnailRun(2);
    outputDialogTakes("MyWeb.htm");
    optionsDialogTakes([this] { options.eTCols->setText("abc"); });
    script.answer("html.galleryError", MessageAnswer::Ok);
    EXPECT_TRUE(doHtml().isEmpty());
    ASSERT_EQ(script.askedIds(), QStringList{"html.galleryError"});
    EXPECT_EQ(script.asked[0].text, "'abc' is not a valid integer value.");
    EXPECT_EQ(script.asked[0].icon, MessageIcon::Stop);
    EXPECT_TRUE(htmlFilesIn(thumbs).isEmpty());
}

TEST_F(DoHtmlFlowTest, RunWithoutEntriesStartsAtTheOutputFolderAndWritesAnEmptyPage) {
    script.onModal("html.outputDialog", [this](QDialog& d) {
        EXPECT_EQ(output.htmlFolder(), thumbs);
        output.bOK->click();
        return d.result();
    });
    optionsDialogTakes([] {});
    doHtml();
    EXPECT_EQ(optionsCaption, "HTML Options - " + thumbs + "/MyWeb.htm - 0 Files");
    const QString text = readFile(thumbs + "/MyWeb.htm");
    EXPECT_TRUE(text.contains("</TABLE>"));
    EXPECT_FALSE(text.contains("<IMG"));
    EXPECT_EQ(editor.fileName(), thumbs + "/MyWeb.htm");
}

TEST_F(DoHtmlFlowTest, RepeatingTheFlowAsksBeforeReplacingThePage) {
    thumbnailRun(2);
    outputDialogTakes("MyWeb.htm");
    optionsDialogTakes([] {});
    doHtml();
    script.onModal("html.outputDialog", [this](QDialog& d) {
        output.bOK->click();
        return d.result();
    });
    script.answer("html.overwrite", MessageAnswer::Ok);
    optionsDialogTakes([this] { options.eBanr->setText("Second"); });
    doHtml();
    EXPECT_TRUE(readFile(thumbs + "/MyWeb.htm").contains("<TITLE>Second</TITLE>"));
    EXPECT_TRUE(script.allUsed());
}

// Unsaved edits in the editor are never replaced without the save question: Cancel, a
// cancelled save dialog and a failed save each stop the flow before any dialog.
TEST_F(DoHtmlFlowTest, EditedTextIsOfferedASaveBeforeTheGalleryReplacesIt) {
    enum class Then { Stops, GoesOn };
    struct Case {
        const char* name;
        MessageAnswer answer;
        const char* saveTo; // for Yes: the file chosen in the save dialog, "" = cancelled
        Then then;
    };
    const Case cases[] = {
        {"cancel", MessageAnswer::Cancel, nullptr, Then::Stops},
        {"yesButSaveDialogCancelled", MessageAnswer::Yes, "", Then::Stops},
        {"yesButSaveFails", MessageAnswer::Yes, "notes.txt/edited.htm", Then::Stops},
        {"yesSaves", MessageAnswer::Yes, "edited.htm", Then::GoesOn},
        {"no", MessageAnswer::No, nullptr, Then::GoesOn},
    };
    thumbnailRun(1);
    QFile notes(dir.filePath("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.close();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedMessages local;
        editor.Memo1->setPlainText("<P>my own edits</P>");
        editor.Memo1->document()->setModified(true);
        local.answer("html.replaceSave", c.answer);
        if (c.saveTo && QString(c.saveTo).isEmpty())
            local.cancelModal("html.saveDialog");
        else if (c.saveTo)
            local.chooseFile("html.saveDialog", dir.filePath(c.saveTo));
        if (QString(c.name) == "yesButSaveFails")
            local.answer("html.cannotCreate", MessageAnswer::Ok);
        if (c.then == Then::GoesOn) {
            local.onModal("html.outputDialog", [this](QDialog& d) {
                output.setHtmlName("MyWeb.htm");
                output.bOK->click();
                return d.result();
            });
            if (QFile::exists(thumbs + "/MyWeb.htm"))
                local.answer("html.overwrite", MessageAnswer::Ok);
            local.onModal("html.options", [this](QDialog& d) {
                options.bOK2->click();
                return d.result();
            });
        }
        const QStringList written = runGalleryFlow(
            output, options, editor, {engine.galleryEntries(), thumbs, thumbnailMaxSide(job)});

        ASSERT_FALSE(local.asked.empty());
        const MessageRequest& question = local.asked.front();
        EXPECT_EQ(question.id, "html.replaceSave");
        EXPECT_EQ(question.text,
                  "File has changed, Save File?\n(NOTE - if you changed the relative reference "
                  "to images, or save the html in a different location, your html may not work "
                  "correctly)");
        EXPECT_EQ(question.buttons, MessageButtons::YesNoCancel);
        if (c.then == Then::Stops) {
            EXPECT_TRUE(written.isEmpty());
            EXPECT_FALSE(local.modals.contains("html.outputDialog"));
            EXPECT_EQ(editor.textForSaving(), "<P>my own edits</P>");
            EXPECT_TRUE(editor.isModified());
        } else {
            EXPECT_EQ(written, QStringList{thumbs + "/MyWeb.htm"});
            EXPECT_EQ(editor.fileName(), thumbs + "/MyWeb.htm");
            EXPECT_FALSE(editor.isModified());
        }
        EXPECT_TRUE(local.allUsed());
    }
    EXPECT_EQ(readFile(dir.filePath("edited.htm")), "<P>my own edits</P>");
}

TEST_F(DoHtmlFlowTest, UnmodifiedEditorTextIsReplacedWithoutAQuestion) {
    thumbnailRun(1);
    editor.Memo1->setPlainText("<P>saved elsewhere</P>");
    editor.Memo1->document()->setModified(false);
    outputDialogTakes("MyWeb.htm");
    optionsDialogTakes([] {});
    doHtml();
    EXPECT_TRUE(script.asked.empty());
    EXPECT_EQ(editor.fileName(), thumbs + "/MyWeb.htm");
}

// A folder at the page's name: the page cannot be written, but its text is in the
// editor, unsaved, and the failure is reported; later pages are not written.
TEST_F(DoHtmlFlowTest, EditorPageThatCannotBeWrittenStaysInTheEditorUnsaved) {
    struct Case {
        const char* name;
        bool frames;
        const char* editorPage;
        QStringList writtenBefore;
    };
    const Case cases[] = {
        {"table", false, "MyWeb.htm", {}},
        {"frames", true, "MyWebt.htm", {"MyWeb.htm", "MyWebb.htm", "MyWebp.htm"}},
    };
    thumbnailRun(5);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(thumbs).removeRecursively();
        QDir().mkpath(thumbs + "/" + c.editorPage);
        ScriptedMessages local;
        local.onModal("html.outputDialog", [this](QDialog& d) {
            output.setHtmlName("MyWeb.htm");
            output.bOK->click();
            return d.result();
        });
        if (QFileInfo::exists(thumbs + "/MyWeb.htm")) // the folder at the page's name
            local.answer("html.overwrite", MessageAnswer::Ok);
        local.onModal("html.options", [this, &c](QDialog& d) {
            options.pcOptions->setCurrentIndex(1);
            if (options.cbFrames->isChecked() != c.frames)
                options.cbFrames->click();
            if (!c.frames) {
                options.rbMpg->click();
                options.eTperPg->setText("2");
            }
            options.bOK2->click();
            return d.result();
        });
        local.answer("html.cannotCreate", MessageAnswer::Ok);
        const QStringList written = runGalleryFlow(
            output, options, editor, {engine.galleryEntries(), thumbs, thumbnailMaxSide(job)});

        QStringList expected;
        for (const QString& name : c.writtenBefore)
            expected << thumbs + "/" + name;
        EXPECT_EQ(written, expected);
        const QString page = thumbs + "/" + c.editorPage;
        ASSERT_EQ(local.askedIds().last(), "html.cannotCreate");
        EXPECT_EQ(local.askedIds().count("html.cannotCreate"), 1);
        EXPECT_EQ(local.asked.back().text, "Cannot create file \"" + page + "\". Is a directory.");
        EXPECT_EQ(local.asked.back().icon, MessageIcon::Stop);
        EXPECT_TRUE(editor.isVisible());
        EXPECT_EQ(editor.windowTitle(), "HTML Editor: " + page);
        EXPECT_TRUE(editor.isModified());
        EXPECT_EQ(editor.fileName(), "");
        EXPECT_TRUE(editor.textForSaving().contains("Thumb001.jpg"));
        EXPECT_TRUE(editor.bBrowse->isEnabled());
        EXPECT_EQ(htmlFilesIn(thumbs), QStringList(c.writtenBefore)) << "no later page is written";
        EXPECT_TRUE(local.allUsed());

        // Saved under another name, the page is whole.
        local.chooseFile("html.saveDialog", dir.filePath("rescued.htm"));
        editor.bSaveIt->click();
        EXPECT_EQ(readFile(dir.filePath("rescued.htm")), editor.textForSaving());
        EXPECT_TRUE(readFile(dir.filePath("rescued.htm")).endsWith("</HTML>\r\n"));
    }
}

// The main window's "Do HTML!" button runs the flow with its own windows; before any run
// the dialog starts at the target pane's folder and the page has no pictures.
TEST(DoHtmlMainWindow, ButtonRunsTheFlowAndResetRestoresTheFileName) {
    testing::ApplicationGuard app;
    QTemporaryDir dir;
    ScriptedMessages script;
    MainWizard form(nullptr);
    GalleryLocationDialog output;
    GalleryOptionsDialog options;
    HtmlEditorWindow editor;
    form.sideWindows().htmlOut = &output;
    form.sideWindows().htmlOptions = &options;
    form.sideWindows().htmlEditor = &editor;
    ASSERT_TRUE(form.targetPane().setFolder(dir.path()));

    script.onModal("html.outputDialog", [&](QDialog& d) {
        EXPECT_EQ(output.htmlFolder(), dir.path());
        output.setHtmlName("Start.htm");
        output.bOK->click();
        return d.result();
    });
    script.onModal("html.options", [&](QDialog& d) {
        options.bOK2->click();
        return d.result();
    });
    ctl<GradientButton>(form, "bHTML")->click();
    EXPECT_EQ(editor.fileName(), dir.filePath("Start.htm"));
    EXPECT_FALSE(readFile(dir.filePath("Start.htm")).contains("<IMG"));

    script.answer("resetDefaults", MessageAnswer::Yes);
    ctl<QToolButton>(form, "sbDefaults")->click();
    EXPECT_EQ(output.htmlName(), "MyWeb.htm");
}

// "Do HTML!" on the main window asks about the editor's edits before anything else.
TEST(DoHtmlMainWindow, CancelOnTheEditorsSaveQuestionShowsNoDialog) {
    testing::ApplicationGuard app;
    ScriptedMessages script;
    MainWizard form(nullptr);
    GalleryLocationDialog output;
    GalleryOptionsDialog options;
    HtmlEditorWindow editor;
    form.sideWindows().htmlOut = &output;
    form.sideWindows().htmlOptions = &options;
    form.sideWindows().htmlEditor = &editor;
    editor.Memo1->setPlainText("<P>typed</P>");
    editor.Memo1->document()->setModified(true);
    script.answer("html.replaceSave", MessageAnswer::Cancel);
    ctl<GradientButton>(form, "bHTML")->click();
    EXPECT_EQ(script.askedIds(), QStringList{"html.replaceSave"});
    EXPECT_TRUE(script.modals.isEmpty());
    EXPECT_EQ(editor.textForSaving(), "<P>typed</P>");
}

} // namespace
} // namespace pictorant
