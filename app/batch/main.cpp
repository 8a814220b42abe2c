// pictorant-batch: the runs of the wizard, the picture commands and the gallery from
// the command line, on the same engine as the window program.

#include "BatchCommand.h"
#include "GalleryCommand.h"
#include "PictureCommands.h"
#include "StopSignals.h"
#include "UndoCommand.h"

#include <QGuiApplication>
#include <cstdlib>
#include <iostream>

using namespace pictorant::batch;

namespace {

std::vector<BatchCommand> commandTable() {
    std::vector<BatchCommand> table;
    addRunCommands(table, {galleryRunExtension()});
    addUndoCommand(table);
    addPictureCommands(table);
    return table;
}

void printUsage(std::ostream& out, const std::vector<BatchCommand>& table) {
    out << "Usage:\n";
    for (const auto& command : table)
        if (!command.usage.empty())
            out << "pictorant-batch " << command.usage;
    out << "pictorant-batch --help\n"
           "\nCtrl+C (or SIGTERM) stops a run after the current file; a second one stops it "
           "at once.\n"
           "Exit status: 0 done; 1 incomplete (stopped, or a file failed);\n"
           "  2 wrong command line or a refused plan (nothing written);\n"
           "  130 or 143 stopped at once by SIGINT or SIGTERM.\n"
           "A file is written as a hidden .pictorant-*.tmp beside it and renamed when whole;\n"
           "  a stop removes its own, and one left by a crash can be deleted.\n";
}

// Metafile text needs the font machinery of a GUI application; without a display the
// offscreen platform gives it, so the tool renders what the window program renders.
void useOffscreenPlatformWithoutDisplay() {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr && std::getenv("DISPLAY") == nullptr &&
        std::getenv("WAYLAND_DISPLAY") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

// Standard error carries the run's own progress and messages; Qt's notes about its
// environment (e.g. no XDG_RUNTIME_DIR) are not the user's concern.
void dropQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::cerr << message.toStdString() << '\n';
}

} // namespace

int main(int argc, char** argv) {
    useOffscreenPlatformWithoutDisplay();
    qInstallMessageHandler(dropQtNotes);
    installStopSignalHandlers();
    // The toolkit takes options such as -session or -platform out of the argument list
    // it is given, even after "--"; it gets the program name alone, so every argument
    // reaches the commands as typed. Qt keeps the reference to the count.
    int toolkitArgc = 1;
    char* toolkitArgv[] = {argv[0], nullptr};
    QGuiApplication application(toolkitArgc, toolkitArgv);
    const std::vector<BatchCommand> table = commandTable();
    const std::vector<std::string> args(argv + 1, argv + argc);
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
