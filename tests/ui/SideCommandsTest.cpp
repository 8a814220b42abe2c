// The side commands through the real main window: preview from the three lists,
// rotation (lossless too), deletion and the reset to defaults; then small wrong results
// around them: a folder removed from outside, the preview of a vanished or undecodable
// file, a refused rename and the frames column after a copy run.

#include "tests/ui/WizardSupport.h"
#include "ui/DeleteFilesDialog.h"
#include "ui/GalleryLocationDialog.h"
#include "ui/GalleryOptionsDialog.h"
#include "ui/HtmlEditorWindow.h"
#include "ui/PreviewBox.h"
#include "ui/PreviewWindow.h"
#include "ui/ProgramWindows.h"

namespace pictorant::uitest {
namespace {

// The first luminance quantiser of a JPEG file, and libjpeg's for a quality.
int firstQuantiser(const QByteArray& bytes) {
    for (qsizetype i = 2; i + 5 < bytes.size(); ++i)
        if (quint8(bytes[i]) == 0xFF && quint8(bytes[i + 1]) == 0xDB &&
            (quint8(bytes[i + 4]) & 0x0F) == 0)
            return quint8(bytes[i + 5]);
    return 0;
}

class SideCommands : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        makeWindow();
        form->sideWindows().preview = &preview;
        form->sideWindows().confirmDelete = &confirm;
        form->show();
    }
    QString hint() { return ctl<QLabel>(*form, "Image1")->toolTip(); }
    bool rotation() { return ctl<QWidget>(*form, "bRotRight")->isEnabled(); }
    void turn(const char* action, MessageAnswer answer) {
        script.answer("overwriteOriginal", answer);
        ctl<QAction>(*form, action)->trigger();
    }
    PreviewWindow preview;
    DeleteFilesDialog confirm;
};

TEST_F(SideCommands, ThreeListsPreviewButOnlyTheSourceListEnablesRotation) {
    writePicture(pics + "/a.bmp", 20, 10, "BMP");
    QFile::copy(pics + "/a.bmp", pics + "/b.tiff");
    writePicture(out + "/t.bmp", 30, 20, "BMP");
    ctl<QComboBox>(*form, "cbMask")->setCurrentText("*.*");
    ASSERT_TRUE(showFolder(form->sourcePane(), pics, 2));
    ASSERT_TRUE(showFolder(form->targetPane(), out, 1));
    EXPECT_FALSE(rotation());
    ASSERT_TRUE(pressOn(form->sourcePane(), "a.bmp"));
    EXPECT_EQ(hint(), pics + "/a.bmp - W: 20, H: 10");
    EXPECT_EQ(preview.windowTitle(), pics + "/a.bmp");
    EXPECT_TRUE(rotation());

    ASSERT_TRUE(pressOn(form->sourcePane(), "b.tiff"));
    EXPECT_TRUE(PreviewBox::attach(ctl<QLabel>(*form, "Image1")).hasPicture()) << "still a.bmp";
    EXPECT_EQ(preview.windowTitle(), pics + "/a.bmp");
    EXPECT_FALSE(rotation());
    ASSERT_TRUE(pressOn(form->targetPane(), "t.bmp"));
    EXPECT_EQ(hint(), out + "/t.bmp - W: 30, H: 20");
    EXPECT_FALSE(rotation()) << "the target list leaves the buttons alone";

    // The list of taken files previews too, and a click on the box opens the window.
    ASSERT_TRUE(form->sourcePane().selectName("a.bmp"));
    click({"bNxt1"});
    auto* taken = ctl<QListWidget>(*form, "lbMFL");
    QTest::mouseClick(taken->viewport(), Qt::LeftButton, {},
                      taken->visualItemRect(taken->item(0)).center());
    EXPECT_EQ(hint(), pics + "/a.bmp - W: 20, H: 10");
    QTest::mouseClick(ctl<QLabel>(*form, "Image1"), Qt::LeftButton);
    ASSERT_TRUE(preview.isVisible());
    EXPECT_EQ(preview.picture().size(), QSize(20, 10));
}

TEST_F(SideCommands, RotationWritesTheFileAfterTheQuestion) {
    writePicture(pics + "/a.bmp", 40, 30, "BMP");
    writePicture(pics + "/b.jpg", 64, 48);
    ASSERT_TRUE(showFolder(form->sourcePane(), pics, 2));
    ASSERT_TRUE(pressOn(form->sourcePane(), "a.bmp"));
    const QByteArray original = fileBytes(pics + "/a.bmp");
    for (int i = 0; i < 4; ++i) {
        script.answer("overwriteOriginal", MessageAnswer::Yes);
        click({"bRotRight"});
        EXPECT_EQ(QImageReader(pics + "/a.bmp").size().width(), i % 2 ? 40 : 30);
    }
    EXPECT_EQ(fileBytes(pics + "/a.bmp"), original);

    ASSERT_TRUE(pressOn(form->sourcePane(), "b.jpg"));
    const QByteArray before = fileBytes(pics + "/b.jpg");
    turn("RotateImage90degreeclockwise1", MessageAnswer::No);
    EXPECT_EQ(fileBytes(pics + "/b.jpg"), before);
    ctl<QSlider>(*form, "tbJpg")->setValue(60); // libjpeg's first quantiser at 60 is 13
    turn("RotateImage90degreescounterclockwise1", MessageAnswer::Yes);
    EXPECT_EQ(firstQuantiser(fileBytes(pics + "/b.jpg")), 13);
    EXPECT_EQ(QImageReader(pics + "/b.jpg").size().width(), 48);

    form->sourcePane().deselectAll();
    ctl<QAction>(*form, "RotateImage90degreeclockwise1")->trigger();
    EXPECT_EQ(script.ids().last(), "selectFileToRotate");
    EXPECT_EQ(QImageReader(pics + "/b.jpg").size().width(), 48);
}

TEST_F(SideCommands, UnwritableFileIsReportedWithThePreviewAlreadyTurned) {
    const QString inner = sub("pics/sub");
    writePicture(inner + "/a.bmp", 40, 30, "BMP");
    ASSERT_TRUE(showFolder(form->sourcePane(), inner, 1));
    ASSERT_TRUE(pressOn(form->sourcePane(), "a.bmp"));
    // The folder becomes a regular file: no write can go through it, even for root.
    ASSERT_TRUE(QDir(inner).removeRecursively());
    writeFile(inner);
    turn("RotateImage90degreeclockwise1", MessageAnswer::Yes);
    ASSERT_EQ(script.ids(), (QStringList{"overwriteOriginal", "unhandledError"}));
    EXPECT_TRUE(script.last().text.startsWith("Cannot create file \"" + inner + "/a.bmp\". "));
    EXPECT_EQ(PreviewBox::attach(ctl<QLabel>(*form, "Image1")).image().size(), QSize(30, 40));
}

// A lossless turn of a picture whose sides are not whole blocks asks before trimming;
// No leaves the file as it was.
TEST_F(SideCommands, ALosslessTurnAsksBeforeTrimmingAnEdge) {
    writePicture(pics + "/odd.jpg", 60, 44);
    ASSERT_TRUE(showFolder(form->sourcePane(), pics, 1));
    ASSERT_TRUE(pressOn(form->sourcePane(), "odd.jpg"));
    ctl<QAction>(*form, "LosslessRotation1")->setChecked(true);
    const QByteArray before = fileBytes(pics + "/odd.jpg");
    for (const MessageAnswer trim : {MessageAnswer::No, MessageAnswer::Yes}) {
        script.answer("trimEdge", trim);
        turn("RotateImage90degreeclockwise1", MessageAnswer::Yes);
        EXPECT_EQ(script.ids().last(), "trimEdge");
        EXPECT_EQ(fileBytes(pics + "/odd.jpg") == before, trim == MessageAnswer::No);
    }
    // Rows that do not fill a block are cut off; the columns become its rows.
    EXPECT_EQ(QImageReader(pics + "/odd.jpg").size(), QSize(32, 60));
    EXPECT_TRUE(form->settingsFromControls().losslessRotation);
}

TEST_F(SideCommands, DeletionAsksThenDeletesToTheTrashOrForGoodAndRereads) {
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        writeFile(pics + "/" + name);
    const ScratchHome home(root);
    select(pics, 3, {"a.bmp", "c.bmp"});
    click({"bNxt1", "bBck1"});
    const struct {
        QStringList chosen;
        bool yes, recycle;
        QStringList left, trashed;
    } cases[] = {
        {{"a.bmp", "c.bmp"}, false, true, {"a.bmp", "b.bmp", "c.bmp"}, {}},
        {{"a.bmp", "c.bmp"}, true, true, {"b.bmp"}, {"a.bmp", "c.bmp"}},
        {{"b.bmp"}, true, false, {}, {"a.bmp", "c.bmp"}},
    };
    for (const auto& c : cases) {
        select(pics, int(filesIn(pics).size()), c.chosen);
        script.onModal("confirmDeletion", [&](QDialog&) {
            EXPECT_EQ(ctl<QLabel>(confirm, "lNumDel")->text(),
                      QString("Confirm deletion of %1 files...").arg(c.chosen.size()));
            confirm.setRecycleBin(c.recycle);
            return c.yes ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
        click({"bDelSel"});
        EXPECT_EQ(filesIn(pics), c.left);
        EXPECT_EQ(filesIn(root + "/data/Trash/files"), c.trashed);
        EXPECT_EQ(form->selectedFiles().isEmpty(), c.yes);
    }
    EXPECT_TRUE(waitCount(form->sourcePane(), 0));
}

// The whole program against a settings file, as between two runs.
using Reset = MainWindowTest;

TEST_F(Reset, ResetThenExitWritesWhatAFreshStartWrites) {
    { ProgramWindows fresh((root + "/fresh.ini").toStdString()); }
    {
        ProgramWindows program((root + "/reset.ini").toStdString());
        MainWizard& f = program.main();
        f.sourcePane().setFolder(root);
        ctl<QRadioButton>(f, "rbFast")->setChecked(true);
        ctl<QLineEdit>(f, "eWidth")->setText("120");
        ctl<QCheckBox>(f, "cbFHeight")->setChecked(true);
        ctl<QComboBox>(f, "cbNameOption")->setCurrentIndex(3);
        ctl<QSlider>(f, "tbJpg")->setValue(40);
        f.sideWindows().confirmDelete->setRecycleBin(false);
        f.sideWindows().htmlOut->setHtmlName("Other.htm");
        ctl<QLineEdit>(f, "eSeq")->setText("077");
        ctl<QComboBox>(f, "cbMask")->setCurrentText("*.gif");
        script.answer("resetDefaults", MessageAnswer::Cancel);
        script.answer("resetDefaults", MessageAnswer::Yes);
        ctl<QToolButton>(f, "sbDefaults")->click();
        EXPECT_EQ(ctl<QSlider>(f, "tbJpg")->value(), 40) << "Cancel changes nothing";
        ctl<QToolButton>(f, "sbDefaults")->click();
        EXPECT_EQ(script.last().text,
                  "Confirmation - by choosing Yes, you will reset\r\nall "
                  "options to their original default settings.\r\n\r\nProceed?");
        // Left alone by the reset: the sequence start and the mask.
        EXPECT_EQ(ctl<QLineEdit>(f, "eSeq")->text(), "077");
        EXPECT_EQ(ctl<QComboBox>(f, "cbMask")->currentText(), "*.gif");
        EXPECT_FALSE(QFileInfo::exists(root + "/reset.ini")) << "nothing written before exit";
    }
    EXPECT_EQ(fileBytes(root + "/reset.ini"), fileBytes(root + "/fresh.ini"));
}

// A target folder removed from outside leads to its parent, not to a sibling; a rename
// onto a name that exists is said.
TEST_F(SideCommands, TargetFolderRemovedOrRenamedOntoAnother) {
    sub("out/b/kept");
    sub("out/b/taken");
    const QString gone = sub("out/b/gone");
    ASSERT_TRUE(showFolder(form->targetPane(), gone, 0));
    ASSERT_TRUE(QDir(gone).removeRecursively());
    // The model learns of the removal from its own thread: slow under load.
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->outputFolder() != gone; }, 30000));
    EXPECT_EQ(form->outputFolder(), out + "/b");
    EXPECT_EQ(form->targetPane().folderBox()->text(), out + "/b");

    ASSERT_TRUE(QTest::qWaitFor([&] { return form->targetPane().entryCount() == 2; }, 30000));
    ASSERT_TRUE(form->targetPane().selectName("kept"));
    auto* model = qobject_cast<QFileSystemModel*>(form->targetPane().list()->model());
    model->setReadOnly(false);
    EXPECT_FALSE(
        model->setData(form->targetPane().list()->selectionModel()->selectedIndexes()[0], "taken"));
    ASSERT_EQ(script.ids(), QStringList{"cannotRename"});
    EXPECT_TRUE(script.last().text.contains("\"taken\""));
    EXPECT_TRUE(QFileInfo(out + "/b/kept").isDir());
}

TEST_F(SideCommands, PreviewOfAVanishedOrUndecodableFileShowsNothing) {
    writePicture(pics + "/a.jpg", 40, 30);
    // A copy whose header reads but whose data refers to a table it never defines.
    QByteArray bad = fileBytes(pics + "/a.jpg");
    bad[bad.indexOf(QByteArray("\xFF\xC0", 2)) + 12] = 3;
    writeFile(pics + "/bad.jpg", bad);
    PreviewBox& box = PreviewBox::attach(ctl<QLabel>(*form, "Image1"));
    ASSERT_TRUE(showFolder(form->sourcePane(), pics, 2) && pressOn(form->sourcePane(), "a.jpg"));
    ASSERT_TRUE(box.hasPicture() && rotation());
    ASSERT_TRUE(pressOn(form->sourcePane(), "bad.jpg"));
    ASSERT_EQ(script.ids(), QStringList{"couldNotOpen"});
    EXPECT_EQ(script.last().text, "Could not open " + pics + "/bad.jpg");
    EXPECT_FALSE(box.hasPicture() || rotation()) << "the box is cleared";

    ASSERT_TRUE(pressOn(form->sourcePane(), "a.jpg") && box.hasPicture() && rotation());
    QFile::remove(pics + "/a.jpg");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !box.hasPicture(); }, 30000));
    EXPECT_FALSE(rotation());
}

using SideFaults = MainWindowTest;

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
    script.whileShown("html.outputDialog", [&] { output.bOK->click(); });
    script.whileShown("html.options", [&] {
        options.cbFrames->setChecked(true);
        options.eTBord->setText("0");
        options.eTPad->clear();
        options.eTSpace->clear();
        options.bOK2->click();
    });
    click({"bHTML"});
    EXPECT_TRUE(fileBytes(out + "/MyWeb.htm").contains("COLS=\"146,*\"")); // 96 + 50
}

} // namespace
} // namespace pictorant::uitest
