// Small wrong results around the wizard: a folder removed from outside, the preview of a
// vanished or undecodable file, a refused rename and the frames column after a copy run.

#include "tests/ui/WizardSupport.h"
#include "ui/GalleryLocationDialog.h"
#include "ui/GalleryOptionsDialog.h"
#include "ui/HtmlEditorWindow.h"
#include "ui/PreviewBox.h"
#include "ui/PreviewWindow.h"

namespace pictorant::uitest {
namespace {

using SideFaults = MainWindowTest;

// A target folder removed from outside leads to its parent, not to a sibling; a rename
// onto a name that exists is said.
TEST_F(SideFaults, TargetFolderRemovedOrRenamedOntoAnother) {
    makeWindow();
    sub("out/b/kept");
    sub("out/b/taken");
    const QString gone = sub("out/b/gone");
    ASSERT_TRUE(showFolder(form->targetPane(), gone, 0));
    ASSERT_TRUE(QDir(gone).removeRecursively());
    // The model learns of the removal from its own thread: slow under load.
    ASSERT_TRUE(waitUntil([&] { return form->outputFolder() != gone; }, 30000));
    EXPECT_EQ(form->outputFolder(), out + "/b");
    EXPECT_EQ(form->targetPane().folderBox()->text(), out + "/b");

    ASSERT_TRUE(waitUntil([&] { return form->targetPane().entryCount() == 2; }, 30000));
    ASSERT_TRUE(form->targetPane().selectName("kept"));
    auto* model = qobject_cast<QFileSystemModel*>(form->targetPane().list()->model());
    model->setReadOnly(false);
    EXPECT_FALSE(
        model->setData(form->targetPane().list()->selectionModel()->selectedIndexes()[0], "taken"));
    ASSERT_EQ(script.ids(), QStringList{"cannotRename"});
    EXPECT_TRUE(script.last().text.contains("\"taken\""));
    EXPECT_TRUE(QFileInfo(out + "/b/kept").isDir());
}

// A JPEG whose header reads but whose data refers to a table it never defines.
QByteArray undecodableJpeg() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage grey(32, 32, QImage::Format_Grayscale8);
    grey.fill(128);
    grey.save(&buffer, "JPG");
    bytes[bytes.indexOf(QByteArray("\xFF\xC0", 2)) + 11] = 3; // the quantisation table
    return bytes;
}

TEST_F(SideFaults, PreviewOfAVanishedOrUndecodableFileShowsNothing) {
    wizardWith({"a.jpg"}, 40);
    PreviewWindow preview;
    form->sideWindows().preview = &preview;
    writeFile(pics + "/bad.jpg", undecodableJpeg());
    PreviewBox& box = PreviewBox::attach(ctl<QLabel>(*form, "Image1"));
    auto* rotate = ctl<QWidget>(*form, "bRotRight");
    ASSERT_TRUE(waitCount(form->sourcePane(), 2) && pressOn(form->sourcePane(), "a.jpg"));
    ASSERT_TRUE(box.hasPicture() && rotate->isEnabled());
    QFile::remove(pics + "/a.jpg");
    EXPECT_TRUE(waitUntil([&] { return !box.hasPicture(); }, 30000));
    EXPECT_FALSE(rotate->isEnabled());

    ASSERT_TRUE(waitCount(form->sourcePane(), 1) && pressOn(form->sourcePane(), "bad.jpg"));
    ASSERT_EQ(script.ids(), QStringList{"couldNotOpen"});
    EXPECT_EQ(script.last().text, "Could not open " + pics + "/bad.jpg");
    EXPECT_FALSE(box.hasPicture() || rotate->isEnabled());
}

// The frames column follows the last thumbnail run, not a copy run made after it, and
// empty cell fields count as none.
TEST_F(SideFaults, FramesColumnAfterACopyRunIsTheLastThumbnailRunsWidth) {
    wizardWith({"a.jpg", "b.jpg"}, 40);
    toConfirm();
    ASSERT_TRUE(goAndWait());
    click({"bStartOver"});
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
        options.eTPad->clear();
        options.eTSpace->clear();
        options.bOK2->click();
        return d.result();
    });
    click({"bHTML"});
    EXPECT_TRUE(fileBytes(out + "/MyWeb.htm").contains("COLS=\"146,*\"")); // 96 + 50
}

} // namespace
} // namespace pictorant::uitest
