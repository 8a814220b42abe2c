#include "engine/RenameJournal.h"

#include "engine/FileOps.h"
#include "engine/JobSettings.h"

#include "files/SafeFile.h"
#include "settings/SettingsLocation.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace pictorant {

namespace {

const char* const kJournalHeader = "Pictorant rename journal 1";

// One name per line: backslash, tab and line breaks are written as escapes, so any
// name the file system allows survives the trip.
std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::optional<std::string> unescaped(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return std::nullopt;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 't':
            out += '\t';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        default:
            return std::nullopt;
        }
    }
    return out;
}

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

std::string filesText(int count) {
    return std::to_string(count) + (count == 1 ? " file" : " files");
}

} // namespace

std::string defaultRenameJournalPath() {
    return (userStateFolder() / "last-rename").string();
}

void saveRenameJournal(const std::string& path, const RenameJournal& journal) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::string text = std::string(kJournalHeader) + "\n" + escaped(journal.folder) + "\n";
    for (const auto& [from, to] : journal.renames)
        text += escaped(from) + "\t" + escaped(to) + "\n";
    writeFileSafely(path, text);
}

std::optional<RenameJournal> loadRenameJournal(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kJournalHeader || !std::getline(in, line))
        return std::nullopt;
    RenameJournal journal;
    const auto folder = unescaped(line);
    if (!folder || folder->empty())
        return std::nullopt;
    journal.folder = *folder;
    while (std::getline(in, line)) {
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos)
            return std::nullopt;
        auto from = unescaped(line.substr(0, tab));
        auto to = unescaped(line.substr(tab + 1));
        if (!from || !to || from->empty() || to->empty())
            return std::nullopt;
        journal.renames.emplace_back(std::move(*from), std::move(*to));
    }
    return journal;
}

UndoOutcome undoLastRename(const std::string& journalPath) {
    UndoOutcome outcome;
    const std::optional<RenameJournal> journal = loadRenameJournal(journalPath);
    if (!journal) {
        outcome.message = "There is no rename to undo.";
        return outcome;
    }
    const std::string& folder = journal->folder;
    for (auto it = journal->renames.rbegin(); it != journal->renames.rend(); ++it) {
        const std::string oldPath = joinPath(folder, it->first);
        const std::string newPath = joinPath(folder, it->second);
        // A file the run never reached still has its old name.
        if (!pathExists(newPath) && pathExists(oldPath))
            continue;
        RenameResult result;
        try {
            result = renameNoReplace(newPath, oldPath);
        } catch (const FileError& e) {
            outcome.message = "Undo stopped: " + std::string(e.what()) + ". " +
                              filesText(outcome.renamedBack) + " renamed back.";
            return outcome;
        }
        if (result == RenameResult::TargetExists) {
            outcome.message = "Undo stopped: " + quoted(it->first) + " is taken now, so " +
                              quoted(it->second) + " keeps its name. " +
                              filesText(outcome.renamedBack) + " renamed back.";
            return outcome;
        }
        ++outcome.renamedBack;
    }
    outcome.complete = true;
    std::error_code ignored;
    std::filesystem::remove(journalPath, ignored);
    outcome.message =
        "Undo complete: " + filesText(outcome.renamedBack) + " renamed back in " + folder + ".";
    return outcome;
}

} // namespace pictorant
