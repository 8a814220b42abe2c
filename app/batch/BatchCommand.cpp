#include "app/batch/BatchCommand.h"

#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <iterator>

#ifndef PICTORANT_VERSION
#error "PICTORANT_VERSION comes from the project's version in CMake"
#endif

namespace pictorant::batch {

namespace {

// Latin-1 maps every byte to one character and back, so names that are not valid text
// in the locale pass through the parser unchanged.
QString fromBytes(const std::string& s) {
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}
std::string toBytes(const QString& s) {
    return s.toLatin1().toStdString();
}

QStringList namesOf(const OptionSyntax& option) {
    QStringList names;
    for (const auto& n : option.names)
        names << fromBytes(n);
    return names;
}

// The key options are looked up by: the longest name, with its dashes.
std::string keyOf(const OptionSyntax& option) {
    const std::string& longest = *std::max_element(
        option.names.begin(), option.names.end(),
        [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
    return (longest.size() == 1 ? "-" : "--") + longest;
}

void describe(QCommandLineParser& parser, const CommandSyntax& syntax) {
    parser.setApplicationDescription(fromBytes(syntax.description));
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.addOption(QCommandLineOption({"h", "help"}, "Show this help and exit."));
    for (const OptionSyntax& option : syntax.options) {
        QCommandLineOption o(namesOf(option), fromBytes(option.help));
        if (!option.valueName.empty())
            o.setValueName(fromBytes(option.valueName));
        parser.addOption(o);
    }
}

} // namespace

const char* const kExitStatusHelp =
    "Exit status:\n"
    "  0  complete: every file was done\n"
    "  1  incomplete or failed: the run was stopped, or a file failed (with --keep-going,\n"
    "     after the other files were done)\n"
    "  2  usage: a wrong command line or a refused plan; nothing was written\n"
    "  130, 143  stopped at once by a second SIGINT or SIGTERM\n";

std::string versionLine() {
    return std::string("pictorant-batch ") + PICTORANT_VERSION;
}

bool ParsedArgs::has(const std::string& name) const {
    return values.count(name) > 0 || std::find(flags.begin(), flags.end(), name) != flags.end();
}

std::optional<std::string> ParsedArgs::value(const std::string& name) const {
    auto it = values.find(name);
    if (it == values.end())
        return std::nullopt;
    return it->second;
}

ParsedArgs parseCommandLine(const CommandSyntax& syntax, const std::vector<std::string>& args) {
    QCommandLineParser parser;
    describe(parser, syntax);
    QStringList words{fromBytes("pictorant-batch " + syntax.name)};
    for (const auto& a : args)
        words << fromBytes(a);
    if (!parser.parse(words))
        throw UsageError(syntax.name + ": " + toBytes(parser.errorText()));

    ParsedArgs parsed;
    parsed.help = parser.isSet("help");
    for (const OptionSyntax& option : syntax.options) {
        const QString name = fromBytes(option.names.front());
        if (!parser.isSet(name))
            continue;
        if (option.valueName.empty())
            parsed.flags.push_back(keyOf(option));
        else
            parsed.values[keyOf(option)] = toBytes(parser.value(name)); // the last one given
    }
    for (const QString& p : parser.positionalArguments())
        parsed.positional.push_back(toBytes(p));
    return parsed;
}

std::string commandHelp(const CommandSyntax& syntax) {
    QCommandLineParser parser;
    describe(parser, syntax);
    std::string text = parser.helpText().toStdString();
    // The parser's usage line names the program's path; ours names the command.
    text.erase(0, text.find('\n') + 1);
    return "Usage: pictorant-batch " + syntax.name + " " + syntax.synopsis + "\n" + text +
           (syntax.arguments.empty() ? "" : "\nArguments:\n" + syntax.arguments) + "\n" +
           kExitStatusHelp;
}

std::vector<std::string> namesFrom(const std::string& file, bool nulSeparated) {
    std::string bytes;
    if (file == "-") {
        bytes.assign(std::istreambuf_iterator<char>(std::cin), {});
    } else {
        std::ifstream in(file, std::ios::binary);
        if (!in)
            throw UsageError("--files-from: cannot read " + file);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const char separator = nulSeparated ? '\0' : '\n';
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find(separator, start);
        if (end == std::string::npos)
            end = bytes.size();
        if (end > start)
            names.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::vector<std::string> givenFiles(const ParsedArgs& parsed) {
    std::vector<std::string> files = parsed.positional;
    if (auto from = parsed.value("--files-from")) {
        const auto more = namesFrom(*from, parsed.has("--null"));
        files.insert(files.end(), more.begin(), more.end());
    } else if (parsed.has("--null")) {
        throw UsageError("-0 is for the names of --files-from");
    }
    return files;
}

std::vector<OptionSyntax> fileListOptions() {
    return {
        {{"files-from"},
         "FILE",
         "Take the names of the files from FILE too (- for standard input), "
         "one a line."},
        {{"0", "null"},
         "",
         "With --files-from: the names end with a NUL byte, not a line end "
         "(as find -print0 writes them)."},
    };
}

} // namespace pictorant::batch
