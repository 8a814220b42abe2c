#include "app/ProgramOptions.h"

#include <QCommandLineParser>
#include <QStringList>

namespace pictorant {

ProgramOptions readProgramOptions(int argc, char** argv, bool firstWordEndsOptions) {
    QCommandLineParser parser;
    if (firstWordEndsOptions)
        parser.setOptionsAfterPositionalArgumentsMode(
            QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({"h", "help"}, "Show this help and exit.");
    const QCommandLineOption version("version", "Show the version and exit.");
    parser.addOption(help);
    parser.addOption(version);
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLatin1(argv[i]);

    ProgramOptions options;
    if (!parser.parse(arguments)) {
        options.understood = false;
        options.errorText = parser.errorText().toStdString();
        return options;
    }
    options.help = parser.isSet(help);
    options.version = parser.isSet(version);
    for (const QString& word : parser.positionalArguments())
        options.words.push_back(word.toLatin1().toStdString());
    return options;
}

} // namespace pictorant
