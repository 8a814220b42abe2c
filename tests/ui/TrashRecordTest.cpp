// Deletion to the trash remembers what it moved; "Restore Last Deleted" brings it back
// without ever replacing a file, and "Undo Last Rename" takes back the last rename run.

#include "ui/TrashRecord.h"
#include "engine/RenameJournal.h"
#include "tests/support/FileFaults.h"
#include "tests/ui/WizardSupport.h"
#include "ui/FolderCommands.h"
#include "ui/ProgramWindows.h"
#include "ui/RecoveryCommands.h"

namespace pictorant::uitest {
namespace {

class Trash : public MainWindowTest {
protected:
    Trash() {
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            writeFile(pics + "/" + name, QByteArray("bytes of ") + name);
    }
    QStringList paths(std::initializer_list<const char*> names) const {
        QStringList list;
        for (const char* name : names)
            list << pics + "/" + name;
        return list;
    }
    ScratchHome home{root};
    QString trash = root + "/data/Trash";
};

TEST_F(Trash, DeletionRecordsWhatMovedAndRestoreBringsItBackButNeverReplacesAFile) {
    EXPECT_EQ(lastDeletedRecordPath(), root + "/state/Pictorant/last-deleted");
    deleteFiles(paths({"a.jpg", "c.jpg"}), true);
    EXPECT_EQ(filesIn(pics), QStringList{"b.jpg"});

    writeFile(pics + "/a.jpg", "a new a.jpg");
    const RestoreOutcome outcome = TrashRecord().restore();
    EXPECT_EQ(outcome.restored, paths({"c.jpg"}));
    EXPECT_EQ(restoreMessage(outcome), "Restored 1 of 2 files from the trash.\r\nThese could not "
                                       "come back:\r\n" +
                                           pics + "/a.jpg: a file has that name now");
    EXPECT_EQ(fileBytes(pics + "/a.jpg"), "a new a.jpg");
    EXPECT_EQ(filesIn(trash + "/info"), QStringList{"a.jpg.trashinfo"}) << "the trash forgets";

    // Once the name is free, the one left comes back too, and the record is gone.
    QFile::rename(pics + "/a.jpg", pics + "/a2.jpg");
    const RestoreOutcome second = TrashRecord().restore();
    EXPECT_EQ(restoreMessage(second), "Restored 1 file from the trash.");
    EXPECT_EQ(fileBytes(pics + "/a.jpg"), "bytes of a.jpg");
    EXPECT_TRUE(filesIn(trash + "/files").isEmpty());
    EXPECT_FALSE(QFile::exists(lastDeletedRecordPath()));
    EXPECT_EQ(restoreMessage(TrashRecord().restore()), "There are no deleted files to restore.");
}

TEST_F(Trash, FilesGoneFromTheTrashOrFolderAreNamedAndOnlyTheLastDeletionCounts) {
    deleteFiles(paths({"a.jpg"}), true);
    deleteFiles(paths({"missing.jpg"}), true);
    EXPECT_EQ(TrashRecord().load().size(), 1u) << "nothing moved: the record stays";
    deleteFiles(paths({"b.jpg", "c.jpg"}), true);
    QFile::remove(trash + "/files/b.jpg");
    QDir(pics).removeRecursively();
    const RestoreOutcome outcome = TrashRecord().restore();
    EXPECT_TRUE(outcome.restored.isEmpty());
    EXPECT_EQ(outcome.notRestored, (QStringList{pics + "/b.jpg: no longer in the trash",
                                                pics + "/c.jpg: No such file or directory"}));
    ASSERT_EQ(TrashRecord().load().size(), 1u) << "only the file still in the trash stays";

    QDir().mkpath(pics);
    writeFile(pics + "/d.jpg");
    deleteFiles(paths({"d.jpg"}), false);
    EXPECT_EQ(TrashRecord().restore().restored, paths({"c.jpg"})) << "for good leaves the record";
}

// A record that cannot be written must not leave an older one to stand in for it.
TEST_F(Trash, RecordThatCannotBeWrittenDropsTheOlderOneAndARecordReadsBackWhole) {
    pictorant::testing::TinyFileSystem tiny(64);
    if (!tiny.mounted())
        GTEST_SKIP() << tiny.skipReason();
    TrashRecord record(QString::fromStdString(tiny / "last-deleted"));
    record.moveToTrash(paths({"a.jpg"}));
    ASSERT_EQ(record.load().size(), 1u);
    pictorant::testing::writeBytes(tiny / "filler", std::string(128 * 1024, 'f'));
    record.moveToTrash(paths({"b.jpg"}));
    EXPECT_EQ(filesIn(pics), QStringList{"c.jpg"}) << "deletion stays silent";
    EXPECT_EQ(pictorant::testing::namesIn(tiny.str()), std::vector<std::string>{"filler"});
    EXPECT_FALSE(record.restore().hadRecord);

    const std::vector<TrashedFile> files = {{"/p/with \"quote\".jpg", "/t/files/x"},
                                            {QString::fromUtf8("/p/caf\u00e9\nline.jpg"), "/t/2"}};
    TrashRecord other(root + "/state/sub/last-deleted");
    other.save(files);
    EXPECT_EQ(other.load(), files);
    writeFile(root + "/garbage", "not a record");
    EXPECT_TRUE(TrashRecord(root + "/garbage").load().empty());
}

// The program's own windows carry the menu entries; they say what they did and re-read
// the source list.
TEST_F(Trash, MenuEntriesRestoreTheDeletionAndUndoTheRename) {
    ProgramWindows program((root + "/Pictorant.ini").toStdString());
    MainWizard& main = program.main();
    ASSERT_TRUE(showFolder(main.sourcePane(), pics, 3));
    ASSERT_TRUE(main.sourcePane().selectName("a.jpg"));
    script.onModal("confirmDeletion", [](QDialog&) { return int(QDialog::Accepted); });
    ctl<QToolButton>(main, "bDelSel")->click();
    ASSERT_FALSE(QFile::exists(pics + "/a.jpg"));
    ctl<QAction>(main, "RestoreLastDeleted1")->trigger();
    EXPECT_EQ(script.last().id, "restoreLastDeleted");
    EXPECT_EQ(script.last().text, "Restored 1 file from the trash.");
    EXPECT_EQ(fileBytes(pics + "/a.jpg"), "bytes of a.jpg");
    EXPECT_TRUE(waitCount(main.sourcePane(), 3));

    const RenameJournal journal{pics.toStdString(),
                                {{"a.jpg", "Image-a.jpg"}, {"b.jpg", "Image-b.jpg"}}};
    for (const auto& [was, now] : journal.renames)
        QFile::rename(pics + "/" + was.c_str(), pics + "/" + now.c_str());
    saveRenameJournal(defaultRenameJournalPath(), journal);
    ctl<QAction>(main, "UndoLastRename1")->trigger();
    EXPECT_EQ(script.last().text, "Undo complete: 2 files renamed back in " + pics + ".");
    EXPECT_EQ(fileBytes(pics + "/b.jpg"), "bytes of b.jpg");
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return main.sourcePane().entryNames() == QStringList{"a.jpg", "b.jpg", "c.jpg"};
    }));
}

} // namespace
} // namespace pictorant::uitest
