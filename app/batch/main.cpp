// pictorant-batch: the runs of the wizard, the picture commands and the gallery from
// the command line, on the same engine as the window program.

#include "BatchCommand.h"

#if __has_include("PictureCommands.h")
#include "PictureCommands.h"
#define PICTORANT_HAS_PICTURE_COMMANDS 1
#endif
#if __has_include("GalleryCommand.h")
#include "GalleryCommand.h"
#define PICTORANT_HAS_GALLERY_COMMAND 1
#endif

#include <iostream>

using namespace pictorant::batch;

namespace {

std::vector<BatchCommand> commandTable() {
    std::vector<RunExtension> runExtensions;
#ifdef PICTORANT_HAS_GALLERY_COMMAND
    runExtensions.push_back(pictorant::batch::galleryRunExtension());
#endif
    std::vector<BatchCommand> table;
    addRunCommands(table, std::move(runExtensions));
#ifdef PICTORANT_HAS_PICTURE_COMMANDS
    pictorant::batch::addPictureCommands(table);
#endif
    return table;
}

void printUsage(std::ostream& out, const std::vector<BatchCommand>& table) {
    out << "Usage:\n";
    for (const auto& command : table)
        if (!command.usage.empty())
            out << "pictorant-batch " << command.usage;
    out << "pictorant-batch --help\n";
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<BatchCommand> table = commandTable();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        printUsage(std::cerr, table);
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        printUsage(std::cout, table);
        return kExitComplete;
    }
    for (const auto& command : table) {
        if (command.name != args[0])
            continue;
        try {
            return command.run({args.begin() + 1, args.end()});
        } catch (const UsageError& e) {
            std::cerr << "pictorant-batch: " << e.what() << "\n(see pictorant-batch --help)\n";
            return kExitUsage;
        } catch (const std::exception& e) {
            std::cerr << "pictorant-batch: " << e.what() << '\n';
            return kExitIncomplete;
        }
    }
    std::cerr << "pictorant-batch: unknown command " << args[0]
              << "\n(see pictorant-batch --help)\n";
    return kExitUsage;
}
