#include "GalleryWriter.h"
#include "support/FileFaults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdlib.h>

using namespace pictorant;
namespace fs = std::filesystem;

namespace {

class SavePages : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "gallery-save-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path folder;
};

TEST_F(SavePages, WritesInOrderAndReportsEachPageOnceItIsOnDisk) {
    const std::vector<GalleryPage> pages = {
        {(folder / "MyWeb.htm").string(), "<HTML>\r\n", true},
        {(folder / "MyWeb_1.htm").string(), "second\r\n", false},
    };
    std::ofstream(folder / "MyWeb_1.htm") << "an older, longer page that is replaced";
    std::vector<std::string> handed;
    const auto written = SaveGalleryPages(pages, [&](const GalleryPage& page) {
        if (!page.toEditor)
            return;
        handed.push_back(page.path);
        EXPECT_EQ(read(page.path), page.text);
        EXPECT_FALSE(fs::exists(folder / "MyWeb_1.htm") &&
                     read(folder / "MyWeb_1.htm") == "second\r\n");
    });
    EXPECT_EQ(written, (std::vector<std::string>{pages[0].path, pages[1].path}));
    EXPECT_EQ(handed, std::vector<std::string>{pages[0].path});
    EXPECT_EQ(read(pages[0].path), "<HTML>\r\n");
    EXPECT_EQ(read(pages[1].path), "second\r\n");
}

TEST_F(SavePages, StopsAtTheFirstFileThatCannotBeCreatedAndKeepsEarlierOnes) {
    const std::string tooLong(300, 'n');
    const std::vector<GalleryPage> pages = {
        {(folder / "MyWeb.htm").string(), "frameset\r\n", false},
        {(folder / (tooLong + ".htm")).string(), "banner\r\n", false},
        {(folder / "MyWebp.htm").string(), "pictures\r\n", false},
        {(folder / "MyWebt.htm").string(), "thumbs\r\n", true},
    };
    std::vector<std::string> reported;
    try {
        SaveGalleryPages(pages, [&](const GalleryPage& page) { reported.push_back(page.path); });
        FAIL() << "no error";
    } catch (const GalleryError& error) {
        EXPECT_EQ(
            std::string(error.what()).rfind("Cannot create file \"" + pages[1].path + "\". ", 0),
            0u)
            << error.what();
    }
    EXPECT_EQ(read(pages[0].path), "frameset\r\n");
    EXPECT_FALSE(fs::exists(pages[2].path));
    EXPECT_FALSE(fs::exists(pages[3].path));
    EXPECT_EQ(reported, std::vector<std::string>{pages[0].path});
}

TEST_F(SavePages, APathThroughARegularFileFails) {
    std::ofstream(folder / "plain") << "x";
    EXPECT_THROW(SaveGalleryPages({{(folder / "plain" / "MyWeb.htm").string(), "x", true}}),
                 GalleryError);
}

TEST_F(SavePages, ALinkAtAPageNameIsReplacedAndItsTargetKept) {
    fs::create_directory(folder / "web");
    std::ofstream(folder / "notes.txt") << "my notes";
    fs::create_symlink("../notes.txt", folder / "web" / "MyWebb.htm");
    const std::vector<GalleryPage> pages = {
        {(folder / "web" / "MyWebb.htm").string(), "banner\r\n", false},
    };
    SaveGalleryPages(pages);
    EXPECT_EQ(read(folder / "notes.txt"), "my notes");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(folder / "web" / "MyWebb.htm")));
    EXPECT_EQ(read(folder / "web" / "MyWebb.htm"), "banner\r\n");
}

// A disk that fills while a page is written: that page's old file stays whole, no
// partial or temporary file is left, the pages before it stay, and the message names
// the step and its cause.
TEST(SavePagesOnAFullDisk, StopAtThePageThatDoesNotFitAndSayWhy) {
    pictorant::testing::TinyFileSystem disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << disk.skipReason();
    pictorant::testing::writeBytes(disk / "MyWeb_1.htm", "the old second page");
    const std::vector<GalleryPage> pages = {
        {disk / "MyWeb.htm", "first\r\n", true},
        {disk / "MyWeb_1.htm", std::string(200 * 1024, 'x'), false},
        {disk / "MyWeb_2.htm", "third\r\n", false},
    };
    try {
        SaveGalleryPages(pages);
        FAIL() << "the pages fitted";
    } catch (const GalleryError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot write file \"" + pages[1].path + "\". No space left on device");
    }
    EXPECT_EQ(pictorant::testing::readBytes(pages[0].path), "first\r\n");
    EXPECT_EQ(pictorant::testing::readBytes(pages[1].path), "the old second page");
    EXPECT_EQ(pictorant::testing::namesIn(disk.str()),
              (std::vector<std::string>{"MyWeb.htm", "MyWeb_1.htm"}));
}

} // namespace
