#include "GalleryLocationDialog.h"
#include "DeleteFilesDialog.h"
#include "GalleryUiScript.h"
#include "settings/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace pictorant {
namespace {

using testing::RecordingLauncher;
using testing::ScriptedMessages;

TEST(GalleryFileName, KeepsOnlyNamesHoldingDotHtm) {
    const std::vector<std::pair<QString, QString>> cases = {
        {"", "MyWeb.htm"},
        {"Album", "MyWeb.htm"},
        {"Album.html", "Album.html"},
        {"Album.HTM", "MyWeb.htm"}, // exact letter case
        {"my page.htm", "my page.htm"},
        {"old.htm.bak", "old.htm.bak"},
        {"../outside.htm", "MyWeb.htm"},
        {"sub/page.htm", "MyWeb.htm"},
    };
    for (const auto& [typed, kept] : cases)
        EXPECT_EQ(galleryFileName(typed), kept) << typed.toStdString();
}

void touch(const QString& path) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<HTML></HTML>\r\n");
}

class OutputDialogTest : public ::testing::Test {
protected:
    OutputDialogTest() {
        touch(dir.filePath("b.html"));
        touch(dir.filePath("a.htm"));
        touch(dir.filePath("notes.txt"));
        QDir(dir.path()).mkdir("sub.htm");
        dialog.setConfirmation(&confirm);
        confirm.setRecycleBin(false);
    }
    // Runs the dialog at the temporary folder; `inside` plays the user.
    bool run(std::function<void()> inside) {
        script.onModal("html.outputDialog", [inside](QDialog& d) {
            d.show();
            inside();
            const int result = d.result();
            d.hide();
            return result;
        });
        dialog.setResult(-1);
        return dialog.execute(dir.path());
    }
    QStringList listed() const {
        QStringList names;
        for (int row = 0; row < dialog.lvFiles->count(); ++row)
            names << dialog.lvFiles->item(row)->text();
        return names;
    }
    QStringList selected() const {
        QStringList names;
        for (const QString& path : dialog.selectedPaths())
            names << QFileInfo(path).fileName();
        return names;
    }
    testing::ApplicationGuard app;
    QTemporaryDir dir;
    ScriptedMessages script;
    RecordingLauncher launched;
    DeleteFilesDialog confirm;
    GalleryLocationDialog dialog;
};

TEST_F(OutputDialogTest, ShowsThePagesOfTheStartFolderAndKeepsAnEmptyNameAsMyWeb) {
    EXPECT_EQ(dialog.windowTitle(), "Specify location of HTML");
    EXPECT_EQ(dialog.htmlName(), "MyWeb.htm");
    dialog.setHtmlName("");
    const bool ok = run([this] {
        EXPECT_EQ(dialog.htmlFolder(), dir.path());
        EXPECT_EQ(listed(), (QStringList{"a.htm", "b.html"}));
        // Clicking a file leaves the name alone.
        dialog.lvFiles->setCurrentRow(1);
        EXPECT_EQ(dialog.htmlName(), "");
        dialog.bOK->click();
    });
    EXPECT_TRUE(ok);
    EXPECT_TRUE(script.asked.empty());
    EXPECT_EQ(dialog.htmlName(), "MyWeb.htm");
    EXPECT_EQ(dialog.galleryPath(), dir.filePath("MyWeb.htm"));
}

TEST_F(OutputDialogTest, AnExistingPageIsOnlyReplacedAfterTheQuestion) {
    dialog.setHtmlName("a.htm");
    script.answer("html.overwrite", MessageAnswer::Cancel);
    script.answer("html.overwrite", MessageAnswer::Ok);
    const bool ok = run([this] {
        dialog.bOK->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.htmlName(), "a.htm");
        EXPECT_EQ(dialog.htmlFolder(), dir.path());
        dialog.bOK->click();
    });
    EXPECT_TRUE(ok);
    ASSERT_EQ(script.asked.size(), 2u);
    EXPECT_EQ(script.asked[0].text, "Overwrite file?");
    EXPECT_EQ(script.asked[0].buttons, MessageButtons::OkCancel);
}

TEST_F(OutputDialogTest, NameWithoutHtmBecomesMyWebAndCancelWritesNothing) {
    dialog.setHtmlName("Album");
    EXPECT_TRUE(run([this] { dialog.bOK->click(); }));
    EXPECT_EQ(dialog.htmlName(), "MyWeb.htm");
    EXPECT_FALSE(run([this] { dialog.bCancel->click(); }));
}

TEST_F(OutputDialogTest, StartFolderThatIsGoneFallsBackToItsNearestParent) {
    dialog.selectFolder(dir.filePath("gone/deeper"));
    EXPECT_EQ(dialog.htmlFolder(), dir.path());
}

TEST_F(OutputDialogTest, PopupMenuSelectionCommands) {
    dialog.selectFolder(dir.path());
    QStringList items;
    for (QAction* a : dialog.pmFiles->actions())
        items << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(items, (QStringList{"Open in Notepad", "-", "Select All", "DeSelect All",
                                  "Invert Selection", "-", "Delete Selected Files"}));
    dialog.miSelectAllClick();
    EXPECT_EQ(selected(), (QStringList{"a.htm", "b.html"}));
    dialog.miDeSelectAllClick();
    EXPECT_TRUE(selected().isEmpty());
    dialog.lvFiles->item(0)->setSelected(true);
    dialog.miInvertSelectionClick();
    EXPECT_EQ(selected(), QStringList{"b.html"});

    dialog.miOpenInNotepadClick();
    EXPECT_EQ(launched.plainEditor, QStringList{dir.filePath("b.html")});
    dialog.miDeSelectAllClick();
    dialog.miOpenInNotepadClick();
    EXPECT_EQ(launched.plainEditor.size(), 1);
}

TEST_F(OutputDialogTest, DeleteSelectedFilesAsksTheConfirmationAndRefreshes) {
    dialog.selectFolder(dir.path());
    dialog.miSelectAllClick();
    script.onModal("confirmDeletion", [](QDialog& d) {
        EXPECT_EQ(d.findChild<QLabel*>("lNumDel")->text(), "Confirm deletion of 2 files...");
        return int(QDialog::Rejected);
    });
    dialog.miDeleteClick();
    EXPECT_TRUE(QFile::exists(dir.filePath("a.htm")));
    EXPECT_EQ(listed().size(), 2);

    dialog.lvFiles->clearSelection();
    dialog.lvFiles->item(0)->setSelected(true);
    script.onModal("confirmDeletion", [](QDialog&) { return int(QDialog::Accepted); });
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(dialog.lvFiles, &del);
    EXPECT_FALSE(QFile::exists(dir.filePath("a.htm")));
    EXPECT_TRUE(QFile::exists(dir.filePath("b.html")));
    EXPECT_EQ(listed(), QStringList{"b.html"});

    // The Delete key with nothing selected asks nothing.
    dialog.lvFiles->clearSelection();
    QApplication::sendEvent(dialog.lvFiles, &del);
    EXPECT_EQ(script.modals.size(), 2);
}

TEST(OutputDialogSettings, FileNameIsKeptInTheSettingsFile) {
    testing::ApplicationGuard app;
    QTemporaryDir dir;
    const std::filesystem::path ini = (dir.path() + "/Pictorant.ini").toStdString();
    {
        SettingsFile file(ini);
        GalleryLocationDialog dialog(&file);
        EXPECT_EQ(dialog.htmlName(), "MyWeb.htm");
        dialog.setHtmlName("Album.html");
    }
    SettingsFile file(ini);
    GalleryLocationDialog again(&file);
    EXPECT_EQ(again.htmlName(), "Album.html");
}

} // namespace
} // namespace pictorant
