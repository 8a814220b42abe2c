#include "../engine/PictureMaker.h"
#include "../settings/TempFolder.h"
#include "BatchRunner.h"

#include <gtest/gtest.h>

#include <functional>

namespace pictorant {
namespace {

using namespace pictorant::testing;

// One command line on a folder of pictures: what the folder holds first, the arguments,
// the status and closing line, a message expected on standard error, and what must
// then be on disk. The output folder is "out" inside the folder.
struct PictureCliCase {
    const char* name;
    std::function<void(const std::filesystem::path& dir)> prepare;
    std::vector<std::string> args;
    int status;
    const char* closingLine;
    const char* message; // "" for none
    std::function<void(const std::filesystem::path& out)> check;
};
void PrintTo(const PictureCliCase& c, std::ostream* os) {
    *os << c.name;
}

class BatchPictureRunTest : public ::testing::TestWithParam<PictureCliCase> {};

TEST_P(BatchPictureRunTest, RunsThroughTheTool) {
    const PictureCliCase& c = GetParam();
    TempFolder dir;
    std::filesystem::create_directory(dir / "out");
    c.prepare(dir.path());
    std::vector<std::string> args = c.args;
    args.insert(args.begin() + 1, {"--output", "out"});
    const BatchResult r = runBatch(dir.path(), args);
    EXPECT_EQ(r.status, c.status) << r.err;
    EXPECT_EQ(r.out, std::string(c.closingLine) + "\n");
    if (*c.message) {
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    c.check(dir / "out");
}

void threeJpegs(const std::filesystem::path& dir) {
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg"})
        makePicture(dir / n, 640, 480);
}

const std::vector<std::string> kThree = {"a.jpg", "b.jpg", "c.jpg"};

std::vector<std::string> with(std::vector<std::string> head,
                              const std::vector<std::string>& files) {
    head.insert(head.end(), files.begin(), files.end());
    return head;
}

INSTANTIATE_TEST_SUITE_P(
    Table, BatchPictureRunTest,
    ::testing::Values(
        PictureCliCase{"RatioKept", threeJpegs, with({"thumbnails", "--ratio"}, kThree), 0,
                       "Operation complete. 3 files processed.", "",
                       [](const std::filesystem::path& out) {
                           for (const char* n : {"Thumb001.jpg", "Thumb002.jpg", "Thumb003.jpg"})
                               EXPECT_EQ(pictureSize(out / n), (Size{96, 72})) << n;
                       }},
        PictureCliCase{"Stretched", threeJpegs, with({"thumbnails", "--resize", "fast"}, kThree), 0,
                       "Operation complete. 3 files processed.", "",
                       [](const std::filesystem::path& out) {
                           EXPECT_EQ(pictureSize(out / "Thumb002.jpg"), (Size{96, 96}));
                       }},
        PictureCliCase{"OverwriteOff",
                       [](const std::filesystem::path& dir) {
                           threeJpegs(dir);
                           writeFile(dir / "out" / "Thumb002.jpg", "mine");
                       },
                       with({"thumbnails", "--no-overwrite"}, kThree), 0,
                       "Operation complete. 3 files processed.", "",
                       [](const std::filesystem::path& out) {
                           EXPECT_EQ(readFile(out / "Thumb002.jpg"), "mine");
                           EXPECT_EQ(contentType(out / "Thumb003.jpg"), "JPG");
                       }},
        PictureCliCase{"NoConversion",
                       [](const std::filesystem::path& dir) {
                           std::filesystem::copy_file(
                               testData("gif/gif-test-suite/static_transparent.gif"),
                               dir / "a.GIF");
                           makePicture(dir / "b.bmp", 50, 40, "BMP");
                           makePicture(dir / "photo.jpeg", 50, 40);
                       },
                       {"thumbnails", "--type", "No Conversion", "a.GIF", "b.bmp", "photo.jpeg"},
                       0,
                       "Operation complete. 3 files processed.",
                       "",
                       [](const std::filesystem::path& out) {
                           EXPECT_EQ(contentType(out / "Thumb001.gif"), "GIF");
                           EXPECT_EQ(contentType(out / "Thumb002.bmp"), "BMP");
                           EXPECT_EQ(contentType(out / "Thumb003.jpg"), "JPG");
                       }},
        PictureCliCase{"CorruptSecondOfFive",
                       [](const std::filesystem::path& dir) {
                           for (const char* n : {"a.jpg", "c.jpg", "d.jpg", "e.jpg"})
                               makePicture(dir / n, 64, 48);
                           writeFile(dir / "b.jpg", "\xFF\xD8\xFF garbage");
                       },
                       {"thumbnails", "a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"},
                       1,
                       "Operation Incomplete. 1 files processed.",
                       "Could not open b.jpg",
                       [](const std::filesystem::path& out) {
                           EXPECT_TRUE(std::filesystem::exists(out / "Thumb001.jpg"));
                           EXPECT_FALSE(std::filesystem::exists(out / "Thumb003.jpg"));
                       }},
        PictureCliCase{"TransparentGifAsBmp",
                       [](const std::filesystem::path& dir) {
                           std::filesystem::copy_file(
                               testData("gif/gif-test-suite/static_transparent.gif"),
                               dir / "t.gif");
                       },
                       {"thumbnails", "--type", "bmp", "--ratio", "--width", "40", "t.gif"},
                       0,
                       "Operation complete. 1 files processed.",
                       "",
                       [](const std::filesystem::path& out) {
                           EXPECT_EQ(pictureSize(out / "Thumb001.bmp"), (Size{40, 40}));
                       }},
        PictureCliCase{"ConvertToGif",
                       [](const std::filesystem::path& dir) {
                           makePicture(dir / "Beach.JPG", 120, 90);
                           makePicture(dir / "Dune.bmp", 33, 17, "BMP");
                       },
                       {"convert", "--type", "gif", "--naming", "PreName", "Beach.JPG", "Dune.bmp"},
                       0,
                       "Operation complete. 2 files processed.",
                       "",
                       [](const std::filesystem::path& out) {
                           EXPECT_EQ(pictureSize(out / "ImageBeach.gif"), (Size{120, 90}));
                           EXPECT_EQ(pictureSize(out / "ImageDune.gif"), (Size{33, 17}));
                       }},
        PictureCliCase{
            "ConvertToBmp",
            [](const std::filesystem::path& dir) { makePicture(dir / "Beach.JPG", 120, 90); },
            {"convert", "--type", "bmp", "Beach.JPG"},
            0,
            "Operation complete. 1 files processed.",
            "",
            [](const std::filesystem::path& out) {
                EXPECT_EQ(pictureSize(out / "Image001.bmp"), (Size{120, 90}));
                EXPECT_EQ(fileBytes(out / "Image001.bmp").at(28), 24);
            }},
        PictureCliCase{"JpegReEncoded",
                       [](const std::filesystem::path& dir) {
                           makePicture(dir / "a.jpg", 160, 120, "JPG", 100);
                       },
                       {"convert", "--jpeg-quality", "20", "a.jpg"},
                       0,
                       "Operation complete. 1 files processed.",
                       "",
                       [](const std::filesystem::path& out) {
                           EXPECT_LT(std::filesystem::file_size(out / "Image001.jpg"),
                                     std::filesystem::file_size(out / ".." / "a.jpg"));
                       }},
        PictureCliCase{
            "ForceHeight",
            [](const std::filesystem::path& dir) { makePicture(dir / "a.jpg", 400, 300); },
            {"thumbnails", "--ratio", "--force-height", "--width", "100", "a.jpg"},
            0,
            "Operation complete. 1 files processed.",
            "",
            [](const std::filesystem::path& out) {
                EXPECT_EQ(pictureSize(out / "Thumb001.jpg"), (Size{133, 100}));
            }},
        PictureCliCase{"SettingsFile",
                       [](const std::filesystem::path& dir) {
                           makePicture(dir / "a.jpg", 400, 300);
                           writeFile(dir / "s.ini",
                                     "[Thumbnails]\nCreate As=bmp\nThumb Width=100\n"
                                     "Maintain Ratio=1\nNaming Option=SufName\n"
                                     "Output File Qualifier=_s\nResize Speed=Fast\n");
                       },
                       {"thumbnails", "--settings", "s.ini", "a.jpg"},
                       0,
                       "Operation complete. 1 files processed.",
                       "",
                       [](const std::filesystem::path& out) {
                           EXPECT_EQ(pictureSize(out / "a_s.bmp"), (Size{100, 75}));
                       }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pictorant
