// "Undo Last Rename" and "Restore Last Deleted" in the source pane's menu: they take
// back the last rename run or deletion, say what they did and re-read the panes.

#include "RecoveryCommands.h"
#include "DeleteFilesDialog.h"
#include "FolderCommands.h"
#include "ProgramWindows.h"
#include "WizardSupport.h"
#include "engine/RenameJournal.h"

#include <QAction>
#include <QMenu>

namespace pictorant::uitest {
namespace {

// HOME, the trash and the state folder inside the test's folder while it lives.
class ScratchState {
public:
    explicit ScratchState(const QString& root) {
        for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
            saved_.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv("HOME", root.toUtf8());
        qputenv("XDG_DATA_HOME", (root + "/data").toUtf8());
        qputenv("XDG_STATE_HOME", (root + "/state").toUtf8());
    }
    ~ScratchState() {
        for (const Saved& s : saved_) {
            if (s.wasSet)
                qputenv(s.name, s.value);
            else
                qunsetenv(s.name);
        }
    }

private:
    struct Saved {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    std::vector<Saved> saved_;
};

class RecoveryMenu : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        state = std::make_unique<ScratchState>(root);
        makeWindow();
        new RecoveryCommands(*form); // owned by the window
        pics = sub("pics");
    }
    void TearDown() override {
        form.reset();
        state.reset();
    }
    QAction* action(const char* name) const {
        for (QAction* a : ctl<QMenu>(*form, "pm1")->actions())
            if (a->objectName() == name)
                return a;
        return nullptr;
    }
    QByteArray bytesOf(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    std::unique_ptr<ScratchState> state;
    QString pics;
};

// The program's own windows carry the entries, and the main window's deletion feeds
// the restore.
TEST_F(RecoveryMenu, ProgramDeletionCanBeRestoredFromItsMenu) {
    form.reset();
    ProgramWindows program((root + "/Pictorant.ini").toStdString());
    MainWizard& main = program.main();
    QAction* restore = nullptr;
    for (QAction* a : ctl<QMenu>(main, "pm1")->actions())
        if (a->text() == "Restore Last Deleted")
            restore = a;
    ASSERT_TRUE(restore);

    writeFile(pics + "/a.jpg", "bytes of a.jpg");
    ASSERT_TRUE(showFolder(main.sourcePane(), pics, 1));
    ASSERT_TRUE(main.sourcePane().selectName("a.jpg"));
    script.onModal("confirmDeletion", [](QDialog&) { return int(QDialog::Accepted); });
    ctl<QToolButton>(main, "bDelSel")->click();
    ASSERT_FALSE(QFile::exists(pics + "/a.jpg"));

    restore->trigger();
    EXPECT_EQ(script.last()->text, "Restored 1 file from the trash.");
    EXPECT_EQ(bytesOf(pics + "/a.jpg"), "bytes of a.jpg");
    EXPECT_TRUE(waitCount(main.sourcePane(), 1));
}

TEST_F(RecoveryMenu, RestoreLastDeletedBringsTheFilesBackAndRereadsThePanes) {
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        writeFile(pics + "/" + name, QByteArray("bytes of ") + name);
    ASSERT_TRUE(showFolder(form->sourcePane(), pics, 3));
    deleteFiles({pics + "/a.jpg", pics + "/c.jpg"}, true);
    form->sourcePane().rereadList();
    ASSERT_TRUE(waitCount(form->sourcePane(), 1));
    writeFile(pics + "/c.jpg", "a new c.jpg");

    action("RestoreLastDeleted1")->trigger();
    ASSERT_EQ(script.ids(), QStringList{"restoreLastDeleted"});
    EXPECT_EQ(script.last()->text, "Restored 1 of 2 files from the trash.\r\nThese could not "
                                   "come back:\r\n" +
                                       pics + "/c.jpg: a file has that name now");
    EXPECT_EQ(script.last()->icon, MessageIcon::Warning);
    EXPECT_EQ(bytesOf(pics + "/a.jpg"), "bytes of a.jpg");
    EXPECT_EQ(bytesOf(pics + "/c.jpg"), "a new c.jpg");
    EXPECT_TRUE(waitCount(form->sourcePane(), 3)) << "the list is read again";
}

TEST_F(RecoveryMenu, UndoLastRenameRenamesBackAndSaysWhatItDid) {
    RenameJournal journal{pics.toStdString(), {}};
    for (int i = 1; i <= 3; ++i) {
        const QString old = QString("photo%1.jpg").arg(i);
        const QString now = QString("Image%1.jpg").arg(i, 3, 10, QChar('0'));
        writeFile(pics + "/" + now, old.toUtf8());
        journal.renames.push_back({old.toStdString(), now.toStdString()});
    }
    saveRenameJournal(defaultRenameJournalPath(), journal);
    EXPECT_EQ(QString::fromStdString(defaultRenameJournalPath()),
              root + "/state/Pictorant/last-rename");
    ASSERT_TRUE(showFolder(form->sourcePane(), pics, 3));

    action("UndoLastRename1")->trigger();
    ASSERT_EQ(script.ids(), QStringList{"undoLastRename"});
    EXPECT_EQ(script.last()->text, "Undo complete: 3 files renamed back in " + pics + ".");
    EXPECT_EQ(script.last()->icon, MessageIcon::Information);
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(bytesOf(pics + QString("/photo%1.jpg").arg(i)),
                  QString("photo%1.jpg").arg(i).toUtf8());
    EXPECT_TRUE(waitUntil([&] {
        return form->sourcePane().isListLoaded() &&
               form->sourcePane().entryNames() ==
                   QStringList{"photo1.jpg", "photo2.jpg", "photo3.jpg"};
    }));

    // Nothing left to undo: the engine says so, and nothing changes.
    action("UndoLastRename1")->trigger();
    EXPECT_EQ(script.ids().size(), 2);
    EXPECT_EQ(script.last()->text, "There is no rename to undo.");
    EXPECT_EQ(script.last()->icon, MessageIcon::Warning);
    EXPECT_TRUE(QFile::exists(pics + "/photo1.jpg"));
}

} // namespace
} // namespace pictorant::uitest
