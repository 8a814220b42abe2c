#include "FindReplaceDialog.h"
#include "GalleryUiScript.h"
#include "HtmlEditorWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFontDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <gtest/gtest.h>

namespace pictorant {
namespace {

using testing::RecordingLauncher;
using testing::ScriptedMessages;

// ---- the search rules, without widgets ----

struct FindCase {
    const char* name;
    const char* text;
    const char* needle;
    qsizetype selStart, selEnd;
    FindOptions options;
    qsizetype expected;
};

class FindNextTable : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindNextTable, FindsTheExpectedMatch) {
    const FindCase& c = GetParam();
    EXPECT_EQ(findNext(c.text, c.needle, c.selStart, c.selEnd, c.options), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Search, FindNextTable,
    ::testing::Values(
        FindCase{"downFromCaret", "abc abc abc", "abc", 0, 0, {}, 0},
        FindCase{"downSkipsSelection", "abc abc abc", "abc", 0, 3, {}, 4},
        FindCase{"downIgnoresCase", "xx ABC", "abc", 0, 0, {}, 3},
        FindCase{"downMatchCaseMisses", "xx ABC", "abc", 0, 0, {true, false, true}, -1},
        FindCase{
            "wholeWordSkipsInsideWord", "table tab tab_x tab", "tab", 0, 0, {false, true, true}, 6},
        FindCase{"wholeWordNotAfterUnderscore", "x_tab tab", "tab", 0, 0, {false, true, true}, 6},
        FindCase{"wholeWordAtEnd", "tabs tab", "tab", 0, 0, {false, true, true}, 5},
        FindCase{
            "upFindsLastBeforeSelection", "abc abc abc", "abc", 8, 11, {false, false, false}, 4},
        FindCase{
            "upNeedsWholeMatchBeforeSelection", "abc abc", "abc", 6, 6, {false, false, false}, 0},
        FindCase{"upFromStartFindsNothing", "abc", "abc", 0, 0, {false, false, false}, -1},
        FindCase{"upWholeWord", "tab tabs", "tab", 8, 8, {false, true, false}, 0},
        FindCase{"emptyNeedle", "abc", "", 0, 0, {}, -1},
        FindCase{"nothingAfterLast", "abc abc", "abc", 4, 7, {}, -1},
        FindCase{"nonAsciiCaseFolding", "Überall über", "ÜBER", 1, 1, {}, 8}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReplaceAllMatches, ReplacesLeftToRightWithoutRescanningReplacements) {
    QString text = "a aa aaa";
    EXPECT_EQ(replaceAllMatches(text, "a", "aa", {}), 6);
    EXPECT_EQ(text, "aa aaaa aaaaaa");

    QString words = "Cat cat concat CAT";
    EXPECT_EQ(replaceAllMatches(words, "cat", "dog", {false, true, false}), 3);
    EXPECT_EQ(words, "dog dog concat dog");

    QString exact = "Cat cat";
    EXPECT_EQ(replaceAllMatches(exact, "cat", "x", {true, false, true}), 1);
    EXPECT_EQ(exact, "Cat x");
}

// ---- the window ----

QString readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<missing>";
    return QString::fromUtf8(f.readAll());
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QString page = "<HTML>\r\n<BODY>\r\n<P>one cat, two cats</P>\r\n</BODY>\r\n</HTML>\r\n";

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        pagePath = dir.filePath("MyWeb.htm");
    }
    void showPage() { ASSERT_TRUE(editor.showGeneratedPage(page, pagePath, dir.path())); }
    void typeAtEnd(const QString& text) {
        editor.Memo1->moveCursor(QTextCursor::End);
        editor.Memo1->insertPlainText(text);
    }
    testing::ApplicationGuard app;
    QTemporaryDir dir;
    QString pagePath;
    ScriptedMessages script;
    RecordingLauncher launched;
    HtmlEditorWindow editor;
};

TEST_F(EditorTest, GeneratedPageIsSavedAndOkClosesWithoutAQuestion) {
    EXPECT_EQ(editor.windowTitle(), "HTML Viewer");
    showPage();
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.windowTitle(), "HTML Editor: " + pagePath);
    EXPECT_EQ(editor.fileName(), pagePath);
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(readFile(pagePath), page); // CR LF kept, final line break kept
    EXPECT_EQ(editor.Memo1->textCursor().position(), 0);

    editor.bOK->click();
    EXPECT_FALSE(editor.isVisible());
    EXPECT_TRUE(script.asked.empty());
    // Hidden, not destroyed: the text is still there for the next showing.
    EXPECT_EQ(editor.textForSaving(), page);
}

TEST_F(EditorTest, OkAfterAnEditAsksAndCancellingTheSaveDialogStillCloses) {
    showPage();
    typeAtEnd("edited");
    script.answer("html.okSave", MessageAnswer::Yes);
    script.cancelModal("html.saveDialog");
    editor.bOK->click();
    ASSERT_EQ(script.askedIds(), QStringList{"html.okSave"});
    EXPECT_EQ(script.asked[0].text,
              "Save File?\n(NOTE - if you changed the relative reference to images, or save the "
              "html in a different location, your html may not work correctly)");
    EXPECT_EQ(script.asked[0].title, "Confirm");
    EXPECT_EQ(script.asked[0].buttons, MessageButtons::YesNo);
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(readFile(pagePath), page);
}

TEST_F(EditorTest, OkAfterAnEditWithYesSavesWhereTheDialogPoints) {
    showPage();
    typeAtEnd("x");
    const QString other = dir.filePath("Other.htm");
    script.answer("html.okSave", MessageAnswer::Yes);
    script.chooseFile("html.saveDialog", other);
    editor.bOK->click();
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(readFile(other), page + "x");
    EXPECT_EQ(readFile(pagePath), page);
}

TEST_F(EditorTest, SaveToANewNameThenBrowseOpensTheNewFileAndKeepsTheCaption) {
    showPage();
    const QString copy = dir.filePath("Copy.htm");
    script.chooseFile("html.saveDialog", copy);
    editor.bSaveIt->click();
    EXPECT_EQ(editor.fileName(), copy);
    EXPECT_EQ(readFile(copy), page);
    EXPECT_EQ(editor.windowTitle(), "HTML Editor: " + pagePath);

    editor.bBrowse->click();
    EXPECT_EQ(launched.opened, QStringList{copy});
    EXPECT_TRUE(script.asked.empty());
}

TEST_F(EditorTest, SaveDialogAddsTheDefaultExtension) {
    showPage();
    script.chooseFile("html.saveDialog", dir.filePath("Album"));
    editor.bSaveIt->click();
    EXPECT_EQ(editor.fileName(), dir.filePath("Album.htm"));
    EXPECT_TRUE(QFile::exists(dir.filePath("Album.htm")));
}

TEST_F(EditorTest, BrowseOpensTheFramesetUntilAnotherFileIsOpened) {
    showPage();
    const QString frameset = dir.filePath("Frames.htm");
    editor.setBrowsePath(frameset);
    editor.bBrowse->click();

    const QString other = dir.filePath("Other.html");
    writeFile(other, "<P>other</P>\n");
    script.chooseFile("html.openDialog", other);
    editor.bOpenIt->click();
    EXPECT_EQ(editor.windowTitle(), "HTML Editor: " + other);
    EXPECT_EQ(editor.browsePath(), "");
    editor.bBrowse->click();
    EXPECT_EQ(launched.opened, (QStringList{frameset, other}));
}

TEST_F(EditorTest, BrowseOfAModifiedTextAsksAboutSaving) {
    showPage();
    typeAtEnd("<!-- a -->");
    script.answer("html.saveChanges", MessageAnswer::Cancel);
    editor.bBrowse->click();
    EXPECT_TRUE(launched.opened.isEmpty());
    EXPECT_TRUE(editor.isModified());

    script.answer("html.saveChanges", MessageAnswer::No);
    editor.bBrowse->click();
    EXPECT_EQ(launched.opened, QStringList{pagePath});
    EXPECT_EQ(readFile(pagePath), page);

    script.answer("html.saveChanges", MessageAnswer::Yes);
    editor.bBrowse->click();
    EXPECT_EQ(readFile(pagePath), page + "<!-- a -->");
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(script.asked.back().text, "File has changed.  Save Changes?");
    EXPECT_EQ(script.asked.back().buttons, MessageButtons::YesNoCancel);
}

TEST_F(EditorTest, BrowseWithoutAFileAsksToSaveFirst) {
    editor.Memo1->setPlainText("<P>new</P>");
    script.answer("html.mustSave", MessageAnswer::No);
    editor.bBrowse->click();
    EXPECT_TRUE(launched.opened.isEmpty());
    EXPECT_EQ(script.asked[0].text, "File must be saved.  Save Now?");

    script.answer("html.mustSave", MessageAnswer::Yes);
    script.cancelModal("html.saveDialog");
    editor.bBrowse->click();
    EXPECT_TRUE(launched.opened.isEmpty());

    const QString target = dir.filePath("New.htm");
    script.answer("html.mustSave", MessageAnswer::Yes);
    script.chooseFile("html.saveDialog", target);
    editor.bBrowse->click();
    EXPECT_EQ(launched.opened, QStringList{target});
    EXPECT_EQ(readFile(target), "<P>new</P>");
    EXPECT_TRUE(script.allUsed());
}

TEST_F(EditorTest, SaveThatCannotCreateTheFileKeepsNameAndModifiedFlag) {
    showPage();
    typeAtEnd("x");
    // A path through a regular file fails even for root.
    const QString bad = pagePath + "/inside.htm";
    script.chooseFile("html.saveDialog", bad);
    script.answer("html.cannotCreate", MessageAnswer::Ok);
    editor.bSaveIt->click();
    ASSERT_EQ(script.askedIds(), QStringList{"html.cannotCreate"});
    EXPECT_TRUE(script.asked[0].text.startsWith("Cannot create file \"" + bad + "\". "));
    EXPECT_TRUE(script.asked[0].text.endsWith("."));
    EXPECT_EQ(script.asked[0].icon, MessageIcon::Stop);
    EXPECT_EQ(editor.fileName(), pagePath);
    EXPECT_TRUE(editor.isModified());
}

TEST_F(EditorTest, GeneratedPageThatCannotBeSavedLeavesNoFileName) {
    script.answer("html.cannotCreate", MessageAnswer::Ok);
    EXPECT_FALSE(editor.showGeneratedPage(page, pagePath + "/x.htm", dir.path()));
    EXPECT_EQ(editor.fileName(), "");
}

TEST_F(EditorTest, OpenThatCannotReadKeepsTextAndFile) {
    showPage();
    const QString bad = pagePath + "/nothing.htm";
    script.chooseFile("html.openDialog", bad);
    script.answer("html.cannotOpen", MessageAnswer::Ok);
    editor.bOpenIt->click();
    ASSERT_EQ(script.askedIds(), QStringList{"html.cannotOpen"});
    EXPECT_TRUE(script.asked[0].text.startsWith("Cannot open file \"" + bad + "\". "));
    EXPECT_EQ(editor.fileName(), pagePath);
    EXPECT_EQ(editor.textForSaving(), page);
}

TEST_F(EditorTest, OpenAfterAnEditOffersToSaveAndCancelKeepsTheText) {
    showPage();
    typeAtEnd("kept");
    script.answer("html.openSave", MessageAnswer::No);
    script.cancelModal("html.openDialog");
    editor.bOpenIt->click();
    EXPECT_TRUE(script.asked[0].text.startsWith("File has changed, Save File?\n(NOTE"));
    EXPECT_EQ(editor.textForSaving(), page + "kept");
    EXPECT_TRUE(editor.isModified());
}

TEST_F(EditorTest, OpenedUnixFileIsSavedWithCrLfAndNonBreakingSpacesKept) {
    const QString lfFile = dir.filePath("lfFile.htm");
    writeFile(lfFile, "a\nb\xc2\xa0"
                      "c\n");
    script.chooseFile("html.openDialog", lfFile);
    editor.bOpenIt->click();
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(editor.fileName(), lfFile);
    script.chooseFile("html.saveDialog", lfFile);
    editor.bSaveIt->click();
    QFile f(lfFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("a\r\nb\xc2\xa0"
                                      "c\r\n"));
}

TEST_F(EditorTest, CloseBoxHidesWithoutAQuestionEvenWhenModified) {
    showPage();
    typeAtEnd("x");
    editor.close();
    EXPECT_FALSE(editor.isVisible());
    EXPECT_TRUE(script.asked.empty());
    EXPECT_TRUE(editor.isModified());
}

TEST_F(EditorTest, SelectionUndoAndLaunchers) {
    showPage();
    editor.bSelAll->click();
    EXPECT_EQ(editor.Memo1->textCursor().selectedText().size(), editor.Memo1->toPlainText().size());
    editor.bDelSel->click();
    EXPECT_FALSE(editor.Memo1->textCursor().hasSelection());
    EXPECT_EQ(editor.Memo1->textCursor().position(), 0);

    typeAtEnd("zz");
    editor.bUndo->click();
    EXPECT_EQ(editor.textForSaving(), page);
    editor.bRedo->click();
    EXPECT_EQ(editor.textForSaving(), page + "zz");

    editor.bNotepad->click();
    editor.bWordpad->click();
    EXPECT_EQ(launched.plainEditor, QStringList{QString()}); // no file, page loaded or not
    EXPECT_EQ(launched.richEditorStarts, 1);
}

TEST_F(EditorTest, FontDialogOkAndApplyChangeTheTextFont) {
    script.onModal("html.fontDialog", [this](QDialog& d) {
        auto& fd = static_cast<QFontDialog&>(d);
        QFont f("DejaVu Sans", 14);
        fd.setCurrentFont(f);
        d.findChild<QPushButton*>("bApply")->click();
        EXPECT_EQ(editor.Memo1->font().pointSize(), 14); // Apply works while it is open
        f.setPointSize(11);
        f.setBold(true);
        fd.setCurrentFont(f);
        script.onModal("html.fontColorDialog", [](QDialog& c) {
            static_cast<QColorDialog&>(c).setCurrentColor(Qt::darkRed);
            return int(QDialog::Accepted);
        });
        d.findChild<QPushButton*>("bColor")->click();
        d.accept();
        return d.result();
    });
    editor.bFont->click();
    EXPECT_EQ(editor.Memo1->font().pointSize(), 11);
    EXPECT_TRUE(editor.Memo1->font().bold());
    EXPECT_EQ(editor.Memo1->palette().color(QPalette::Text), QColor(Qt::darkRed));
}

class EditorSearchTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        editor.show();
        editor.Memo1->setPlainText("cat Cat concat cat");
    }
    void select(int from, int to) {
        QTextCursor c(editor.Memo1->document());
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        editor.Memo1->setTextCursor(c);
    }
    QTextCursor cursor() const { return editor.Memo1->textCursor(); }
};

TEST_F(EditorSearchTest, FindTakesTheSelectionAndLaterReusesTheLastText) {
    select(4, 7); // "Cat"
    editor.bFind->click();
    ASSERT_NE(editor.findDialog, nullptr);
    EXPECT_TRUE(editor.findDialog->isVisible());
    EXPECT_FALSE(editor.findDialog->isModal());
    EXPECT_EQ(editor.findDialog->findText(), "Cat");
    editor.findDialog->bFindNext->click();
    EXPECT_EQ(cursor().selectionStart(), 11); // inside "concat": no whole-word option
    editor.findDialog->hide();

    editor.bDelSel->click();
    editor.bFind->click();
    EXPECT_EQ(editor.findDialog->findText(), "Cat");
    editor.findDialog->cbWholeWord->setChecked(true);
    editor.findDialog->cbMatchCase->setChecked(true);
    editor.findDialog->bFindNext->click();
    EXPECT_EQ(cursor().selectionStart(), 4);
    EXPECT_EQ(cursor().selectionEnd(), 7);

    // Nothing further: the selection stays and no message appears (the script fails
    // the test on any message).
    editor.findDialog->bFindNext->click();
    EXPECT_EQ(cursor().selectionStart(), 4);
    EXPECT_TRUE(script.asked.empty());

    editor.findDialog->rbUp->setChecked(true);
    editor.findDialog->cbMatchCase->setChecked(false);
    select(15, 18);
    editor.findDialog->bFindNext->click();
    EXPECT_EQ(cursor().selectionStart(), 4);
}

TEST_F(EditorSearchTest, ReplaceDialogTakesOverTheFindTextAndReplaces) {
    select(0, 3);
    editor.bFind->click();
    editor.findDialog->hide();
    editor.bDelSel->click();
    editor.bReplace->click();
    ASSERT_NE(editor.replaceDialog, nullptr);
    EXPECT_EQ(editor.replaceDialog->findText(), "cat");
    EXPECT_EQ(editor.replaceDialog->replaceText(), "");
    editor.replaceDialog->eReplace->setText("dog");
    editor.replaceDialog->cbWholeWord->setChecked(true);
    editor.replaceDialog->bReplaceOne->click();
    EXPECT_EQ(editor.Memo1->toPlainText(), "dog Cat concat cat");

    // A selection that is a match is replaced itself, not the match after it.
    select(4, 7);
    editor.replaceDialog->bReplaceOne->click();
    EXPECT_EQ(editor.Memo1->toPlainText(), "dog dog concat cat");

    editor.replaceDialog->eReplace->setText("cat cat");
    editor.replaceDialog->eFind->setText("dog");
    editor.replaceDialog->bReplaceAll->click();
    EXPECT_EQ(editor.Memo1->toPlainText(), "cat cat cat cat concat cat");
    editor.bUndo->click(); // Replace All is one edit
    EXPECT_EQ(editor.Memo1->toPlainText(), "dog dog concat cat");
}

} // namespace
} // namespace pictorant
