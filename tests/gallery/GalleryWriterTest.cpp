// The gallery pages byte for byte against the golden pages, the options each page layout
// reads, and the texts that must not break a page or a link.
#include "gallery/GalleryWriter.h"
#include "gallery/HtmlText.h"
#include "tests/support/FileFaults.h"

#include <gtest/gtest.h>

using namespace pictorant;

namespace {

std::size_t countOf(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

// Entry n: /home/ann/pics/p{n}.jpg shown as thumbs/Thumb00{n}.jpg, 96 x 72, 1000+n bytes.
GalleryInput input(int count, std::string htmlName = "MyWeb.htm") {
    GalleryInput in;
    in.htmlFolder = "/home/ann/pics/thumbs";
    in.htmlName = std::move(htmlName);
    in.thumbMaxSide = 100;
    for (int n = 1; n <= count; ++n)
        in.entries.push_back({1000 + n, 96, 72, "/home/ann/pics/p" + std::to_string(n) + ".jpg",
                              "/home/ann/pics/thumbs/Thumb00" + std::to_string(n) + ".jpg"});
    return in;
}

// The factory options with the prefixes that a page beside the thumbnails gets.
GalleryOptions options() {
    GalleryOptions o;
    o.hrefPrefix = "../";
    return o;
}

GalleryOptions framesOptions() {
    auto o = options();
    o.UseFrames = true;
    o.BorderSize = "3";
    o.CellSpace = "5";
    o.CellPad = "2";
    return o;
}

TEST(GalleryPages, MatchTheGoldenPages) {
    auto o = options();
    const auto plain = WritePlainGallery(o, input(3));
    const auto table = WriteTableGallery(o, input(7));
    o.Columns = o.ThmPerPage = "2";
    const auto pages = WriteTableGallery(o, input(5));
    o = framesOptions();
    const auto frames = WriteGallery(o, input(2));
    o.TileBkgd = true;
    const auto tiled = WriteFramesGallery(o, input(2));
    o.BannerString = "Say \"hi\" \\ </script>";
    const auto quoted = WriteFramesGallery(o, input(2));
    const std::pair<const GalleryPage*, const char*> golden[] = {
        {&plain[0], "plain_3.htm"},
        {&table[0], "table_7_in_5_columns.htm"},
        {&pages[1], "multipage_middle_page.htm"},
        {&frames[0], "frames_frameset.htm"},
        {&frames[1], "frames_banner.htm"},
        {&frames[2], "frames_pictures.htm"},
        {&frames[3], "frames_thumbs_links.htm"},
        {&tiled[3], "frames_thumbs_tiled.htm"},
        {&quoted[3], "frames_thumbs_tiled_quoted_banner.htm"},
    };
    for (const auto& [page, name] : golden)
        EXPECT_EQ(page->text,
                  pictorant::testing::readBytes(std::string(GALLERY_GOLDEN) + "/" + name))
            << name;
    // The page files in writing order, and the one the editor opens.
    EXPECT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[2].path, "/home/ann/pics/thumbs/MyWeb_2.htm");
    ASSERT_EQ(frames.size(), 4u);
    const char* frameNames[] = {"MyWeb.htm", "MyWebb.htm", "MyWebp.htm", "MyWebt.htm"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(frames[i].path, std::string("/home/ann/pics/thumbs/") + frameNames[i]);
        EXPECT_EQ(frames[i].toEditor, i == 3);
    }
    EXPECT_TRUE(pages[0].toEditor && !pages[1].toEditor && plain[0].toEditor);
    // 25 a page by default, in rows of five ending in a short row.
    o = options();
    o.MultiPg = true;
    const auto many = WriteTableGallery(o, input(53, "Album.html"));
    ASSERT_EQ(many.size(), 3u);
    EXPECT_EQ(many[1].path, "/home/ann/pics/thumbs/Album_1.htm");
    EXPECT_EQ(countOf(many[0].text, "<TR>") * 100 + countOf(many[2].text, "<TD "), 503u);
}

TEST(GalleryPages, BadFieldsStopBeforeAnyPage) {
    // clang-format off
    const std::pair<std::function<void(GalleryOptions&)>, const char*> cases[] = {
        {[](GalleryOptions& o) {o.Columns = "0";}, "Division by zero"},
        {[](GalleryOptions& o) {o.Columns = "-2";}, "'-2' is not a valid integer value"},
        {[](GalleryOptions& o) {o.ThmPerPage = "0";}, "Division by zero"},
        {[](GalleryOptions& o) {o.UseFrames = true, o.CellPad = "x";}, "'x' is not a valid integer value"},
    };
    // clang-format on
    for (const auto& [change, message] : cases) {
        auto o = options();
        change(o);
        EXPECT_EQ(pictorant::testing::errorOf<GalleryError>([&] { WriteGallery(o, input(3)); }),
                  message);
    }
    EXPECT_THROW(WriteGallery(framesOptions(), input(1, "../MyWeb.htm")), GalleryError);
}

// Whatever the names and texts, every page is ASCII, a name never breaks a link or the
// markup, and the banner is escaped only inside the script's string.
TEST(GalleryPages, NamesAndTextsNeverBreakThePage) {
    auto o = framesOptions();
    o.TileBkgd = true;
    o.BannerString = "\xC3\x89t\xC3\xA9 </b>\"\\";
    auto in = input(1);
    in.entries[0].originalPath = "/p/Ann's <b>#1 & caf\xC3\xA9.jpg";
    in.entries[0].outputPath = "/p/t/\"x\"?.jpg";
    auto pages = WriteFramesGallery(o, in);
    o.UseFrames = false;
    pages.push_back(WriteTableGallery(o, in)[0]);
    for (const auto& page : pages)
        for (const char c : page.text)
            ASSERT_LT(static_cast<unsigned char>(c), 0x80) << page.path;
    EXPECT_NE(pages[3].text.find("setbg('Ann%27s %3Cb>%231 %26 caf%C3%A9.jpg')"),
              std::string::npos);
    EXPECT_NE(pages[3].text.find("<title>&#201;t&#233; <\\/b>\\\"\\\\</title>"), std::string::npos);
    EXPECT_NE(pages[4].text.find("<TITLE>&#201;t&#233; </b>\"\\</TITLE>"), std::string::npos);
    EXPECT_NE(
        pages[4].text.find("HREF=\"../Ann%27s %3Cb>%231 %26 caf%C3%A9.jpg\"><IMG BORDER=\"1\" "
                           "SRC=\"%22x%22%3F.jpg\" Width=\"96\" Height=\"72\" "
                           "ALT=\"Ann's &lt;b>#1 &amp; caf&#233;.jpg (1001 bytes)\">"),
        std::string::npos);
    EXPECT_EQ(EscapedNameText("caf\xE9 x\xE2\x82 \xC0\xAF\t"), "caf&#65533; x&#65533;&#65533; "
                                                               "&#65533;&#65533;&#9;");
    EXPECT_EQ(UrlEncodedName("caf\xE9\n\\\x7F"), "caf%E9%0A%5C%7F");
    EXPECT_EQ(UrlEncodedPath("C:\\My #1\\", "\\:"), "C:\\My %231\\");
    EXPECT_EQ(AsciiUrl("http://h/a b/f\xC3\xBCr/?q=#"), "http://h/a b/f%C3%BCr/?q=#");
    EXPECT_EQ(ColorToHtmlHex(0xFF123456), "563412"); // red first; bits above blue dropped
}

} // namespace
