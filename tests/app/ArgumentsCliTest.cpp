// File names that look like the toolkit's own options reach the commands as typed.

#include "../engine/PictureMaker.h"
#include "../settings/TempFolder.h"
#include "BatchRunner.h"

#include <gtest/gtest.h>

namespace pictorant {
namespace {

using namespace pictorant::testing;
namespace fs = std::filesystem;

// Names the toolkit would take for -session, -platform, -style, -display and the like.
struct NamesCase {
    const char* name;
    std::vector<std::string> files;
};
void PrintTo(const NamesCase& c, std::ostream* os) {
    *os << c.name;
}

const NamesCase kNames[] = {
    {"SessionBeforeAName", {"-session", "a.bmp", "-dash.bmp"}},
    {"PlatformLast", {"-dash.bmp", "-platform", "x"}},
    {"StyleAndDisplay", {"-style", "-display", "-reverse", "b.bmp"}},
    {"DoubleDashLookalikes", {"-qwindowgeometry", "10x10", "-plugin", "-stylesheet"}},
    {"NameWithEqualsSign", {"-platform=offscreen", "-graphicssystem", "c.bmp"}},
    {"PicturesOnly", {"-session.bmp", "-platform.bmp", "--.bmp"}},
};

class ArgumentNames : public ::testing::TestWithParam<NamesCase> {
protected:
    TempFolder dir;
};

// The .bmp names are pictures of distinct sizes; the others (no extension) are not, and
// info says so in its own words at their place.
TEST_P(ArgumentNames, InfoListsEveryNameInOrder) {
    const NamesCase& c = GetParam();
    std::vector<std::string> args = {"info", "--"};
    std::string expected;
    int side = 3, status = 0;
    for (const auto& file : c.files) {
        args.push_back(file);
        if (file.ends_with(".bmp")) {
            makePicture(dir / file, side, side + 1, "BMP");
            expected +=
                file + ": Bitmap " + std::to_string(side) + " x " + std::to_string(side + 1) + "\n";
            ++side;
        } else {
            writeFile(dir / file, "not a picture");
            expected += file + ": Unknown picture file extension (.)\n";
            status = 1;
        }
    }
    const BatchResult r = runBatch(dir.path(), args);
    EXPECT_EQ(r.status, status) << r.err;
    EXPECT_EQ(r.out, expected);
    EXPECT_EQ(r.err, "");
}

TEST_P(ArgumentNames, CopyTakesEveryName) {
    const NamesCase& c = GetParam();
    fs::create_directory(dir / "out");
    std::vector<std::string> args = {"copy",    "--output",    "out", "--naming",
                                     "PreName", "--qualifier", "x",   "--"};
    for (const auto& file : c.files) {
        writeFile(dir / file, "content of " + file);
        args.push_back(file);
    }
    const BatchResult r = runBatch(dir.path(), args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "Operation complete. " + std::to_string(c.files.size()) + " files processed.\n");
    for (const auto& file : c.files)
        EXPECT_EQ(readFile(dir / "out" / ("x" + file)), "content of " + file) << file;
}

INSTANTIATE_TEST_SUITE_P(Table, ArgumentNames, ::testing::ValuesIn(kNames),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pictorant
