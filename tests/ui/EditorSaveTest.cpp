// The editor's saves never lose text or a file: an existing page is rewritten in place
// through the safe writer (through a link, keeping owner and mode), a failed save changes
// no file and keeps the text unsaved, and a page keeps the bytes it was opened with.

#include "tests/support/FileFaults.h"
#include "tests/ui/ScriptedMessages.h"
#include "ui/HtmlEditorWindow.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace pictorant::uitest {
namespace {

using pictorant::testing::namesIn;
using pictorant::testing::readBytes;
using pictorant::testing::ScratchFolder;
using pictorant::testing::writeBytes;
namespace fs = std::filesystem;

QString q(const std::string& path) {
    return QString::fromStdString(path);
}

class EditorSave : public ::testing::Test {
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
    ScratchFolder dir;
    ScriptedMessages script;
    HtmlEditorWindow editor;
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
        {dir / pictorant::testing::overlongName(".htm"), "File name too long"}};
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
    pictorant::testing::TinyFileSystem tiny(64);
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
