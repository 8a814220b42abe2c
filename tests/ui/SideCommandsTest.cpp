// The side commands through the real main window: preview from the three lists,
// rotation, deletion, folder creation, the reset to defaults, About and help.

#include "AboutBox.h"
#include "DeleteFilesDialog.h"
#include "FilePane.h"
#include "GalleryLocationDialog.h"
#include "GalleryOptionsDialog.h"
#include "GradientButton.h"
#include "GradientProgressBar.h"
#include "HelpWindow.h"
#include "MainWizard.h"
#include "Picture.h"
#include "PreviewBox.h"
#include "PreviewCommands.h"
#include "PreviewWindow.h"
#include "ProgramWindows.h"
#include "SideWindowsScript.h"
#include "TestApplication.h"
#include "settings/MainSettings.h"
#include "settings/SettingsFile.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <fstream>
#include <iterator>

namespace pictorant {
namespace {

using sidetest::AppGuard;
using sidetest::Script;
using uitest::ctl;

bool waitUntil(const std::function<bool()>& ready, int milliseconds = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!ready()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

bool showFolder(FilePane& pane, const QString& folder, int count) {
    pane.setFolder(folder);
    return waitUntil([&] {
        return pane.folder() == QDir::cleanPath(folder) && pane.isListLoaded() &&
               pane.entryCount() == count;
    });
}

Raster pattern(int width, int height) {
    Raster r(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = r.scanLine(y) + 3 * x;
            p[0] = std::uint8_t(x * 11 + y);
            p[1] = std::uint8_t(y * 3 + x);
            p[2] = std::uint8_t(x * y);
        }
    return r;
}

void writePicture(const QString& path, PictureKind kind, int width, int height, int quality = 90) {
    Picture picture(kind);
    if (kind == PictureKind::Jpeg) {
        picture.setJpegQuality(quality);
        picture.setJpegRaster(pattern(width, height));
    } else {
        picture.setBitmap(pattern(width, height));
    }
    WritePicture(picture, path.toStdString());
}

Raster fileRaster(const QString& path) {
    Raster r;
    RenderToBitmap(LoadPicture(path.toStdString()), r);
    return r;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The first luminance quantiser value of a JPEG file, and libjpeg's for a quality.
int firstQuantiser(const QByteArray& bytes) {
    for (qsizetype i = 2; i + 5 < bytes.size(); ++i)
        if (quint8(bytes[i]) == 0xFF && quint8(bytes[i + 1]) == 0xDB &&
            (quint8(bytes[i + 4]) & 0x0F) == 0)
            return quint8(bytes[i + 5]);
    return 0;
}
int expectedQuantiser(int quality) {
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    return std::clamp((16 * scale + 50) / 100, 1, 255);
}

// A left (or right) press on the entry `name` of a pane's list, as the user makes it.
bool pressOn(FilePane& pane, const QString& name, Qt::MouseButton button = Qt::LeftButton) {
    QListView* list = pane.list();
    const QModelIndex root = list->rootIndex();
    for (int row = 0; row < list->model()->rowCount(root); ++row) {
        const QModelIndex index = list->model()->index(row, 0, root);
        if (index.data().toString() == name) {
            list->scrollTo(index);
            QTest::mouseClick(list->viewport(), button, {}, list->visualRect(index).center());
            return true;
        }
    }
    return false;
}

class SideCommands : public ::testing::Test {
protected:
    AppGuard app;
    Script script;
    QTemporaryDir dir;
    QString pics = dir.filePath("pics");
    QString out = dir.filePath("out");
    MainWizard form;
    PreviewWindow preview;
    DeleteFilesDialog confirm;
    AboutBox about;

    void SetUp() override {
        QDir().mkpath(pics);
        QDir().mkpath(out);
        SideWindows& sides = form.sideWindows();
        sides.preview = &preview;
        sides.confirmDelete = &confirm;
        sides.about = &about;
        form.show();
    }
    QString pic(const QString& name) const { return pics + '/' + name; }
    QLabel* box() const { return ctl<QLabel>(form, "Image1"); }
    bool rotationEnabled() const {
        return ctl<QToolButton>(form, "bRotLeft")->isEnabled() &&
               ctl<QToolButton>(form, "bRotRight")->isEnabled();
    }
    void turn(QToolButton* button, MessageAnswer answer) {
        script.answer("overwriteOriginal", answer);
        button->click();
    }
};

TEST_F(SideCommands, SourceListPreviewsAJpegAndEnablesRotation) {
    writePicture(pic("a.jpeg"), PictureKind::Jpeg, 64, 48);
    ASSERT_TRUE(showFolder(form.sourcePane(), pics, 1));
    EXPECT_FALSE(rotationEnabled());
    ASSERT_TRUE(pressOn(form.sourcePane(), "a.jpeg"));
    EXPECT_TRUE(PreviewBox::attach(box()).hasPicture());
    EXPECT_EQ(box()->toolTip(), pic("a.jpeg") + " - W: 64, H: 48");
    EXPECT_EQ(preview.windowTitle(), pic("a.jpeg"));
    EXPECT_TRUE(rotationEnabled());
    EXPECT_EQ(box()->size(), QSize(97, 84));
}

TEST_F(SideCommands, TiffIsNotPreviewedAndAFailedLoadKeepsRotationDisabled) {
    writePicture(pic("a.bmp"), PictureKind::Bitmap, 20, 10);
    QFile::copy(pic("a.bmp"), pic("b.tiff"));
    QFile bad(pic("c.jpg"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("no picture");
    bad.close();
    ctl<QComboBox>(form, "cbMask")->setCurrentText("*.*");
    ASSERT_TRUE(showFolder(form.sourcePane(), pics, 3));
    ASSERT_TRUE(pressOn(form.sourcePane(), "a.bmp"));
    ASSERT_TRUE(rotationEnabled());

    ASSERT_TRUE(pressOn(form.sourcePane(), "b.tiff"));
    EXPECT_TRUE(PreviewBox::attach(box()).hasPicture()) << "the box keeps its picture";
    EXPECT_EQ(preview.windowTitle(), pic("a.bmp"));
    EXPECT_FALSE(rotationEnabled());

    ASSERT_TRUE(pressOn(form.sourcePane(), "c.jpg"));
    EXPECT_EQ(script.askedIds(), QStringList{"couldNotOpen"});
    EXPECT_EQ(script.asked[0].text, "Could not open " + pic("c.jpg"));
    EXPECT_FALSE(PreviewBox::attach(box()).hasPicture());
    EXPECT_FALSE(rotationEnabled());
}

TEST_F(SideCommands, RightPressOpensNoPreview) {
    writePicture(pic("a.bmp"), PictureKind::Bitmap, 20, 10);
    ASSERT_TRUE(showFolder(form.sourcePane(), pics, 1));
    ASSERT_TRUE(pressOn(form.sourcePane(), "a.bmp", Qt::RightButton));
    EXPECT_FALSE(PreviewBox::attach(box()).hasPicture());
    ctl<QMenu>(form, "pm1")->close();
}

TEST_F(SideCommands, TargetAndSelectedListsPreviewTooAndTheBoxOpensTheWindow) {
    writePicture(out + "/t.bmp", PictureKind::Bitmap, 30, 20);
    writePicture(pic("s.bmp"), PictureKind::Bitmap, 40, 30);
    ASSERT_TRUE(showFolder(form.targetPane(), out, 1));
    ASSERT_TRUE(pressOn(form.targetPane(), "t.bmp"));
    EXPECT_EQ(box()->toolTip(), out + "/t.bmp - W: 30, H: 20");
    EXPECT_FALSE(rotationEnabled()) << "the target list leaves the buttons alone";

    ASSERT_TRUE(showFolder(form.sourcePane(), pics, 1));
    ASSERT_TRUE(form.sourcePane().selectName("s.bmp"));
    ctl<GradientButton>(form, "bNxt1")->click();
    ASSERT_EQ(ctl<QListWidget>(form, "lbMFL")->count(), 1);
    QListWidgetItem* item = ctl<QListWidget>(form, "lbMFL")->item(0);
    QTest::mouseClick(ctl<QListWidget>(form, "lbMFL")->viewport(), Qt::LeftButton, {},
                      ctl<QListWidget>(form, "lbMFL")->visualItemRect(item).center());
    EXPECT_EQ(box()->toolTip(), pic("s.bmp") + " - W: 40, H: 30");
    EXPECT_EQ(preview.windowTitle(), pic("s.bmp"));

    QTest::mouseClick(box(), Qt::LeftButton);
    ASSERT_TRUE(preview.isVisible());
    EXPECT_EQ(preview.picture().size(), QSize(40, 30));
    EXPECT_EQ(preview.pictureHint(), box()->toolTip());
}

TEST_F(SideCommands, BmpTurnedFourTimesByTheButtonIsRestored) {
    writePicture(pic("a.bmp"), PictureKind::Bitmap, 40, 30);
    ASSERT_TRUE(showFolder(form.sourcePane(), pics, 1));
    ASSERT_TRUE(pressOn(form.sourcePane(), "a.bmp"));
    const QByteArray original = fileBytes(pic("a.bmp"));
    turn(ctl<QToolButton>(form, "bRotRight"), MessageAnswer::Yes);
    EXPECT_EQ(fileRaster(pic("a.bmp")).width(), 30);
    for (int i = 0; i < 3; ++i)
        turn(ctl<QToolButton>(form, "bRotRight"), MessageAnswer::Yes);
    EXPECT_EQ(fileRaster(pic("a.bmp")), pattern(40, 30));
    EXPECT_EQ(fileBytes(pic("a.bmp")), original);
}

TEST_F(SideCommands, MenuTurnWritesAJpegAtTheSlidersQualityAndNoChangesNothing) {
    writePicture(pic("a.jpg"), PictureKind::Jpeg, 64, 48, 75);
    ASSERT_TRUE(showFolder(form.sourcePane(), pics, 1));
    ASSERT_TRUE(pressOn(form.sourcePane(), "a.jpg"));
    const QByteArray before = fileBytes(pic("a.jpg"));
    script.answer("overwriteOriginal", MessageAnswer::No);
    ctl<QAction>(form, "RotateImage90degreeclockwise1")->trigger();
    EXPECT_EQ(fileBytes(pic("a.jpg")), before);

    ctl<QSlider>(form, "tbJpg")->setValue(60);
    script.answer("overwriteOriginal", MessageAnswer::Yes);
    ctl<QAction>(form, "RotateImage90degreescounterclockwise1")->trigger();
    EXPECT_EQ(firstQuantiser(fileBytes(pic("a.jpg"))), expectedQuantiser(60));
    EXPECT_EQ(fileRaster(pic("a.jpg")).width(), 48);
}

TEST_F(SideCommands, RotationAsksForASelectionFirst) {
    writePicture(pic("a.bmp"), PictureKind::Bitmap, 40, 30);
    ASSERT_TRUE(showFolder(form.sourcePane(), pics, 1));
    ASSERT_TRUE(pressOn(form.sourcePane(), "a.bmp"));
    form.sourcePane().deselectAll();
    ctl<QAction>(form, "RotateImage90degreeclockwise1")->trigger();
    EXPECT_EQ(script.askedIds(), QStringList{"selectFileToRotate"});
    EXPECT_EQ(fileRaster(pic("a.bmp")).width(), 40);
}

TEST_F(SideCommands, UnwritableFileIsReportedWithThePreviewAlreadyTurned) {
    const QString sub = pics + "/sub";
    QDir().mkpath(sub);
    writePicture(sub + "/a.bmp", PictureKind::Bitmap, 40, 30);
    ASSERT_TRUE(showFolder(form.sourcePane(), sub, 1));
    ASSERT_TRUE(pressOn(form.sourcePane(), "a.bmp"));
    // The folder becomes a regular file: no write can go through it, even for root.
    ASSERT_TRUE(QDir(sub).removeRecursively());
    QFile blocker(sub);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    script.answer("overwriteOriginal", MessageAnswer::Yes);
    ctl<QAction>(form, "RotateImage90degreeclockwise1")->trigger();
    ASSERT_EQ(script.askedIds(), (QStringList{"overwriteOriginal", "unhandledError"}));
    EXPECT_TRUE(script.asked[1].text.startsWith("Cannot create file \"" + sub + "/a.bmp\". "));
    EXPECT_EQ(PreviewBox::attach(box()).image().size(), QSize(30, 40));
}

class Deleting : public SideCommands {
protected:
    void SetUp() override {
        SideCommands::SetUp();
        for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
            writePicture(pic(name), PictureKind::Bitmap, 8, 8);
        ASSERT_TRUE(showFolder(form.sourcePane(), pics, 3));
        ASSERT_TRUE(form.sourcePane().selectName("a.bmp"));
        ASSERT_TRUE(form.sourcePane().selectName("c.bmp"));
        ctl<GradientButton>(form, "bNxt1")->click();
        ctl<GradientButton>(form, "bBck1")->click();
        ASSERT_TRUE(form.sourcePane().selectName("a.bmp"));
        ASSERT_TRUE(form.sourcePane().selectName("c.bmp"));
    }
    void answer(bool yes, bool recycle) {
        script.onModal("confirmDeletion", [=, this](QDialog&) {
            EXPECT_EQ(confirm.findChild<QLabel*>("lNumDel")->text(),
                      "Confirm deletion of 2 files...");
            confirm.setRecycleBin(recycle);
            return yes ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
    }
};

TEST_F(Deleting, ForGoodRemovesTheFilesRereadsTheListsAndEmptiesTheSelection) {
    form.sourcePane().selectName("a.bmp");
    ASSERT_EQ(form.selectedFiles().size(), 2);
    answer(true, false);
    ctl<QToolButton>(form, "bDelSel")->click();
    EXPECT_FALSE(QFileInfo::exists(pic("a.bmp")));
    EXPECT_FALSE(QFileInfo::exists(pic("c.bmp")));
    EXPECT_TRUE(QFileInfo::exists(pic("b.bmp")));
    EXPECT_TRUE(form.selectedFiles().isEmpty());
    EXPECT_EQ(ctl<QListWidget>(form, "lbMFL")->count(), 0);
    EXPECT_EQ(ctl<QLabel>(form, "lMFL")->text(), "Source Files: 0");
    EXPECT_TRUE(waitUntil(
        [&] { return form.sourcePane().isListLoaded() && form.sourcePane().entryCount() == 1; }));
}

TEST_F(Deleting, ToTheTrashKeepsTheFilesRecoverable) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME"), oldData = qgetenv("XDG_DATA_HOME");
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    answer(true, true);
    ctl<QToolButton>(form, "bDelSel")->click();
    qputenv("HOME", oldHome);
    if (oldData.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", oldData);
    EXPECT_FALSE(QFileInfo::exists(pic("a.bmp")));
    EXPECT_TRUE(QFileInfo::exists(home.path() + "/data/Trash/files/a.bmp"));
    EXPECT_TRUE(QFileInfo::exists(home.path() + "/data/Trash/files/c.bmp"));
}

TEST_F(Deleting, NoDeletesNothingAndLeavesTheListsAlone) {
    answer(false, false);
    ctl<QToolButton>(form, "bDelSel")->click();
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
        EXPECT_TRUE(QFileInfo::exists(pic(name)));
    EXPECT_EQ(form.sourcePane().selectedNames(), (QStringList{"a.bmp", "c.bmp"}));
}

TEST_F(Deleting, NothingSelectedAsksNothing) {
    form.sourcePane().deselectAll();
    ctl<QToolButton>(form, "bDelSel")->click();
    EXPECT_TRUE(script.modals.isEmpty());
}

TEST_F(SideCommands, NewFolderTwiceInTheTargetPaneSelectsItForRenamingBothTimes) {
    form.showPage(WizardPage::OutputOptions); // the target pane's page
    ASSERT_TRUE(showFolder(form.targetPane(), out, 0));
    for (int round = 0; round < 2; ++round) {
        ctl<QAction>(form, "CreateNewDirectory2")->trigger();
        QListView* list = form.targetPane().list();
        QLineEdit* editor = nullptr;
        ASSERT_TRUE(waitUntil([&] {
            for (QLineEdit* e : list->viewport()->findChildren<QLineEdit*>())
                if (e->isVisible())
                    editor = e;
            return editor != nullptr;
        })) << "round "
            << round;
        EXPECT_EQ(editor->text(), "New Folder");
        EXPECT_EQ(form.targetPane().selectedNames(), QStringList{"New Folder"});
        EXPECT_EQ(list->currentIndex().data().toString(), "New Folder");
        QTest::keyClick(editor, Qt::Key_Escape);
        ASSERT_TRUE(waitUntil([&] { return !editor->isVisible(); }));
    }
    EXPECT_EQ(QDir(out).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{"New Folder"});
}

TEST_F(SideCommands, NewFolderInTheSourcePaneIsCreatedWithItsParents) {
    ASSERT_TRUE(showFolder(form.sourcePane(), pics, 0));
    const QString wanted = pics + "/x/y";
    script.onModal("selectDirectory", [&](QDialog& d) {
        auto* edit = d.findChild<QLineEdit*>("fileNameEdit");
        if (edit)
            edit->setText(wanted);
        QTimer::singleShot(0, &d, [&] { d.accept(); });
        return d.exec();
    });
    ctl<QAction>(form, "CreateNewDirectory1")->trigger();
    EXPECT_TRUE(QFileInfo(wanted).isDir());
    EXPECT_EQ(form.inputFolder(), pics) << "the pane does not move";
}

TEST_F(SideCommands, AboutAndHelpButtons) {
    script.onModal("about", [&](QDialog& d) {
        EXPECT_EQ(&d, &about);
        return int(QDialog::Accepted);
    });
    ctl<QToolButton>(form, "sbAbout")->click();
    EXPECT_EQ(script.modals, QStringList{"about"});

    ctl<QToolButton>(form, "SpeedButton3")->click();
    auto* help = form.findChild<HelpWindow*>();
    ASSERT_TRUE(help);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->filePath(), QCoreApplication::applicationDirPath() + "/Pictorhelp.htm");
    ctl<QToolButton>(form, "SpeedButton3")->click();
    EXPECT_EQ(form.findChildren<HelpWindow*>().size(), 1) << "one help window, reused";
}

// The whole program against a settings file, as between two runs.
class Reset : public ::testing::Test {
protected:
    AppGuard app;
    Script script;
    QTemporaryDir dir;
    QString ini(const QString& name) const { return dir.filePath(name); }
    static QByteArray read(const QString& path) { return fileBytes(path); }
};

TEST_F(Reset, ResetThenExitWritesWhatAFreshStartWrites) {
    // What the program writes at exit after a start without a settings file.
    { ProgramWindows fresh(ini("fresh.ini").toStdString()); }
    const QByteArray factory = read(ini("fresh.ini"));
    ASSERT_FALSE(factory.isEmpty());

    {
        ProgramWindows changed(ini("used.ini").toStdString());
        MainWizard& f = changed.main();
        f.sourcePane().setFolder(dir.path());
        ctl<QRadioButton>(f, "rbFast")->setChecked(true);
        ctl<QLineEdit>(f, "eWidth")->setText("120");
        ctl<QCheckBox>(f, "cbRatio")->setChecked(true);
        ctl<QCheckBox>(f, "cbFHeight")->setChecked(true);
        ctl<QComboBox>(f, "cbConvert")->setCurrentIndex(2);
        ctl<QComboBox>(f, "cbNameOption")->setCurrentIndex(3);
        ctl<QLineEdit>(f, "eQualThumb")->setText("Small");
        ctl<QSlider>(f, "tbJpg")->setValue(40);
        ctl<QCheckBox>(f, "cbOverwrite")->setChecked(false);
        ctl<QLineEdit>(f, "eSeq")->setText("077");
        ctl<QComboBox>(f, "cbMask")->setCurrentText("*.gif");
        DeleteFilesDialog* confirm = f.sideWindows().confirmDelete;
        ASSERT_TRUE(confirm);
        confirm->setRecycleBin(false);
        // The gallery options on frames layout, with a typed address kept by the reset.
        GalleryOptionsDialog* options = f.sideWindows().htmlOptions;
        ASSERT_TRUE(options);
        GalleryOptions frames = options->options();
        frames.UseFrames = true;
        frames.UseTables = false;
        frames.TileBkgd = true;
        frames.SampleText = true;
        frames.Columns = "9";
        frames.PageBkgd = 255;
        frames.hrefInternetText = "http://example.org/pics/";
        options->setOptions(frames);
        ASSERT_TRUE(f.sideWindows().htmlOut);
        f.sideWindows().htmlOut->setHtmlName("Other.htm");

        script.answer("resetDefaults", MessageAnswer::Yes);
        ctl<QToolButton>(f, "sbDefaults")->click();
        ASSERT_EQ(script.asked.size(), 1u);
        EXPECT_EQ(script.asked[0].title, "Confirm");
        EXPECT_EQ(script.asked[0].buttons, MessageButtons::YesCancel);
        EXPECT_EQ(script.asked[0].icon, MessageIcon::Question);
        EXPECT_EQ(script.asked[0].text,
                  "Confirmation - by choosing Yes, you will reset\r\nall options to their "
                  "original default settings.\r\n\r\nProceed?");
        EXPECT_TRUE(ctl<QLineEdit>(f, "eHeight")->isVisible() || !f.isVisible())
            << "ratio off again";
        EXPECT_FALSE(ctl<QCheckBox>(f, "cbRatio")->isChecked());
        EXPECT_EQ(ctl<QLineEdit>(f, "eSeq")->text(), "077") << "the sequence start is left alone";
        EXPECT_EQ(ctl<QComboBox>(f, "cbMask")->currentText(), "*.gif") << "the mask is left alone";
        EXPECT_TRUE(confirm->recycleBin());
        const GalleryOptions after = options->options();
        EXPECT_TRUE(after.UseTables);
        EXPECT_FALSE(after.UseFrames);
        EXPECT_FALSE(after.TileBkgd);
        EXPECT_FALSE(after.SampleText);
        EXPECT_EQ(after.hrefInternetText, "http://example.org/pics/") << "typed addresses stay";
        EXPECT_EQ(f.sideWindows().htmlOut->htmlName(), "MyWeb.htm");
        EXPECT_FALSE(QFileInfo::exists(ini("used.ini"))) << "nothing written before exit";
    }
    EXPECT_EQ(read(ini("used.ini")), factory);
}

TEST_F(Reset, CancelChangesNothing) {
    {
        ProgramWindows program(ini("p.ini").toStdString());
        MainWizard& f = program.main();
        ctl<QLineEdit>(f, "eWidth")->setText("120");
        ctl<QSlider>(f, "tbJpg")->setValue(40);
        f.sideWindows().confirmDelete->setRecycleBin(false);
        script.answer("resetDefaults", MessageAnswer::Cancel);
        ctl<QToolButton>(f, "sbDefaults")->click();
        EXPECT_EQ(ctl<QLineEdit>(f, "eWidth")->text(), "120");
        EXPECT_EQ(ctl<QSlider>(f, "tbJpg")->value(), 40);
        EXPECT_FALSE(f.sideWindows().confirmDelete->recycleBin());
    }
    SettingsFile file(ini("p.ini").toStdString());
    EXPECT_EQ(file.readText("Thumbnails", "Thumb Width", ""), "120");
    EXPECT_EQ(file.readInteger("Thumbnails", "Jpg Compression", 0), 40);
    EXPECT_EQ(file.readText("Directories", "RecycleBin", ""), "No");
}

TEST_F(Reset, RecycleBinChoiceIsKeptAcrossARestart) {
    {
        ProgramWindows first(ini("r.ini").toStdString());
        DeleteFilesDialog* confirm = first.main().sideWindows().confirmDelete;
        ASSERT_TRUE(confirm);
        EXPECT_TRUE(confirm->recycleBin());
        script.onModal("confirmDeletion", [&](QDialog&) {
            confirm->findChild<QCheckBox*>("cbRecycle")->setChecked(false);
            return int(QDialog::Rejected);
        });
        confirm->confirmDeletion(1);
    }
    ProgramWindows second(ini("r.ini").toStdString());
    EXPECT_FALSE(second.main().sideWindows().confirmDelete->recycleBin());
}

} // namespace
} // namespace pictorant
