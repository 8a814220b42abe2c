#pragma once

// The pieces every pictorant-batch command is built from. A command file offers a
// function that adds its commands to the table (PictureCommands.h:
// addPictureCommands) or an extension of the run commands (GalleryCommand.h:
// galleryRunExtension); main.cpp puts them all in one table.

#include "engine/JobSettings.h"
#include "engine/RunState.h"

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pictorant::batch {

// Exit statuses of every command.
inline constexpr int kExitComplete = 0;   // the work was done
inline constexpr int kExitIncomplete = 1; // stopped, failed, or a file failed
inline constexpr int kExitUsage = 2;      // the command line was wrong

// A wrong command line; what() is the message, printed after "pictorant-batch: ".
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One command: `pictorant-batch <name> ARGS...`. `run` gets the arguments after the
// name and returns an exit status; it may throw UsageError.
struct BatchCommand {
    std::string name;
    std::string usage; // its lines in the program's --help, e.g. "info FILE...\n    kind..."
    std::function<int(const std::vector<std::string>& args)> run;
};

// An option that an extension adds to the run commands (rename, copy, convert,
// thumbnails), e.g. {"--gallery", "PATH", "write a gallery after the run"}.
struct RunOption {
    std::string name;      // with its dashes
    std::string valueName; // empty for a flag
    std::string help;
};

// What a run command hands an extension after the run.
struct RunReport {
    const JobSettings& job;
    const RunState& state; // read the run through state.galleryEntries()
    bool complete;         // the run reported "Operation complete."
    // --settings FILE when given: the extension reads its own group from it.
    const std::optional<std::filesystem::path>& settingsFile;
    // The extension's options given on the command line (name -> value; "" for flags).
    const std::map<std::string, std::string>& options;
    std::ostream& out;
    std::ostream& err;
};

// Extra options of the run commands and a step after every run. `afterRun` returns an
// exit status, which is combined with the run's (the larger wins).
struct RunExtension {
    std::vector<RunOption> options;
    std::function<int(const RunReport&)> afterRun;
};

// One option of a command: its names without dashes ({"q", "quiet"}), the name of its
// value for an option that takes one (empty for a flag), and its line in --help.
struct OptionSyntax {
    std::vector<std::string> names;
    std::string valueName;
    std::string help;
};

// What a command accepts and what its --help shows.
struct CommandSyntax {
    std::string name;        // the command word, e.g. "rotate"
    std::string synopsis;    // after the command word, e.g. "cw|ccw [OPTIONS] FILE..."
    std::string description; // the text between the usage line and the options
    std::vector<OptionSyntax> options;
    std::string arguments; // the positional arguments' lines in --help
};

// A command line as QCommandLineParser read it. Options are found by their long name
// with its dashes ("--quiet", "--input"), whichever name was typed.
struct ParsedArgs {
    bool help = false; // -h or --help: print commandHelp and do nothing else
    std::map<std::string, std::string> values;
    std::vector<std::string> flags;
    std::vector<std::string> positional;
    bool has(const std::string& name) const;
    std::optional<std::string> value(const std::string& name) const;
};

// Reads `args` (the words after the command) by `syntax` plus -h/--help. Options may come
// before, between and after the other arguments; "--" ends them. Arguments keep their
// bytes whatever the locale. A wrong command line throws UsageError with the parser's
// message (e.g. "Unknown option 'fast'.").
ParsedArgs parseCommandLine(const CommandSyntax& syntax, const std::vector<std::string>& args);

// The command's help: usage line, description, options, arguments and exit statuses.
std::string commandHelp(const CommandSyntax& syntax);

// The exit statuses, as every --help ends.
extern const char* const kExitStatusHelp;

// The program's name and version, as --version prints them.
std::string versionLine();

// --files-from FILE ("-": standard input) with -0: the names FILE holds, one a line, or
// NUL-separated; empty names are left out. Throws UsageError when FILE cannot be read.
std::vector<std::string> namesFrom(const std::string& file, bool nulSeparated);
// The positional names followed by those of --files-from, when given.
std::vector<std::string> givenFiles(const ParsedArgs& parsed);
// The options that give files: --files-from FILE and -0/--null.
std::vector<OptionSyntax> fileListOptions();

// The run commands: rename, copy, convert, thumbnails, with the given extensions.
void addRunCommands(std::vector<BatchCommand>& table, std::vector<RunExtension> extensions);

} // namespace pictorant::batch
