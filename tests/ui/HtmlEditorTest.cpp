// The HTML editor: the search rules, the window's save questions, browse and open, its
// find and replace dialogs; then its saves, which never lose text or a file: an existing
// page is rewritten in place through the safe writer (through a link, keeping owner and
// mode), a failed save changes no file and keeps the text unsaved, and a page keeps the
// bytes it was opened with.

#include "tests/support/FileFaults.h"
#include "tests/ui/WizardSupport.h"
#include "ui/FindReplaceDialog.h"
#include "ui/HtmlEditorWindow.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pictorant::uitest {
namespace {

TEST(FindNext, FindsTheExpectedMatch) {
    const FindOptions up{false, false, false}, word{false, true, true};
    const struct {
        const char *text, *needle;
        qsizetype selStart, selEnd;
        FindOptions options;
        qsizetype expected;
    } cases[] = {
        {"abc abc abc", "abc", 0, 0, {}, 0},
        {"abc abc abc", "abc", 0, 3, {}, 4}, // skips the selection
        {"xx ABC", "abc", 0, 0, {true, false, true}, -1},
        {"table tab tab_x tab", "tab", 0, 0, word, 6},
        {"abc abc abc", "abc", 8, 11, up, 4},
        {"abc abc", "abc", 6, 6, up, 0}, // the whole match must lie before the caret
        {"abc abc", "x", 7, 7, up, -1},
        {"tab tabs", "tab", 8, 8, {false, true, false}, 0},
        {"abc abc", "abc", 4, 7, {}, -1},
        {"Überall über", "ÜBER", 1, 1, {}, 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(findNext(QString::fromUtf8(c.text), QString::fromUtf8(c.needle), c.selStart,
                           c.selEnd, c.options),
                  c.expected)
            << c.text << " / " << c.needle << " from " << c.selStart;
    QString text = "a aa aaa";
    EXPECT_EQ(replaceAllMatches(text, "a", "aa", {}), 6);
    EXPECT_EQ(text, "aa aaaa aaaaaa") << "replacements are not searched again";
}

const QString page = "<HTML>\r\n<BODY>\r\n<P>one cat, two cats</P>\r\n</BODY>\r\n</HTML>\r\n";

QString q(const std::string& path) {
    return QString::fromStdString(path);
}

class EditorWindow : public ::testing::Test {
protected:
    void openFile(const std::string& path) {
        script.chooseFile("html.openDialog", q(path));
        editor.bOpenIt->click();
    }
    void saveAs(const std::string& path) {
        script.chooseFile("html.saveDialog", q(path));
        editor.bSaveIt->click();
    }
    void typeAtEnd(const QString& text) {
        editor.Memo1->moveCursor(QTextCursor::End);
        editor.Memo1->insertPlainText(text);
    }
    AppGuard app;
    ScriptedMessages script;
    RecordingLauncher launched;
    HtmlEditorWindow editor;
};

class Editor : public EditorWindow {
protected:
    void SetUp() override { ASSERT_TRUE(editor.showGeneratedPage(page, pagePath, dir.path())); }
    QTemporaryDir dir;
    QString pagePath = dir.filePath("MyWeb.htm");
};

TEST_F(Editor, GeneratedPageIsSavedAndOkAsksOnlyAfterAnEdit) {
    EXPECT_FALSE(editor.isModified());
    editor.bOK->click();
    EXPECT_FALSE(editor.isVisible());

    typeAtEnd("x");
    script.answer("html.okSave", MessageAnswer::Yes);
    script.cancelModal("html.saveDialog");
    editor.bOK->click();
    EXPECT_FALSE(editor.isVisible()) << "a cancelled save dialog still closes";
    EXPECT_EQ(fileBytes(pagePath), page.toUtf8());
    // The close box hides without a question, even with edits.
    typeAtEnd("y");
    editor.close();
    EXPECT_EQ(script.ids(), QStringList{"html.okSave"});
}

TEST_F(Editor, BrowseOfEditsAsksAboutSaving) {
    typeAtEnd("<!-- a -->");
    for (MessageAnswer a : {MessageAnswer::Cancel, MessageAnswer::No, MessageAnswer::Yes})
        script.answer("html.saveChanges", a);
    editor.bBrowse->click();
    EXPECT_TRUE(launched.opened.isEmpty());
    editor.bBrowse->click();
    EXPECT_EQ(fileBytes(pagePath), page.toUtf8());
    editor.bBrowse->click();
    EXPECT_EQ(fileBytes(pagePath), page.toUtf8() + "<!-- a -->");
    EXPECT_EQ(launched.opened, (QStringList{pagePath, pagePath}));
}

TEST_F(Editor, OpenReplacesTheTextAfterTheSaveQuestionAndSavesWithCrLf) {
    editor.setBrowsePath(dir.filePath("Frames.htm"));
    typeAtEnd("kept");
    script.answer("html.openSave", MessageAnswer::No);
    script.onModal("html.openDialog", [](QDialog& d) {
        d.findChild<QLineEdit*>("fileNameEdit")->setText("typed.htm");
        return int(QDialog::Rejected);
    });
    editor.bOpenIt->click();
    EXPECT_EQ(editor.textForSaving(), page + "kept");

    const QString lf = dir.filePath("lf.htm");
    writeFile(lf, "a\nb\xc2\xa0"
                  "c\n");
    script.answer("html.openSave", MessageAnswer::No);
    script.onModal("html.openDialog", [&](QDialog& d) {
        // The name typed before is offered selected, so typing replaces it.
        EXPECT_EQ(d.findChild<QLineEdit*>("fileNameEdit")->selectedText(), "typed.htm");
        static_cast<QFileDialog&>(d).selectFile(lf);
        return int(QDialog::Accepted);
    });
    editor.bOpenIt->click();
    EXPECT_EQ(editor.windowTitle(), "HTML Editor: " + lf);
    EXPECT_EQ(editor.browsePath(), "") << "the frameset is forgotten";
    EXPECT_FALSE(editor.isModified());
    saveAs(lf.toStdString());
    EXPECT_EQ(fileBytes(lf), QByteArray("a\r\nb\xc2\xa0"
                                        "c\r\n"));
}

// The dialogs close with the editor.
TEST_F(Editor, ReplaceDialogReplacesOneOrAllInOneEdit) {
    editor.Memo1->setPlainText("cat Cat concat cat");
    editor.bReplace->click();
    ASSERT_NE(editor.replaceDialog, nullptr);
    editor.replaceDialog->eFind->setText("cat");
    editor.replaceDialog->eReplace->setText("dog");
    editor.replaceDialog->cbWholeWord->setChecked(true);
    // A selection that matches (whole word, any case) is replaced itself.
    ASSERT_TRUE(editor.Memo1->find("Cat", QTextDocument::FindCaseSensitively));
    editor.replaceDialog->bReplaceOne->click();
    EXPECT_EQ(editor.Memo1->toPlainText(), "cat dog concat cat");
    int edits = 0;
    QObject::connect(editor.Memo1->document(), &QTextDocument::contentsChange,
                     [&](int, int, int) { ++edits; });
    editor.replaceDialog->bReplaceAll->click();
    EXPECT_EQ(editor.Memo1->toPlainText(), "dog dog concat dog");
    EXPECT_EQ(edits, 1) << "one change of the text, not one per match";
    editor.bUndo->click(); // and one undo step
    EXPECT_EQ(editor.Memo1->toPlainText(), "cat dog concat cat");
    EXPECT_TRUE(script.asked.empty());
    editor.bFind->click();
    editor.close();
    EXPECT_FALSE(editor.replaceDialog->isVisible() || editor.findDialog->isVisible());
}

using namespace pictorant::testing;
namespace fs = std::filesystem;

class EditorSave : public EditorWindow {
protected:
    ScratchFolder dir;
};

TEST_F(EditorSave, ExistingPageIsRewrittenThroughItsLinkKeepingOwnerAndMode) {
    const std::string real = dir / "real.htm", link = dir / "link.htm";
    writeBytes(real, "<P>old</P>\r\n");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    ASSERT_EQ(::chown(real.c_str(), 4321, 4322), 0) << "the tests run as root";
    fs::create_symlink("real.htm", link);
    openFile(link);
    typeAtEnd("<P>new</P>");
    saveAs(link);
    EXPECT_TRUE(script.asked.empty());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readBytes(real), "<P>old</P>\r\n<P>new</P>");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(4321u, 4322u));
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(namesIn(dir.str()), (std::vector<std::string>{"link.htm", "real.htm"}));
}

// Root is not stopped by a missing write bit, a path through a file or a long name;
// each save must fail, say why, change no file and keep the text unsaved.
TEST_F(EditorSave, RefusedSaveReportsTheCauseKeepsTheTextAndChangesNoFile) {
    const std::string before = dir / "before.htm", locked = dir / "locked.htm";
    writeBytes(before, "<P>start</P>");
    writeBytes(locked, "<P>locked</P>");
    ::chmod(locked.c_str(), 0444);
    writeBytes(dir / "plain.txt", "not a folder");
    openFile(before);
    typeAtEnd("<P>typed</P>");
    const std::vector<std::string> names = namesIn(dir.str());
    const std::pair<std::string, const char*> cases[] = {
        {locked, "Permission denied"},
        {dir / "plain.txt/page.htm", "Not a directory"},
        {dir / overlongName(".htm"), "File name too long"}};
    for (const auto& [target, reason] : cases) {
        saveAs(target);
        EXPECT_EQ(script.last().text, "Cannot create file \"" + q(target) + "\". " + reason + ".");
        EXPECT_TRUE(editor.isModified());
        EXPECT_EQ(editor.fileName(), q(before));
        EXPECT_EQ(editor.textForSaving(), "<P>start</P><P>typed</P>");
        EXPECT_EQ(namesIn(dir.str()), names) << "no temporary file left";
        EXPECT_EQ(readBytes(locked), "<P>locked</P>");
    }
    EXPECT_EQ(script.ids(), QStringList(3, "html.cannotCreate"));
}

// The gallery's page cannot be written: its text is in the editor all the same, unsaved.
TEST_F(EditorSave, GeneratedPageThatCannotBeWrittenStaysUnsavedInTheEditor) {
    const std::string page = dir / "MyWeb.htm";
    fs::create_directory(page);
    EXPECT_FALSE(editor.showGeneratedPage("<P>page</P>", q(page), q(dir.str())));
    EXPECT_EQ(script.last().text, "Cannot create file \"" + q(page) + "\". Is a directory.");
    EXPECT_TRUE(editor.isVisible() && editor.isModified());
    EXPECT_EQ(editor.fileName(), "");
    EXPECT_EQ(editor.textForSaving(), "<P>page</P>");
}

TEST_F(EditorSave, FullFileSystemLeavesTheOldPageWhole) {
    TinyFileSystem tiny(64);
    if (!tiny.mounted())
        GTEST_SKIP() << tiny.skipReason();
    const std::string page = tiny / "MyWeb.htm";
    writeBytes(page, "<P>old</P>\r\n");
    openFile(page);
    typeAtEnd(QString(200 * 1024, QLatin1Char('x')));
    saveAs(page);
    EXPECT_TRUE(script.last().text.endsWith("No space left on device."));
    EXPECT_EQ(readBytes(page), "<P>old</P>\r\n");
    EXPECT_EQ(namesIn(tiny.str()), std::vector<std::string>{"MyWeb.htm"});
    EXPECT_TRUE(editor.isModified());
}

// A page is written back in the encoding it was read in, byte for byte (also the bytes
// Windows-1252 leaves undefined); a letter the encoding lacks becomes a character
// reference; a generated page stays ASCII.
TEST_F(EditorSave, PagesKeepTheirOwnBytes) {
    const std::string latin = "<P>Caf\xe9 \x93"
                              "cr\xe8me\x94 \x80"
                              "5 \x81\x8d\x8f\x90\x9d</P>\r\n";
    const std::string utf8 = "\xef\xbb\xbf<P>na\xc3\xafve \xe2\x82\xac</P>\r\n";
    const std::string generated = "<HTML>\r\n</HTML>\r\n";
    const struct {
        std::string name, bytes;
        PageEncoding encoding;
        std::string typed;
    } cases[] = {
        {"latin.htm", latin, PageEncoding::Windows1252, "&#256;\xe9"},
        {"utf8.htm", utf8, PageEncoding::Utf8, "\xc4\x80\xc3\xa9"},
        {"MyWeb.htm", generated, PageEncoding::Ascii, "&#256;&#233;"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string page = dir / c.name;
        if (c.encoding == PageEncoding::Ascii) {
            ASSERT_TRUE(editor.showGeneratedPage(q(c.bytes), q(page), q(dir.str())));
        } else {
            writeBytes(page, c.bytes);
            openFile(page);
            saveAs(page);
        }
        EXPECT_EQ(editor.encoding(), c.encoding);
        EXPECT_EQ(readBytes(page), c.bytes);
        typeAtEnd(QString::fromUtf8("\u0100\u00e9"));
        saveAs(page);
        EXPECT_EQ(readBytes(page), c.bytes + c.typed);
    }
}

} // namespace
} // namespace pictorant::uitest
