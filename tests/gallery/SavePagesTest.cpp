// Saving the pages of a gallery: each through the safe writer, in order, reported once
// it is on disk; the first page that cannot be written stops the save, its old file and
// the pages before it stay whole, and nothing partial or temporary is left.
#include "gallery/GalleryWriter.h"
#include "tests/support/FileFaults.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pictorant;
using namespace pictorant::testing;
namespace fs = std::filesystem;

namespace {

std::string failureOf(const std::vector<GalleryPage>& pages, std::vector<std::string>& reported) {
    return errorOf<GalleryError>(
        [&] { SaveGalleryPages(pages, [&](const GalleryPage& p) { reported.push_back(p.path); }); },
        "");
}

TEST(SavePages, WritesInOrderAndReportsEachPageOnceOnDisk) {
    ScratchFolder folder;
    writeBytes(folder / "MyWeb.htm", "an older, longer page that is replaced");
    const std::vector<GalleryPage> pages = {{folder / "MyWeb.htm", "<HTML>\r\n", false},
                                            {folder / "MyWebb.htm", "banner\r\n", true}};
    std::vector<std::string> seen;
    SaveGalleryPages(pages, [&](const GalleryPage& page) { seen.push_back(readBytes(page.path)); });
    EXPECT_EQ(seen, (std::vector<std::string>{"<HTML>\r\n", "banner\r\n"}));
    EXPECT_EQ(namesIn(folder.str()), (std::vector<std::string>{"MyWeb.htm", "MyWebb.htm"}));
}

TEST(SavePages, StopAtThePageThatCannotBeWrittenAndSayWhy) {
    ScratchFolder folder;
    writeBytes(folder / "plain", "x");
    for (const std::string& bad : {folder / overlongName(".htm"), folder / "plain/MyWebp.htm"}) {
        const std::vector<GalleryPage> pages = {{folder / "MyWeb.htm", "frameset", false},
                                                {bad, "banner", false},
                                                {folder / "MyWebt.htm", "thumbs", true}};
        std::vector<std::string> reported;
        EXPECT_EQ(failureOf(pages, reported).rfind("Cannot create file \"" + bad + "\". ", 0), 0u);
        EXPECT_EQ(reported, std::vector<std::string>{pages[0].path});
        EXPECT_EQ(namesIn(folder.str()), (std::vector<std::string>{"MyWeb.htm", "plain"}));
    }
    TinyFileSystem disk(64);
    if (!disk.mounted())
        GTEST_SKIP() << disk.skipReason();
    writeBytes(disk / "MyWeb_1.htm", "the old second page");
    const std::vector<GalleryPage> pages = {
        {disk / "MyWeb.htm", "first", true},
        {disk / "MyWeb_1.htm", std::string(200 * 1024, 'x'), false},
        {disk / "MyWeb_2.htm", "third", false}};
    std::vector<std::string> reported;
    EXPECT_EQ(failureOf(pages, reported),
              "Cannot write file \"" + pages[1].path + "\". No space left on device");
    EXPECT_EQ(readBytes(pages[0].path), "first");
    EXPECT_EQ(readBytes(pages[1].path), "the old second page");
    EXPECT_EQ(namesIn(disk.str()), (std::vector<std::string>{"MyWeb.htm", "MyWeb_1.htm"}));
}

} // namespace
