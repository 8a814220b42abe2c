#pragma once

// The pieces every pictorant-batch command is built from. A command file offers a
// function that adds its commands to the table (PictureCommands.h:
// addPictureCommands) or an extension of the run commands (GalleryCommand.h:
// galleryRunExtension); main.cpp puts them all in one table.

#include "JobSettings.h"
#include "RunState.h"

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
    std::string usage; // lines for --help, e.g. "info FILE...   kind and size of pictures"
    std::function<int(const std::vector<std::string>& args)> run;
};

// An option that an extension adds to the run commands (rename, copy, convert,
// thumbnails), e.g. {"--gallery", true, "PATH  write a gallery after the run"}.
struct RunOption {
    std::string name;
    bool takesValue = true;
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

// A helper for command files: parses "--name value", "--name=value" and flags.
// `valued` and `flags` list the accepted names; anything else starting with "--" is a
// UsageError, everything else a positional argument ("--" ends the options).
struct ParsedArgs {
    std::map<std::string, std::string> values;
    std::vector<std::string> flags;
    std::vector<std::string> positional;
    bool has(const std::string& name) const;
    std::optional<std::string> value(const std::string& name) const;
};
ParsedArgs parseArgs(const std::vector<std::string>& args, const std::vector<std::string>& valued,
                     const std::vector<std::string>& flags);

// The run commands: rename, copy, convert, thumbnails, with the given extensions.
void addRunCommands(std::vector<BatchCommand>& table, std::vector<RunExtension> extensions);

} // namespace pictorant::batch
