#include "app/batch/PictureCommands.h"

#include "imaging/LosslessRotate.h"
#include "imaging/PhotoOptions.h"
#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "imaging/Rotate.h"
#include "settings/MainSettings.h"
#include "settings/SettingsFile.h"

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

constexpr const char* kNotWholeBlocks =
    "the picture's sides are not whole JPEG blocks, so a lossless turn would drop its edge; "
    "nothing written (--lossless=trim drops it, plain rotate re-encodes)";

CommandSyntax rotateSyntax() {
    std::vector<OptionSyntax> options = {
        {{"jpeg-quality"}, "N", "JPEG pictures are written at N, 10 to 100 (default 90)."},
        {{"lossless"},
         "",
         "--lossless[=trim]: JPEG pictures are turned on their compressed blocks, markers "
         "kept, orientation set to 1. A picture whose sides are not whole blocks is refused "
         "unless =trim is given, which drops its partial edge blocks."},
        {{"auto-orient"},
         "",
         "Turn JPEG pictures as they stand upright by their EXIF orientation."},
        {{"settings"},
         "FILE",
         "\"Lossless Rotation\" and \"Auto Orient\" are read from FILE; options given "
         "still win."}};
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

int runRotate(const std::vector<std::string>& givenArgs, std::ostream& out, std::ostream& err) {
    const CommandSyntax syntax = rotateSyntax();
    // --lossless takes an optional "=trim", which the option parser has no form for.
    std::vector<std::string> args = givenArgs;
    bool trimEdges = false;
    for (std::string& a : args) {
        if (a.rfind("--lossless=", 0) != 0)
            continue;
        if (a != "--lossless=trim")
            throw UsageError("rotate: --lossless takes only =trim, not " + a);
        a = "--lossless";
        trimEdges = true;
    }
    const ParsedArgs parsed = parseCommandLine(syntax, args);
    if (parsed.help) {
        out << commandHelp(syntax);
        return kExitComplete;
    }
    std::vector<std::string> files = givenFiles(parsed);
    if (parsed.positional.empty())
        throw UsageError("rotate needs a direction, cw or ccw");
    bool lossless = parsed.has("--lossless") || trimEdges;
    bool asUpright = parsed.has("--auto-orient");
    if (auto path = parsed.value("--settings")) {
        const SettingsFile settings(*path);
        if (!settings.readError().empty())
            throw UsageError(settings.readError());
        const MainSettings kept = readMainSettings(settings);
        lossless = lossless || kept.losslessRotation;
        asUpright = asUpright || kept.autoOrient;
    }
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
    PhotoOptions photo;
    photo.autoOrient = asUpright;
    for (const std::string& file : files) {
        try {
            LoadPicture(file, picture);
            if (lossless && picture.kind() == PictureKind::Jpeg) {
                const PartialBlocks partial =
                    trimEdges ? PartialBlocks::Trim : PartialBlocks::Refuse;
                if (!RotateJpegFileLossless(file, direction, asUpright, partial)) {
                    err << file << ": " << kNotWholeBlocks << '\n';
                    status = kExitIncomplete;
                    continue;
                }
                LoadPicture(file, picture);
                out << file << ": " << picture.width() << " x " << picture.height() << '\n';
                continue;
            }
            PreparePhoto(picture, photo);
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
