#pragma once

// pictorant-batch undo: the last rename run, renamed back.

#include "app/batch/BatchCommand.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace pictorant::batch {

// Renames the files of the last rename run (its journal in the user's state folder)
// back to their old names and prints what was done. Exit 0 when every file is back,
// 1 when the undo stopped at a name that is taken now or there was nothing to undo.
int runUndo(const std::vector<std::string>& args, std::ostream& out);

void addUndoCommand(std::vector<BatchCommand>& table);

} // namespace pictorant::batch
