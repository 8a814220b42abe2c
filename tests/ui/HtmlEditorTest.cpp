// The HTML editor: the search rules, then the window's save questions, browse and open,
// and its find and replace dialogs.

#include "tests/ui/WizardSupport.h"
#include "ui/FindReplaceDialog.h"
#include "ui/HtmlEditorWindow.h"

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

class Editor : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(editor.showGeneratedPage(page, pagePath, dir.path())); }
    void typeAtEnd(const QString& text) {
        editor.Memo1->moveCursor(QTextCursor::End);
        editor.Memo1->insertPlainText(text);
    }
    QString read(const QString& path) { return QString::fromUtf8(fileBytes(path)); }
    AppGuard app;
    QTemporaryDir dir;
    QString pagePath = dir.filePath("MyWeb.htm");
    ScriptedMessages script;
    RecordingLauncher launched;
    HtmlEditorWindow editor;
};

TEST_F(Editor, GeneratedPageIsSavedAndOkAsksOnlyAfterAnEdit) {
    EXPECT_EQ(editor.windowTitle(), "HTML Editor: " + pagePath);
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(read(pagePath), page); // CR LF and the final line break kept
    editor.bOK->click();
    EXPECT_FALSE(editor.isVisible());
    EXPECT_TRUE(script.asked.empty());

    typeAtEnd("x");
    script.answer("html.okSave", MessageAnswer::Yes);
    script.cancelModal("html.saveDialog");
    editor.bOK->click();
    EXPECT_FALSE(editor.isVisible()) << "a cancelled save dialog still closes";
    EXPECT_EQ(read(pagePath), page);
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
    EXPECT_EQ(read(pagePath), page);
    editor.bBrowse->click();
    EXPECT_EQ(read(pagePath), page + "<!-- a -->");
    EXPECT_EQ(launched.opened, (QStringList{pagePath, pagePath}));
}

// The Open dialog offers the name typed in it before, selected.
TEST_F(Editor, OpenReplacesTheTextAfterTheSaveQuestionAndSavesWithCrLf) {
    const QString frameset = dir.filePath("Frames.htm");
    editor.setBrowsePath(frameset);
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
    script.chooseFile("html.saveDialog", lf);
    editor.bSaveIt->click();
    EXPECT_EQ(fileBytes(lf), QByteArray("a\r\nb\xc2\xa0"
                                        "c\r\n"));
}

// The dialogs close with the editor.
TEST_F(Editor, ReplaceDialogReplacesOneOrAllInOneEdit) {
    editor.Memo1->setPlainText("cat Cat concat cat");
    auto select = [this](int from, int to) {
        QTextCursor c(editor.Memo1->document());
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        editor.Memo1->setTextCursor(c);
    };
    editor.bReplace->click();
    ASSERT_NE(editor.replaceDialog, nullptr);
    editor.replaceDialog->eFind->setText("cat");
    editor.replaceDialog->eReplace->setText("dog");
    editor.replaceDialog->cbWholeWord->setChecked(true);
    select(4, 7); // a selection that matches is replaced itself
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

} // namespace
} // namespace pictorant::uitest
