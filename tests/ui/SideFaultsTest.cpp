// Small wrong results around the wizard: the typed output folder, a folder removed from
// outside, the preview of a vanished or undecodable file, a refused rename, the frames
// column after a copy run, and the editor's Replace All and dialogs.

#include "tests/ui/WizardSupport.h"
#include "ui/FindReplaceDialog.h"
#include "ui/GalleryLocationDialog.h"
#include "ui/GalleryOptionsDialog.h"
#include "ui/HtmlEditorWindow.h"
#include "ui/PreviewBox.h"
#include "ui/PreviewWindow.h"

#include <QTextDocument>

namespace pictorant::uitest {
namespace {

class SideFaults : public MainWindowTest {
protected:
    void toOutputPage() {
        wizardWith({"a.jpg"}, 40);
        click("bNxt1");
        ASSERT_EQ(form->currentPage(), WizardPage::OutputOptions);
    }
    void typeFolder(const QString& text) {
        form->targetPane().folderBox()->setText(text);
        click("bNxt2");
    }
};

// The folder typed into page 2's box: relative names are taken in the pane's folder,
// an existing one is taken without Enter, and a failed creation keeps page 2.
TEST_F(SideFaults, TypedOutputFolderIsTheOneTheJobUses) {
    toOutputPage();
    script.answer("createFolder", MessageAnswer::Yes);
    typeFolder("made");
    EXPECT_TRUE(QFileInfo(out + "/made").isDir()) << "made in the pane's folder";
    EXPECT_EQ(form->outputFolder(), out + "/made");
    click("bBck2");
    const QString other = sub("other");
    typeFolder(other);
    EXPECT_EQ(form->outputFolder(), other) << "an existing folder needs no Enter";
    click("bBck2");
    script.answer("createFolder", MessageAnswer::Yes);
    typeFolder(root + "/no/such/deep");
    EXPECT_EQ(script.last().id, "couldNotCreateDirectory");
    EXPECT_EQ(form->currentPage(), WizardPage::OutputOptions);
    EXPECT_EQ(form->outputFolder(), other);
}

TEST_F(SideFaults, RemovedTargetFolderLeadsToItsParent) {
    makeWindow();
    const QString kept = sub("out/b/kept"), gone = sub("out/b/gone");
    ASSERT_TRUE(showFolder(form->targetPane(), gone, 0));
    ASSERT_TRUE(QDir(gone).removeRecursively());
    ASSERT_TRUE(waitUntil([&] { return form->outputFolder() != gone; }));
    EXPECT_EQ(form->outputFolder(), out + "/b");
    EXPECT_EQ(form->targetPane().folderBox()->text(), out + "/b");
}

TEST_F(SideFaults, RenameOntoAnExistingNameIsSaid) {
    makeWindow();
    sub("out/taken");
    sub("out/mine");
    ASSERT_TRUE(showFolder(form->targetPane(), out, 2));
    auto* model = form->targetPane().list()->model();
    const QModelIndex root = form->targetPane().list()->rootIndex();
    QModelIndex mine;
    for (int row = 0; row < model->rowCount(root); ++row)
        if (model->index(row, 0, root).data().toString() == "mine")
            mine = model->index(row, 0, root);
    ASSERT_TRUE(mine.isValid());
    qobject_cast<QFileSystemModel*>(model)->setReadOnly(false);
    EXPECT_FALSE(model->setData(mine, "taken"));
    ASSERT_EQ(script.ids(), QStringList{"cannotRename"});
    EXPECT_TRUE(script.last().text.contains("\"taken\""));
    EXPECT_TRUE(QFileInfo(out + "/mine").isDir());
}

// A JPEG whose header reads but whose data refers to a table it never defines.
QByteArray undecodableJpeg() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage grey(32, 32, QImage::Format_Grayscale8);
    grey.fill(128);
    grey.save(&buffer, "JPG");
    const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    bytes[sof + 11] = 3; // the one component's quantisation table
    return bytes;
}

TEST_F(SideFaults, PreviewOfAVanishedOrUndecodableFileShowsNothing) {
    wizardWith({"a.jpg"}, 40);
    PreviewWindow preview;
    form->sideWindows().preview = &preview;
    writeFile(pics + "/bad.jpg", undecodableJpeg());
    auto* image = ctl<QLabel>(*form, "Image1");
    PreviewBox& box = PreviewBox::attach(image);
    auto pressOn = [&](const QString& name) {
        ASSERT_TRUE(waitCount(form->sourcePane(), 2));
        form->sourcePane().list()->setCurrentIndex(QModelIndex());
        form->sourcePane().selectName(name);
        for (QModelIndex i : form->sourcePane().list()->selectionModel()->selectedIndexes())
            form->sourcePane().list()->setCurrentIndex(i);
        emit form->sourcePane().list()->mouseDown(Qt::LeftButton);
    };
    pressOn("a.jpg");
    ASSERT_TRUE(box.hasPicture());
    ASSERT_TRUE(ctl<QWidget>(*form, "bRotRight")->isEnabled());
    QFile::remove(pics + "/a.jpg");
    EXPECT_TRUE(waitUntil([&] { return !box.hasPicture(); }));
    EXPECT_FALSE(ctl<QWidget>(*form, "bRotRight")->isEnabled());

    writeJpeg(pics + "/a.jpg", 40, 30);
    pressOn("bad.jpg");
    EXPECT_EQ(script.last().text, "Could not open " + pics + "/bad.jpg");
    EXPECT_FALSE(box.hasPicture());
    EXPECT_FALSE(ctl<QWidget>(*form, "bRotRight")->isEnabled());
}

// The frames column follows the last thumbnail run, not a copy run made after it, and
// empty cell fields count as none.
TEST_F(SideFaults, FramesColumnAfterACopyRunIsTheLastThumbnailRunsWidth) {
    wizardWith({"a.jpg", "b.jpg"}, 40);
    toConfirm();
    ASSERT_TRUE(goAndWait());
    click("bStartOver");
    select(pics, 2, {"a.jpg", "b.jpg"});
    toConfirm("jpg");
    ASSERT_TRUE(goAndWait());
    GalleryLocationDialog output;
    GalleryOptionsDialog options;
    HtmlEditorWindow editor;
    form->sideWindows() = {.htmlEditor = &editor, .htmlOptions = &options, .htmlOut = &output};
    script.onModal("html.outputDialog", [&](QDialog& d) {
        output.bOK->click();
        return d.result();
    });
    script.onModal("html.options", [&](QDialog& d) {
        options.cbFrames->setChecked(true);
        options.eTBord->setText("0");
        options.eTPad->clear(); // empty fields count as none
        options.eTSpace->clear();
        options.bOK2->click();
        return d.result();
    });
    click("bHTML");
    EXPECT_TRUE(fileBytes(out + "/MyWeb.htm").contains("COLS=\"146,*\"")); // 96 + 50
}

TEST(EditorFaults, ReplaceAllIsOneEditAndDialogsGoWithTheEditor) {
    AppGuard app;
    ScriptedMessages script;
    HtmlEditorWindow editor;
    editor.show();
    editor.Memo1->setPlainText(QString("cat ").repeated(500));
    int edits = 0;
    QObject::connect(editor.Memo1->document(), &QTextDocument::contentsChange,
                     [&](int, int, int) { ++edits; });
    editor.bReplace->click();
    editor.replaceDialog->eFind->setText("cat");
    editor.replaceDialog->eReplace->setText("dog");
    editor.replaceDialog->bReplaceAll->click();
    EXPECT_EQ(editor.Memo1->toPlainText(), QString("dog ").repeated(500));
    EXPECT_EQ(edits, 1);
    editor.bFind->click();
    editor.close();
    EXPECT_FALSE(editor.replaceDialog->isVisible());
    EXPECT_FALSE(editor.findDialog->isVisible());
}

TEST(EditorFaults, OpenDialogSelectsTheNameTypedBefore) {
    AppGuard app;
    ScriptedMessages script;
    HtmlEditorWindow editor;
    QStringList selected;
    for (int i = 0; i < 2; ++i)
        script.onModal("html.openDialog", [&](QDialog& d) {
            auto* name = d.findChild<QLineEdit*>("fileNameEdit");
            selected << name->selectedText();
            name->setText("typed.htm");
            return int(QDialog::Rejected);
        });
    editor.bOpenIt->click();
    editor.bOpenIt->click();
    EXPECT_EQ(selected.last(), "typed.htm");
}

} // namespace
} // namespace pictorant::uitest
