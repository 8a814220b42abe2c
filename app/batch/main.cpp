// pictorant-batch: the runs of the wizard, the picture commands and the gallery from
// the command line, on the same engine as the window program.

#include "app/ProgramOptions.h"
#include "app/batch/BatchCommand.h"
#include "app/batch/GalleryCommand.h"
#include "app/batch/PictureCommands.h"
#include "app/batch/StopSignals.h"
#include "app/batch/UndoCommand.h"
#include "imaging/DecoderMemory.h"

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
    out << "Usage: pictorant-batch COMMAND [OPTIONS] ARGUMENTS...\n"
           "       pictorant-batch -h|--help | --version\n"
           "\nCommands:\n";
    for (const auto& command : table)
        out << "  " << command.usage;
    out << "\n'pictorant-batch COMMAND --help' lists the options of a command. Options may come\n"
           "before, between and after the files; \"--\" ends them.\n\n"
        << kExitStatusHelp;
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
    pictorant::ReuseDecoderMemory();
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

    // The program's own options come before the command word; everything after it
    // belongs to the command.
    const pictorant::ProgramOptions options = pictorant::readProgramOptions(argc, argv, true);
    if (!options.understood) {
        std::cerr << "pictorant-batch: " << options.errorText << "\n(see pictorant-batch --help)\n";
        return kExitUsage;
    }
    if (options.help) {
        printUsage(std::cout, table);
        return kExitComplete;
    }
    if (options.version) {
        std::cout << versionLine() << '\n';
        return kExitComplete;
    }
    const std::vector<std::string>& args = options.words;
    if (args.empty()) {
        printUsage(std::cerr, table);
        return kExitUsage;
    }
    for (const auto& command : table) {
        if (command.name != args[0])
            continue;
        try {
            return command.run({args.begin() + 1, args.end()});
        } catch (const UsageError& e) {
            std::cerr << "pictorant-batch: " << e.what() << "\n(see pictorant-batch " << args[0]
                      << " --help)\n";
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
