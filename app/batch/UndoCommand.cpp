#include "app/batch/UndoCommand.h"

#include "engine/RenameJournal.h"

#include <iostream>

namespace pictorant::batch {

int runUndo(const std::vector<std::string>& args, std::ostream& out) {
    const CommandSyntax syntax{"undo",
                               "",
                               "Renames the files of the last rename run back to their old names;\n"
                               "stops at a name that is taken now (status 1).",
                               {},
                               ""};
    const ParsedArgs parsed = parseCommandLine(syntax, args);
    if (parsed.help) {
        out << commandHelp(syntax);
        return kExitComplete;
    }
    if (!parsed.positional.empty())
        throw UsageError("undo takes no arguments");
    const UndoOutcome outcome = undoLastRename(defaultRenameJournalPath());
    out << outcome.message << std::endl;
    return outcome.complete ? kExitComplete : kExitIncomplete;
}

void addUndoCommand(std::vector<BatchCommand>& table) {
    table.push_back(
        {"undo", "undo\n    Renames the files of the last rename run back to their old names.\n",
         [](const std::vector<std::string>& args) { return runUndo(args, std::cout); }});
}

} // namespace pictorant::batch
