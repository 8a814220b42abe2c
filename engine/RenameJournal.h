#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pictorant {

// What a rename run is about to do, written down before the first rename so that the
// run can be undone afterwards.
struct RenameJournal {
    std::string folder;
    std::vector<std::pair<std::string, std::string>> renames; // {old name, new name}, in run order
};

// Where the journal of the last rename run lives: "last-rename" in userStateFolder().
std::string defaultRenameJournalPath();

// Writes the journal through the safe writer, making its folder when missing. Throws
// SafeWriteError.
void saveRenameJournal(const std::string& path, const RenameJournal& journal);
// The journal at path, or nothing when there is none (or it cannot be read as one).
std::optional<RenameJournal> loadRenameJournal(const std::string& path);

struct UndoOutcome {
    int renamedBack = 0;   // files that have their old name again
    bool complete = false; // every file of the journal that was renamed is back
    std::string message;   // what to tell the user
};

// Renames back in reverse order with the no-replace rename. A file the run never
// reached (new name missing, old name present) is passed over; a name that is taken
// now stops the undo with a message naming it. The journal is removed once complete.
UndoOutcome undoLastRename(const std::string& journalPath);

} // namespace pictorant
