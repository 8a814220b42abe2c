// The public picture suites in tests/data/<kind>: every file marked valid loads and
// renders, every file marked invalid fails with this program's own message, and the
// fuzzer files either load or fail cleanly.
#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

using namespace pictorant;
using namespace pictorant::test;

namespace {

// The first two fields of each line after the header: the file and what it should do.
std::vector<std::pair<std::string, std::string>> manifest(const std::string& kind) {
    std::ifstream in(dataPath(kind + "/manifest.tsv"));
    std::vector<std::pair<std::string, std::string>> entries;
    std::string rest;
    std::getline(in, rest);
    for (std::pair<std::string, std::string> e;
         std::getline(in, e.first, '\t') && std::getline(in, e.second, '\t');
         std::getline(in, rest))
        entries.push_back(e);
    return entries;
}

bool isOwnMessage(const std::string& kind, const std::string& message) {
    if (kind == "bmp")
        return message == "Bitmap image is not valid";
    if (kind == "jpeg")
        return (message.rfind("JPEG error #", 0) == 0 && message.size() > 12) ||
               message.rfind("Picture is too large (", 0) == 0;
    static const std::set<std::string> gif = {
        "Invalid GIF signature",
        "Unsupported GIF version",
        "Invalid GIF data",
        "Unknown GIF block type",
        "Invalid number of colors specified in Screen Descriptor",
        "Invalid number of colors specified in Image Descriptor",
    };
    return gif.count(message) > 0;
}

// A suite's folder and the kind of picture in it.
class Corpus : public ::testing::TestWithParam<std::pair<std::string, PictureKind>> {};

// Valid files load, render at their size and agree with the header peek the parallel
// run budgets by; invalid ones fail with this program's message; questionable ones
// (fuzzer files) do either, cleanly.
TEST_P(Corpus, EveryFileEndsAsItsManifestSays) {
    const auto& [kind, pictureKind] = GetParam();
    std::map<std::string, int> count;
    for (const auto& [file, expected] : manifest(kind)) {
        SCOPED_TRACE(file);
        ++count[expected];
        const auto bytes = readBytes(dataPath(kind + "/" + file));
        try {
            const Picture picture = pictureFrom(pictureKind, bytes);
            const Raster raster = rendered(picture);
            EXPECT_NE(expected, "invalid") << "loaded";
            if (expected == "valid") {
                const auto size = std::pair(picture.width(), picture.height());
                EXPECT_EQ(std::pair(raster.width(), raster.height()), size);
                EXPECT_FALSE(raster.isEmpty());
                const PictureHeader header = PeekPictureHeader(pictureKind, bytes);
                EXPECT_EQ(std::pair(header.width, header.height), size);
                const std::vector<std::uint8_t> head(bytes.begin(), bytes.begin() + 3);
                EXPECT_EQ(PeekPictureHeader(pictureKind, head).width, 0);
            }
        } catch (const PictureError& err) {
            EXPECT_NE(expected, "valid") << err.what();
            EXPECT_TRUE(isOwnMessage(kind, err.what())) << err.what();
        }
    }
    EXPECT_GT(count["valid"], 30);
    EXPECT_GT(count["invalid"], 0);
    EXPECT_GT(count["questionable"], 100);
}

INSTANTIATE_TEST_SUITE_P(Suites, Corpus,
                         ::testing::Values(std::pair("bmp", PictureKind::Bitmap),
                                           std::pair("gif", PictureKind::Gif),
                                           std::pair("jpeg", PictureKind::Jpeg)));

// Files of a suite that store one picture in different ways must give the same pixels.
TEST(CorpusReference, EquivalentEncodingsGiveEqualPixels) {
    // A folder, then files in it that store one picture in different ways.
    const std::vector<std::pair<std::string, std::vector<std::string>>> groups = {
        {"bmp/bmpsuite/g/",
         {"pal8.bmp", "pal8-0.bmp", "pal8os2.bmp", "pal8topdown.bmp", "pal8rle.bmp", "pal8v4.bmp",
          "pal8v5.bmp"}},
        {"bmp/bmpsuite/g/",
         {"rgb24.bmp", "rgb24pal.bmp", "rgb32.bmp", "rgb32bf.bmp", "rgb32bfdef.bmp"}},
        {"bmp/bmpsuite/g/", {"rgb16.bmp", "rgb16bfdef.bmp"}},
        {"bmp/bmpsuite/g/", {"rgb16-565.bmp", "rgb16-565pal.bmp"}},
        {"bmp/bmpsuite/g/", {"pal4.bmp", "pal4rle.bmp"}},
        {"bmp/image-rs/", {"Info_8_Bit.bmp", "Info_8_Bit_Top_Down.bmp"}},
        {"bmp/image-rs/", {"Info_4_Bit.bmp", "Info_4_Bit_Top_Down.bmp"}},
        {"bmp/image-rs/", {"Info_1_Bit.bmp", "Info_1_Bit_Top_Down.bmp"}},
        {"bmp/image-rs/", {"Info_R8_G8_B8.bmp", "Info_R8_G8_B8_Top_Down.bmp"}},
        {"bmp/image-rs/", {"Info_X1_R5_G5_B5.bmp", "Info_X1_R5_G5_B5_Top_Down.bmp"}},
        {"gif/giflib/", {"treescap.gif", "treescap-interlaced.gif"}},
        {"gif/wuffs/", {"hippopotamus.regular.gif", "hippopotamus.interlaced.gif"}},
    };
    for (const auto& [folder, files] : groups) {
        const Raster first = rendered(LoadPicture(dataPath(folder + files[0])));
        for (std::size_t i = 1; i < files.size(); ++i)
            EXPECT_TRUE(rendered(LoadPicture(dataPath(folder + files[i]))) == first) << files[i];
    }
}

} // namespace
