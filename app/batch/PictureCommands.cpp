#include "app/batch/PictureCommands.h"

#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "imaging/Rotate.h"

#include <charconv>
#include <iostream>

namespace pictorant::batch {

namespace {

CommandSyntax infoSyntax() {
    CommandSyntax syntax{"info", "[OPTIONS] FILE...",
                         "Prints the kind and natural size of each picture, one line per file:\n"
                         "\"NAME: Kind W x H\", or \"NAME: why\" for a file that is no picture "
                         "(status 1).",
                         fileListOptions(), "  FILE...  the pictures\n"};
    return syntax;
}

CommandSyntax rotateSyntax() {
    std::vector<OptionSyntax> options = {
        {{"jpeg-quality"}, "N", "JPEG pictures are written at N, 10 to 100 (default 90)."}};
    for (const OptionSyntax& option : fileListOptions())
        options.push_back(option);
    return {"rotate", "cw|ccw [OPTIONS] FILE...",
            "Turns each picture a quarter clockwise (cw) or counter-clockwise (ccw) and\n"
            "writes it back in its own type, through a temporary file. A file that fails is\n"
            "told on standard error and the others are still turned (status 1).",
            options, "  cw|ccw   the direction\n  FILE...  the pictures\n"};
}

} // namespace

int runInfo(const std::vector<std::string>& args, std::ostream& out) {
    const CommandSyntax syntax = infoSyntax();
    const ParsedArgs parsed = parseCommandLine(syntax, args);
    if (parsed.help) {
        out << commandHelp(syntax);
        return kExitComplete;
    }
    const std::vector<std::string> files = givenFiles(parsed);
    if (files.empty())
        throw UsageError("info needs at least one FILE");
    int status = kExitComplete;
    Picture picture;
    for (const auto& file : files) {
        try {
            LoadPicture(file, picture);
            out << file << ": " << PictureKindName(picture.kind()) << ' ' << picture.width()
                << " x " << picture.height() << '\n';
        } catch (const std::exception& e) {
            // One line per file, in order, so the errors stay beside their names.
            out << file << ": " << e.what() << '\n';
            status = kExitIncomplete;
        }
    }
    return status;
}

int runRotate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const CommandSyntax syntax = rotateSyntax();
    const ParsedArgs parsed = parseCommandLine(syntax, args);
    if (parsed.help) {
        out << commandHelp(syntax);
        return kExitComplete;
    }
    std::vector<std::string> files = givenFiles(parsed);
    if (parsed.positional.empty())
        throw UsageError("rotate needs a direction, cw or ccw");
    const std::string way = parsed.positional.front();
    if (way != "cw" && way != "ccw")
        throw UsageError("rotate: the direction is cw or ccw, not " + way);
    files.erase(files.begin());
    if (files.empty())
        throw UsageError("rotate needs at least one FILE");
    int quality = 90;
    if (auto text = parsed.value("--jpeg-quality")) {
        auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), quality);
        if (ec != std::errc() || end != text->data() + text->size() || quality < 10 ||
            quality > 100)
            throw UsageError("--jpeg-quality takes a whole number from 10 to 100");
    }
    const RotateDirection direction =
        way == "cw" ? RotateDirection::Clockwise : RotateDirection::CounterClockwise;
    int status = kExitComplete;
    Picture picture;
    for (const std::string& file : files) {
        try {
            LoadPicture(file, picture);
            RotateFile(picture, direction, file, quality);
            out << file << ": " << picture.width() << " x " << picture.height() << '\n';
        } catch (const std::exception& e) {
            err << file << ": " << e.what() << '\n';
            status = kExitIncomplete;
        }
    }
    return status;
}

void addPictureCommands(std::vector<BatchCommand>& table) {
    table.push_back(
        {"info", "info [OPTIONS] FILE...\n    Prints the kind and natural size of each picture.\n",
         [](const std::vector<std::string>& args) { return runInfo(args, std::cout); }});
    table.push_back({"rotate",
                     "rotate cw|ccw [OPTIONS] FILE...\n"
                     "    Turns each picture a quarter in place.\n",
                     [](const std::vector<std::string>& args) {
                         return runRotate(args, std::cout, std::cerr);
                     }});
}

} // namespace pictorant::batch
