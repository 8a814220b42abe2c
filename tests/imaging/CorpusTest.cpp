// The public picture suites in tests/data/<kind>: every file marked valid loads and
// renders, every file marked invalid fails with this program's own message, and the
// fuzzer files either load or fail cleanly.
#include "imaging/Picture.h"
#include "imaging/PictureError.h"
#include "tests/imaging/TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

using namespace pictorant;
using namespace pictorant::test;

namespace {

struct Entry {
    std::string file;
    std::string expected;
};

std::vector<Entry> manifest(const std::string& kind) {
    std::ifstream in(dataPath(kind + "/manifest.tsv"));
    std::vector<Entry> entries;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        Entry e;
        std::getline(fields, e.file, '\t');
        std::getline(fields, e.expected, '\t');
        entries.push_back(e);
    }
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

PictureKind kindOf(const std::string& kind) {
    return kind == "bmp"   ? PictureKind::Bitmap
           : kind == "gif" ? PictureKind::Gif
                           : PictureKind::Jpeg;
}

// Loads and renders from bytes, so a file's odd extension does not matter.
void loadAndRender(const std::string& kind, const std::string& file, Raster& raster) {
    Picture picture;
    LoadPictureFromBytes(kindOf(kind), readBytes(dataPath(kind + "/" + file)), picture);
    RenderToBitmap(picture, raster);
    ASSERT_EQ(raster.width(), picture.width());
    ASSERT_EQ(raster.height(), picture.height());
}

class Corpus : public ::testing::TestWithParam<std::string> {};

TEST_P(Corpus, ValidFilesLoadAndRender) {
    int count = 0;
    for (const auto& e : manifest(GetParam())) {
        if (e.expected != "valid")
            continue;
        ++count;
        SCOPED_TRACE(e.file);
        Raster raster;
        try {
            loadAndRender(GetParam(), e.file, raster);
            EXPECT_FALSE(raster.isEmpty());
        } catch (const PictureError& err) {
            ADD_FAILURE() << err.what();
        }
    }
    EXPECT_GT(count, 30);
}

TEST_P(Corpus, InvalidFilesFailWithTheProgramsMessage) {
    int count = 0;
    for (const auto& e : manifest(GetParam())) {
        if (e.expected != "invalid")
            continue;
        ++count;
        SCOPED_TRACE(e.file);
        Raster raster;
        try {
            loadAndRender(GetParam(), e.file, raster);
            ADD_FAILURE() << "loaded";
        } catch (const PictureError& err) {
            EXPECT_TRUE(isOwnMessage(GetParam(), err.what())) << err.what();
        }
    }
    EXPECT_GT(count, 0);
}

TEST_P(Corpus, QuestionableFilesLoadOrFailCleanly) {
    int loaded = 0, failed = 0;
    for (const auto& e : manifest(GetParam())) {
        if (e.expected != "questionable")
            continue;
        SCOPED_TRACE(e.file);
        Raster raster;
        try {
            loadAndRender(GetParam(), e.file, raster);
            ++loaded;
        } catch (const PictureError& err) {
            EXPECT_TRUE(isOwnMessage(GetParam(), err.what())) << err.what();
            ++failed;
        }
    }
    EXPECT_GT(loaded + failed, 100);
}

// The parallel run budgets by the header; a wrong reading would budget wrongly.
TEST_P(Corpus, HeaderPeekAgreesWithTheLoaderOnEveryValidFile) {
    for (const auto& e : manifest(GetParam())) {
        if (e.expected != "valid")
            continue;
        SCOPED_TRACE(e.file);
        const auto bytes = readBytes(dataPath(GetParam() + "/" + e.file));
        Picture picture;
        LoadPictureFromBytes(kindOf(GetParam()), bytes, picture);
        const PictureHeader header = PeekPictureHeader(kindOf(GetParam()), bytes);
        EXPECT_EQ(header.width, picture.width());
        EXPECT_EQ(header.height, picture.height());
    }
    EXPECT_EQ(PeekPictureHeader(PictureKind::Bitmap, std::vector<std::uint8_t>{'B', 'M', 0}).width,
              0);
    EXPECT_EQ(
        PeekPictureHeader(PictureKind::Jpeg, std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF}).width, 0);
}

INSTANTIATE_TEST_SUITE_P(Suites, Corpus, ::testing::Values("bmp", "gif", "jpeg"));

// Files of a suite that store one picture in different ways must give the same pixels.
TEST(CorpusReference, EquivalentEncodingsGiveEqualPixels) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> groups = {
        {"bmp",
         {"bmpsuite/g/pal8.bmp", "bmpsuite/g/pal8-0.bmp", "bmpsuite/g/pal8os2.bmp",
          "bmpsuite/g/pal8topdown.bmp", "bmpsuite/g/pal8rle.bmp", "bmpsuite/g/pal8v4.bmp",
          "bmpsuite/g/pal8v5.bmp"}},
        {"bmp",
         {"bmpsuite/g/rgb24.bmp", "bmpsuite/g/rgb24pal.bmp", "bmpsuite/g/rgb32.bmp",
          "bmpsuite/g/rgb32bf.bmp", "bmpsuite/g/rgb32bfdef.bmp"}},
        {"bmp", {"bmpsuite/g/rgb16.bmp", "bmpsuite/g/rgb16bfdef.bmp"}},
        {"bmp", {"bmpsuite/g/rgb16-565.bmp", "bmpsuite/g/rgb16-565pal.bmp"}},
        {"bmp", {"bmpsuite/g/pal4.bmp", "bmpsuite/g/pal4rle.bmp"}},
        {"bmp", {"image-rs/Info_8_Bit.bmp", "image-rs/Info_8_Bit_Top_Down.bmp"}},
        {"bmp", {"image-rs/Info_4_Bit.bmp", "image-rs/Info_4_Bit_Top_Down.bmp"}},
        {"bmp", {"image-rs/Info_1_Bit.bmp", "image-rs/Info_1_Bit_Top_Down.bmp"}},
        {"bmp", {"image-rs/Info_R8_G8_B8.bmp", "image-rs/Info_R8_G8_B8_Top_Down.bmp"}},
        {"bmp", {"image-rs/Info_X1_R5_G5_B5.bmp", "image-rs/Info_X1_R5_G5_B5_Top_Down.bmp"}},
        {"gif", {"giflib/treescap.gif", "giflib/treescap-interlaced.gif"}},
        {"gif", {"wuffs/hippopotamus.regular.gif", "wuffs/hippopotamus.interlaced.gif"}},
    };
    for (const auto& [kind, files] : groups) {
        Raster first;
        loadAndRender(kind, files[0], first);
        for (std::size_t i = 1; i < files.size(); ++i) {
            SCOPED_TRACE(files[i]);
            Raster other;
            loadAndRender(kind, files[i], other);
            EXPECT_TRUE(other == first);
        }
    }
}

// bmpsuite states what some pictures show.
TEST(CorpusReference, BitFieldWhiteIsFullWhite) {
    for (const std::string file : {"bmpsuite/g/rgb16-565.bmp", "bmpsuite/g/rgb16.bmp"}) {
        SCOPED_TRACE(file);
        Raster r;
        loadAndRender("bmp", file, r);
        int brightest = 0;
        for (std::size_t i = 0; i < r.bytesPerLine() * std::size_t(r.height()); ++i)
            brightest = std::max(brightest, int(r.bits()[i]));
        EXPECT_EQ(brightest, 255);
    }
}

} // namespace
