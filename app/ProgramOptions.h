#pragma once

#include <string>
#include <vector>

namespace pictorant {

// What the two programs' command lines say before anything else: -h/--help and
// --version, and the words that are not options.
struct ProgramOptions {
    bool understood = true; // false: an unknown option or a value where none belongs
    std::string errorText;  // why not, e.g. "Unknown option 'x'."
    bool help = false;
    bool version = false;
    std::vector<std::string> words; // the arguments that are not options, in order
};

// Reads argv (argv[0] is the program). With `firstWordEndsOptions`, everything from the
// first word on is a word, options included, so a command's own options reach it.
// Words keep their bytes, whatever the locale (Latin-1 both ways).
ProgramOptions readProgramOptions(int argc, char** argv, bool firstWordEndsOptions);

} // namespace pictorant
