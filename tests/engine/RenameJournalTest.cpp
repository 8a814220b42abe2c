// The journal of a rename run and its undo: a name taken since stops the undo with the
// journal kept, and a journal that cannot be written never stops the renames.
#include "engine/RenameJournal.h"
#include "tests/support/TestHost.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pictorant {
namespace {

using namespace pictorant::testing;

class RenameUndo : public ::testing::Test, protected RunSetup {
protected:
    RunOutcome renameAll(const std::vector<std::string>& names) {
        job.mode = JobMode::RenameCopyConvert;
        job.renameOnly = true;
        job.qualifier = "Image";
        job.sourceFiles = names;
        workspace.renameJournalPath = journal;
        return go();
    }
    ScratchFolder stateHome;
    std::string journal = stateHome / "Pictorant/last-rename";
};

TEST_F(RenameUndo, ATakenNameStopsTheUndoAndKeepsTheJournal) {
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        writeBytes(in / name, name);
    ASSERT_TRUE(renameAll({"a.jpg", "b.jpg", "c.jpg"}).complete);
    writeBytes(in / "b.jpg", "a new file");

    const UndoOutcome undo = undoLastRename(journal);
    EXPECT_FALSE(undo.complete);
    EXPECT_EQ(undo.renamedBack, 1); // c.jpg, undone first
    EXPECT_EQ(undo.message, "Undo stopped: \"b.jpg\" is taken now, so \"Image002.jpg\" keeps its "
                            "name. 1 file renamed back.");
    EXPECT_EQ(readBytes(in / "b.jpg"), "a new file");
    EXPECT_EQ(readBytes(in / "Image002.jpg"), "b.jpg");
    EXPECT_EQ(readBytes(in / "c.jpg"), "c.jpg");
    EXPECT_TRUE(std::filesystem::exists(journal));

    std::filesystem::remove(in / "b.jpg");
    const UndoOutcome again = undoLastRename(journal);
    EXPECT_TRUE(again.complete);
    EXPECT_EQ(again.renamedBack, 2);
    EXPECT_EQ(namesIn(in.str()), (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(undoLastRename(journal).message, "There is no rename to undo.");

    std::filesystem::remove_all(stateHome / "Pictorant");
    writeBytes(stateHome / "Pictorant", "a file where the folder should be");
    EXPECT_TRUE(renameAll({"a.jpg"}).complete);
    EXPECT_EQ(undoLastRename(journal).message, "There is no rename to undo.");
    EXPECT_TRUE(std::filesystem::exists(in / "Image001.jpg"));
}

} // namespace
} // namespace pictorant
