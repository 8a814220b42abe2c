// pictorant-batch on metafiles: thumbnails of EMF and WMF sources, converts to and from
// both forms, and a WMF the program refuses.
#include "../engine/PictureMaker.h"
#include "../settings/TempFolder.h"
#include "BatchRunner.h"

#include <gtest/gtest.h>

#include <functional>

namespace pictorant {
namespace {

using namespace pictorant::testing;

std::uint32_t u32At(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t(b.at(at)) | std::uint32_t(b.at(at + 1)) << 8 |
           std::uint32_t(b.at(at + 2)) << 16 | std::uint32_t(b.at(at + 3)) << 24;
}

bool isEmf(const std::filesystem::path& path) {
    const auto b = fileBytes(path);
    return b.size() > 132 && u32At(b, 0) == 1 && u32At(b, 40) == 0x464D4520 && b.at(108) == 'O' &&
           b.at(110) == 's'; // "Ostrovel" as UTF-16
}

bool isPlaceableWmf(const std::filesystem::path& path) {
    const auto b = fileBytes(path);
    return b.size() > 40 && u32At(b, 0) == 0x9AC6CDD7;
}

struct MetafileCliCase {
    const char* name;
    std::function<void(const std::filesystem::path& dir)> prepare;
    std::vector<std::string> args;
    int status;
    const char* closingLine;
    std::function<void(const std::filesystem::path& out)> check;
};
void PrintTo(const MetafileCliCase& c, std::ostream* os) {
    *os << c.name;
}

class MetafileCliTest : public ::testing::TestWithParam<MetafileCliCase> {};

TEST_P(MetafileCliTest, RunsThroughTheTool) {
    const MetafileCliCase& c = GetParam();
    TempFolder dir;
    std::filesystem::create_directory(dir / "out");
    c.prepare(dir.path());
    std::vector<std::string> args = c.args;
    args.insert(args.begin() + 1, {"--output", "out"});
    const BatchResult r = runBatch(dir.path(), args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.out, std::string(c.closingLine) + "\n");
    c.check(dir / "out");
}

void metafiles(const std::filesystem::path& dir) {
    std::filesystem::copy_file(testData("metafile/emf/emf2svg-test-001.emf"), dir / "chart.emf");
    std::filesystem::copy_file(testData("metafile/wmf/libwmf-ant.wmf"), dir / "ant.WMF");
}

INSTANTIATE_TEST_SUITE_P(
    Table, MetafileCliTest,
    ::testing::Values(
        // 563 x 422 and 211 x 137 within 100 pixels.
        MetafileCliCase{"ThumbnailsQuality",
                        metafiles,
                        {"thumbnails", "--ratio", "--width", "100", "chart.emf", "ant.WMF"},
                        0,
                        "Operation complete. 2 files processed.",
                        [](const std::filesystem::path& out) {
                            EXPECT_EQ(pictureSize(out / "Thumb001.jpg"), (Size{100, 75}));
                            EXPECT_EQ(pictureSize(out / "Thumb002.jpg"), (Size{100, 65}));
                        }},
        MetafileCliCase{"ThumbnailsFastAsMetafiles",
                        metafiles,
                        {"thumbnails", "--resize", "fast", "--ratio", "--width", "100", "--type",
                         "wmf", "chart.emf", "ant.WMF"},
                        0,
                        "Operation complete. 2 files processed.",
                        [](const std::filesystem::path& out) {
                            EXPECT_TRUE(isPlaceableWmf(out / "Thumb001.wmf"));
                            EXPECT_EQ(pictureSize(out / "Thumb001.wmf"), (Size{100, 75}));
                            EXPECT_EQ(pictureSize(out / "Thumb002.wmf"), (Size{100, 65}));
                        }},
        MetafileCliCase{"ConvertRasterToBothForms",
                        [](const std::filesystem::path& dir) {
                            makePicture(dir / "a.jpg", 120, 90);
                            makePicture(dir / "b.bmp", 33, 17, "BMP");
                        },
                        {"convert", "--type", "emf", "--naming", "PreName", "a.jpg", "b.bmp"},
                        0,
                        "Operation complete. 2 files processed.",
                        [](const std::filesystem::path& out) {
                            EXPECT_TRUE(isEmf(out / "Imagea.emf"));
                            EXPECT_EQ(pictureSize(out / "Imagea.emf"), (Size{120, 90}));
                            EXPECT_EQ(pictureSize(out / "Imageb.emf"), (Size{33, 17}));
                        }},
        MetafileCliCase{"ConvertBetweenForms",
                        metafiles,
                        {"convert", "--type", "emf", "ant.WMF"},
                        0,
                        "Operation complete. 1 files processed.",
                        [](const std::filesystem::path& out) {
                            EXPECT_TRUE(isEmf(out / "Image001.emf"));
                            EXPECT_EQ(pictureSize(out / "Image001.emf"), (Size{211, 137}));
                        }},
        MetafileCliCase{"ConvertEmfToWmfAndJpeg",
                        metafiles,
                        {"convert", "--type", "wmf", "chart.emf"},
                        0,
                        "Operation complete. 1 files processed.",
                        [](const std::filesystem::path& out) {
                            EXPECT_TRUE(isPlaceableWmf(out / "Image001.wmf"));
                            EXPECT_EQ(pictureSize(out / "Image001.wmf"), (Size{563, 422}));
                        }},
        MetafileCliCase{"WmfWithoutPlaceableHeader",
                        [](const std::filesystem::path& dir) {
                            std::filesystem::copy_file(testData("metafile/wmf/libwmf-text.wmf"),
                                                       dir / "text.wmf");
                            makePicture(dir / "a.jpg", 40, 30);
                        },
                        {"convert", "--type", "jpg", "text.wmf", "a.jpg"},
                        1,
                        "Operation Incomplete. 0 files processed.",
                        [](const std::filesystem::path& out) {
                            EXPECT_FALSE(std::filesystem::exists(out / "Image001.jpg"));
                        }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pictorant
