// Deletion to the trash remembers what it moved, and "Restore Last Deleted" brings it
// back without ever replacing a file. The trash and the state folder are scratch
// folders for each test.

#include "TrashRecord.h"
#include "DeleteFilesDialog.h"
#include "FolderCommands.h"
#include "support/FileFaults.h"

#include <QByteArray>
#include <QFile>
#include <filesystem>
#include <gtest/gtest.h>

namespace pictorant {
namespace {

using pictorant::testing::namesIn;
using pictorant::testing::readBytes;
using pictorant::testing::ScratchFolder;
using pictorant::testing::writeBytes;

namespace fs = std::filesystem;

// Points HOME, the data folder (and so the trash) and the state folder into a scratch
// folder while it lives.
class ScratchHome {
public:
    ScratchHome() {
        for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
            saved_.push_back({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv("HOME", QByteArray::fromStdString(home_.str()));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home_ / "data"));
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString(home_ / "state"));
    }
    ~ScratchHome() {
        for (const Saved& s : saved_) {
            if (s.wasSet)
                qputenv(s.name, s.value);
            else
                qunsetenv(s.name);
        }
    }
    std::string operator/(const std::string& name) const { return home_ / name; }
    std::string record() const { return home_ / "state/Pictorant/last-deleted"; }
    std::string trashFiles() const { return home_ / "data/Trash/files"; }
    std::string trashInfo() const { return home_ / "data/Trash/info"; }

private:
    struct Saved {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    ScratchFolder home_;
    std::vector<Saved> saved_;
};

QString q(const std::string& path) {
    return QString::fromStdString(path);
}

class TrashRecordTest : public ::testing::Test {
protected:
    TrashRecordTest() {
        fs::create_directory(pics);
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
            writeBytes(pics + "/" + name, std::string("bytes of ") + name);
    }
    QStringList paths(std::initializer_list<const char*> names) const {
        QStringList list;
        for (const char* name : names)
            list << q(pics + "/" + name);
        return list;
    }

    ScratchHome home;
    const std::string pics = home / "pics";
};

TEST_F(TrashRecordTest, RecordLivesInTheStateFolderOrUnderLocalState) {
    EXPECT_EQ(lastDeletedRecordPath(), q(home.record()));
    qputenv("XDG_STATE_HOME", "relative/state"); // not absolute: ignored
    EXPECT_EQ(lastDeletedRecordPath(), q(home / ".local/state/Pictorant/last-deleted"));
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(lastDeletedRecordPath(), q(home / ".local/state/Pictorant/last-deleted"));
}

TEST_F(TrashRecordTest, DeletionToTheTrashRecordsWhatMovedAndRestoreBringsItBack) {
    deleteFiles(paths({"a.jpg", "c.jpg"}), true);
    EXPECT_EQ(namesIn(pics), std::vector<std::string>{"b.jpg"});
    const std::vector<TrashedFile> recorded = TrashRecord().load();
    ASSERT_EQ(recorded.size(), 2u);
    EXPECT_EQ(recorded[0].originalPath, q(pics + "/a.jpg"));
    EXPECT_EQ(recorded[0].trashPath, q(home.trashFiles() + "/a.jpg"));
    EXPECT_EQ(recorded[1].originalPath, q(pics + "/c.jpg"));
    EXPECT_EQ(namesIn(home.trashInfo()),
              (std::vector<std::string>{"a.jpg.trashinfo", "c.jpg.trashinfo"}));

    const RestoreOutcome outcome = TrashRecord().restore();
    EXPECT_TRUE(outcome.hadRecord);
    EXPECT_EQ(outcome.restored, paths({"a.jpg", "c.jpg"}));
    EXPECT_TRUE(outcome.notRestored.isEmpty());
    EXPECT_EQ(namesIn(pics), (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(readBytes(pics + "/a.jpg"), "bytes of a.jpg");
    EXPECT_EQ(readBytes(pics + "/c.jpg"), "bytes of c.jpg");
    EXPECT_TRUE(namesIn(home.trashFiles()).empty());
    EXPECT_TRUE(namesIn(home.trashInfo()).empty()) << "the trash forgets restored files";
    EXPECT_FALSE(fs::exists(home.record())) << "nothing is left to restore";
    EXPECT_EQ(restoreMessage(outcome), "Restored 2 files from the trash.");

    const RestoreOutcome again = TrashRecord().restore();
    EXPECT_FALSE(again.hadRecord);
    EXPECT_EQ(restoreMessage(again), "There are no deleted files to restore.");
}

TEST_F(TrashRecordTest, AFileThatNowHasTheNameIsNeverReplaced) {
    deleteFiles(paths({"a.jpg", "b.jpg"}), true);
    writeBytes(pics + "/a.jpg", "a new a.jpg");

    const RestoreOutcome outcome = TrashRecord().restore();
    EXPECT_EQ(outcome.restored, paths({"b.jpg"}));
    EXPECT_EQ(outcome.notRestored, QStringList{q(pics + "/a.jpg: a file has that name now")});
    EXPECT_EQ(readBytes(pics + "/a.jpg"), "a new a.jpg");
    EXPECT_EQ(readBytes(pics + "/b.jpg"), "bytes of b.jpg");
    EXPECT_EQ(readBytes(home.trashFiles() + "/a.jpg"), "bytes of a.jpg");
    EXPECT_EQ(namesIn(home.trashInfo()), std::vector<std::string>{"a.jpg.trashinfo"});
    EXPECT_EQ(restoreMessage(outcome), "Restored 1 of 2 files from the trash.\r\nThese could "
                                       "not come back:\r\n" +
                                           q(pics) + "/a.jpg: a file has that name now");

    // Once the name is free, the one left comes back too.
    fs::rename(pics + "/a.jpg", pics + "/a2.jpg");
    const RestoreOutcome second = TrashRecord().restore();
    EXPECT_EQ(second.restored, paths({"a.jpg"}));
    EXPECT_EQ(readBytes(pics + "/a.jpg"), "bytes of a.jpg");
    EXPECT_FALSE(fs::exists(home.record()));
}

TEST_F(TrashRecordTest, FilesGoneFromTheTrashOrFolderAreNamedNotRestored) {
    deleteFiles(paths({"a.jpg", "b.jpg"}), true);
    fs::remove(home.trashFiles() + "/a.jpg"); // the trash was emptied of it
    fs::remove_all(pics);                     // the folder is gone

    const RestoreOutcome outcome = TrashRecord().restore();
    EXPECT_TRUE(outcome.restored.isEmpty());
    EXPECT_EQ(outcome.notRestored, (QStringList{q(pics + "/a.jpg: no longer in the trash"),
                                                q(pics + "/b.jpg: No such file or directory")}));
    EXPECT_EQ(readBytes(home.trashFiles() + "/b.jpg"), "bytes of b.jpg");
    const std::vector<TrashedFile> left = TrashRecord().load();
    ASSERT_EQ(left.size(), 1u) << "only the file still in the trash stays recorded";
    EXPECT_EQ(left[0].originalPath, q(pics + "/b.jpg"));
}

TEST_F(TrashRecordTest, EachDeletionReplacesTheRecordAndDeletingForGoodLeavesIt) {
    deleteFiles(paths({"a.jpg"}), true);
    deleteFiles(paths({"b.jpg"}), true);
    deleteFiles(paths({"c.jpg"}), false);
    EXPECT_TRUE(namesIn(pics).empty());
    const RestoreOutcome outcome = TrashRecord().restore();
    EXPECT_EQ(outcome.restored, paths({"b.jpg"}));
    EXPECT_EQ(namesIn(pics), std::vector<std::string>{"b.jpg"});
}

TEST_F(TrashRecordTest, NothingMovedKeepsTheEarlierRecord) {
    deleteFiles(paths({"a.jpg"}), true);
    deleteFiles(paths({"missing.jpg"}), true);
    EXPECT_EQ(TrashRecord().restore().restored, paths({"a.jpg"}));
}

// A record that cannot be written (a full file system) must not leave an older one to
// stand in for it: restoring would bring back files the user did not mean.
TEST_F(TrashRecordTest, RecordThatCannotBeWrittenDropsTheOlderOne) {
    pictorant::testing::TinyFileSystem tiny(64);
    if (!tiny.mounted())
        GTEST_SKIP() << tiny.skipReason();
    TrashRecord record(q(tiny / "last-deleted"));
    record.moveToTrash(paths({"a.jpg"}));
    ASSERT_EQ(record.load().size(), 1u);
    writeBytes(tiny / "filler", std::string(128 * 1024, 'f'));

    record.moveToTrash(paths({"b.jpg"}));
    EXPECT_EQ(namesIn(pics), std::vector<std::string>{"c.jpg"}) << "deletion stays silent";
    EXPECT_EQ(namesIn(tiny.str()), std::vector<std::string>{"filler"})
        << "no stale record, no temporary file";
    EXPECT_FALSE(record.restore().hadRecord);
}

TEST_F(TrashRecordTest, RecordIsWrittenWholeAndReadBack) {
    const std::vector<TrashedFile> files = {
        {"/pics/with \"quote\".jpg", "/trash/files/with \"quote\".jpg"},
        {QString::fromUtf8("/pics/caf\u00e9\nline.jpg"), "/trash/files/2"}};
    TrashRecord record(q(home / "state/sub/last-deleted"));
    record.save(files);
    EXPECT_EQ(record.load(), files);
    EXPECT_EQ(namesIn(home / "state/sub"), std::vector<std::string>{"last-deleted"});
    record.save({});
    EXPECT_FALSE(fs::exists(home / "state/sub/last-deleted"));

    writeBytes(home / "garbage", "not a record");
    EXPECT_TRUE(TrashRecord(q(home / "garbage")).load().empty());
}

} // namespace
} // namespace pictorant
