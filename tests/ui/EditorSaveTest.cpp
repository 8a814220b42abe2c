// The editor's saves never lose text or a file: they go through the safe writer (an
// existing page is rewritten in place, through a link, keeping its mode; a page whose
// mode has no write bit is refused even for root), and a page keeps the bytes it was
// opened with.

#include "GalleryUiScript.h"
#include "HtmlEditorWindow.h"
#include "support/FileFaults.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pictorant {
namespace {

using pictorant::testing::namesIn;
using pictorant::testing::readBytes;
using pictorant::testing::ScratchFolder;
using pictorant::testing::ScriptedMessages;
using pictorant::testing::writeBytes;

namespace fs = std::filesystem;

const std::string generated = "<HTML>\r\n<BODY>\r\n<P>cats</P>\r\n</BODY>\r\n</HTML>\r\n";

mode_t modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

class EditorSave : public ::testing::Test {
protected:
    QString q(const std::string& path) const { return QString::fromStdString(path); }
    // Opens `path` through the open dialog, as the user would.
    void openFile(const std::string& path) {
        script.chooseFile("html.openDialog", q(path));
        editor.bOpenIt->click();
    }
    // "Save File" to `path`.
    void saveAs(const std::string& path) {
        script.chooseFile("html.saveDialog", q(path));
        editor.bSaveIt->click();
    }
    void typeAtEnd(const QString& text) {
        editor.Memo1->moveCursor(QTextCursor::End);
        editor.Memo1->insertPlainText(text);
    }

    pictorant::testing::ApplicationGuard app;
    ScratchFolder dir;
    ScriptedMessages script;
    HtmlEditorWindow editor;
};

TEST_F(EditorSave, ExistingPageIsRewrittenThroughItsLinkKeepingItsMode) {
    const std::string real = dir / "real.htm";
    const std::string link = dir / "link.htm";
    writeBytes(real, "<P>old</P>\r\n");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    fs::create_symlink("real.htm", link);

    openFile(link);
    typeAtEnd("<P>new</P>");
    saveAs(link);

    EXPECT_TRUE(script.askedIds().isEmpty());
    EXPECT_TRUE(fs::is_symlink(link)) << "the link stays a link";
    EXPECT_EQ(readBytes(real), "<P>old</P>\r\n<P>new</P>");
    EXPECT_EQ(modeOf(real), 0640u);
    EXPECT_FALSE(editor.isModified());
    EXPECT_EQ(namesIn(dir.str()), (std::vector<std::string>{"link.htm", "real.htm"}));
}

TEST_F(EditorSave, RewriteKeepsTheOwnerOfAnotherUsersPage) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "handing a file to another user needs root";
    const std::string page = dir / "theirs.htm";
    writeBytes(page, "<P>theirs</P>");
    ASSERT_EQ(::chown(page.c_str(), 4321, 4322), 0);
    openFile(page);
    typeAtEnd("!");
    saveAs(page);
    struct stat st {};
    ASSERT_EQ(::stat(page.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
    EXPECT_EQ(readBytes(page), "<P>theirs</P>!");
}

struct RefusedCase {
    const char* name;
    // Makes the target in `folder` and returns its path.
    std::string (*prepare)(const ScratchFolder& folder);
    const char* reason;
};

std::string readOnlyPage(const ScratchFolder& folder) {
    const std::string page = folder / "locked.htm";
    writeBytes(page, "<P>locked</P>");
    ::chmod(page.c_str(), 0444);
    return page;
}

std::string throughARegularFile(const ScratchFolder& folder) {
    writeBytes(folder / "plain.txt", "not a folder");
    return folder / "plain.txt/page.htm";
}

std::string overlongName(const ScratchFolder& folder) {
    return folder / pictorant::testing::overlongName(".htm");
}

class RefusedSave : public EditorSave, public ::testing::WithParamInterface<RefusedCase> {};

// Root is not stopped by a missing write bit, a path through a file or a long name;
// each save must fail, say why, change no file and keep the text as unsaved.
TEST_P(RefusedSave, ReportsTheCauseKeepsTheTextAndChangesNoFile) {
    const RefusedCase& c = GetParam();
    const std::string before = dir / "before.htm";
    writeBytes(before, "<P>start</P>");
    openFile(before);
    typeAtEnd("<P>typed</P>");
    const std::string target = c.prepare(dir);
    const std::vector<std::string> names = namesIn(dir.str());
    const std::string lockedBytes = readBytes(dir / "locked.htm");

    script.answer("html.cannotCreate", MessageAnswer::Ok);
    saveAs(target);

    ASSERT_EQ(script.askedIds(), QStringList{"html.cannotCreate"});
    EXPECT_EQ(script.asked[0].text,
              "Cannot create file \"" + q(target) + "\". " + QString(c.reason) + ".");
    EXPECT_TRUE(editor.isModified());
    EXPECT_EQ(editor.fileName(), q(before));
    EXPECT_EQ(editor.textForSaving(), "<P>start</P><P>typed</P>");
    EXPECT_EQ(namesIn(dir.str()), names) << "no temporary file left";
    EXPECT_EQ(readBytes(dir / "locked.htm"), lockedBytes);
    EXPECT_EQ(readBytes(before), "<P>start</P>");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RefusedSave,
    ::testing::Values(RefusedCase{"modeWithoutWriteBits", readOnlyPage, "Permission denied"},
                      RefusedCase{"pathThroughARegularFile", throughARegularFile,
                                  "Not a directory"},
                      RefusedCase{"nameTooLong", overlongName, "File name too long"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorSave, FullFileSystemLeavesTheOldPageWhole) {
    pictorant::testing::TinyFileSystem tiny(64);
    if (!tiny.mounted())
        GTEST_SKIP() << tiny.skipReason();
    const std::string page = tiny / "MyWeb.htm";
    writeBytes(page, generated);
    openFile(page);
    typeAtEnd(QString(200 * 1024, QLatin1Char('x')));
    script.answer("html.cannotCreate", MessageAnswer::Ok);
    saveAs(page);
    ASSERT_EQ(script.askedIds(), QStringList{"html.cannotCreate"});
    EXPECT_TRUE(script.asked[0].text.endsWith("No space left on device."));
    EXPECT_EQ(readBytes(page), generated);
    EXPECT_EQ(namesIn(tiny.str()), std::vector<std::string>{"MyWeb.htm"});
    EXPECT_TRUE(editor.isModified());
}

TEST_F(EditorSave, Windows1252PageIsSavedBackInItsOwnBytes) {
    // Latin-1 and Windows-1252 letters, and a byte Windows-1252 leaves undefined.
    const std::string bytes = "<P>Caf\xe9 \x93"
                              "cr\xe8me\x94 \x80"
                              "5 \x81\x8d\x8f\x90\x9d</P>\r\n";
    const std::string page = dir / "latin.htm";
    writeBytes(page, bytes);
    openFile(page);
    EXPECT_EQ(editor.encoding(), PageEncoding::Windows1252);
    EXPECT_TRUE(editor.Memo1->toPlainText().startsWith(QString::fromUtf8("<P>Caf\u00e9 \u201ccr")));
    saveAs(page);
    EXPECT_EQ(readBytes(page), bytes);

    // A letter the code page lacks becomes a reference; the others stay single bytes.
    typeAtEnd(QString::fromUtf8("\u0100\u00e9"));
    saveAs(page);
    EXPECT_EQ(readBytes(page), bytes + "&#256;\xe9");
}

TEST_F(EditorSave, Utf8PageStaysUtf8) {
    const std::string bytes = "\xef\xbb\xbf<P>na\xc3\xafve \xe2\x82\xac</P>\r\n";
    const std::string page = dir / "utf8.htm";
    writeBytes(page, bytes);
    openFile(page);
    EXPECT_EQ(editor.encoding(), PageEncoding::Utf8);
    typeAtEnd(QString::fromUtf8("\u0100"));
    saveAs(page);
    EXPECT_EQ(readBytes(page), bytes + "\xc4\x80");
}

TEST_F(EditorSave, GeneratedPageStaysAsciiWhateverIsTyped) {
    const std::string page = dir / "MyWeb.htm";
    ASSERT_TRUE(editor.showGeneratedPage(q(generated), q(page), q(dir.str())));
    EXPECT_EQ(readBytes(page), generated);
    typeAtEnd(QString::fromUtf8("<P>Se\u00f1or \u20ac</P>"));
    saveAs(page);
    EXPECT_EQ(readBytes(page), generated + "<P>Se&#241;or &#8364;</P>");
}

TEST_F(EditorSave, GeneratedPageThatCannotBeWrittenStaysUnsavedInTheEditor) {
    const std::string page = dir / "MyWeb.htm";
    fs::create_directory(page);
    script.answer("html.cannotCreate", MessageAnswer::Ok);
    EXPECT_FALSE(editor.showGeneratedPage(q(generated), q(page), q(dir.str())));
    ASSERT_EQ(script.askedIds(), QStringList{"html.cannotCreate"});
    EXPECT_EQ(script.asked[0].text, "Cannot create file \"" + q(page) + "\". Is a directory.");
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.textForSaving(), q(generated));
    EXPECT_TRUE(editor.isModified());
    EXPECT_EQ(editor.fileName(), "");
    EXPECT_TRUE(fs::is_directory(page));

    // Saved elsewhere, the text is whole.
    const std::string elsewhere = dir / "Saved.htm";
    saveAs(elsewhere);
    EXPECT_EQ(readBytes(elsewhere), generated);
    EXPECT_FALSE(editor.isModified());
}

} // namespace
} // namespace pictorant
