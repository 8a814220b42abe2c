#include "PictureCommands.h"

#include "Picture.h"
#include "PictureError.h"
#include "Rotate.h"

#include <charconv>
#include <iostream>

namespace pictorant::batch {

int runInfo(const std::vector<std::string>& args, std::ostream& out) {
    const ParsedArgs parsed = parseArgs(args, {}, {});
    if (parsed.positional.empty())
        throw UsageError("info needs at least one FILE");
    int status = kExitComplete;
    Picture picture;
    for (const auto& file : parsed.positional) {
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
    const ParsedArgs parsed = parseArgs(args, {"--jpeg-quality"}, {});
    if (parsed.positional.empty())
        throw UsageError("rotate needs a direction, cw or ccw");
    const std::string& way = parsed.positional.front();
    if (way != "cw" && way != "ccw")
        throw UsageError("rotate: the direction is cw or ccw, not " + way);
    if (parsed.positional.size() < 2)
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
    for (std::size_t i = 1; i < parsed.positional.size(); ++i) {
        const std::string& file = parsed.positional[i];
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
        {"info", "info FILE...\n    kind and natural size of each picture\n",
         [](const std::vector<std::string>& args) { return runInfo(args, std::cout); }});
    table.push_back({"rotate",
                     "rotate cw|ccw [--jpeg-quality N] FILE...\n"
                     "    turn each picture a quarter in place (JPEG written at N, default 90)\n",
                     [](const std::vector<std::string>& args) {
                         return runRotate(args, std::cout, std::cerr);
                     }});
}

} // namespace pictorant::batch
