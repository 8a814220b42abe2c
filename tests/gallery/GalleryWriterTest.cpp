#include "GalleryWriter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace pictorant;

namespace {

std::string golden(const std::string& name) {
    std::ifstream in(std::string(GALLERY_GOLDEN) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::size_t countOf(const std::string& text, const std::string& piece) {
    std::size_t count = 0;
    for (auto at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
        ++count;
    return count;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
        lines.push_back(text.substr(start, at - start));
        start = at + 2;
    }
    return lines;
}

// Entry n: /home/ann/pics/p{n}.jpg shown as thumbs/Thumb00{n}.jpg, 96 x 72, 1000+n bytes.
ProcessedFile entry(int n) {
    ProcessedFile file;
    file.originalBytes = 1000 + n;
    file.outputWidth = 96;
    file.outputHeight = 72;
    file.originalPath = "/home/ann/pics/p" + std::to_string(n) + ".jpg";
    file.outputPath = "/home/ann/pics/thumbs/Thumb00" + std::to_string(n) + ".jpg";
    return file;
}

GalleryInput input(int count, std::string htmlName = "MyWeb.htm") {
    GalleryInput in;
    in.htmlFolder = "/home/ann/pics/thumbs";
    in.htmlName = std::move(htmlName);
    for (int n = 1; n <= count; ++n)
        in.entries.push_back(entry(n));
    return in;
}

// The factory options with the prefixes that a page beside the thumbnails gets.
GalleryOptions options() {
    GalleryOptions o;
    o.hrefPrefix = "../";
    o.imgPrefix = "";
    return o;
}

TEST(ThumbnailMarkup, MatchesTheWorkedExample) {
    auto o = options();
    o.LinkBorderSize = "1";
    o.imgPrefix = "thumbs/";
    o.hrefPrefix = "";
    o.LinkName = false;
    ProcessedFile sea{53211, 120, 90, "/pics/sea.jpg", "/pics/thumbs/tn_sea.jpg"};
    EXPECT_EQ(BuildThumbnailMarkup(o, sea, TargetAttribute(o)),
              "<A TARGET=\"_self\" HREF=\"sea.jpg\"><IMG BORDER=\"1\" SRC=\"thumbs/tn_sea.jpg\" "
              "Width=\"120\" Height=\"90\" ALT=\"sea.jpg (53211 bytes)\"></A>");
}

TEST(ThumbnailMarkup, EachOptionChangesOnlyItsPiece) {
    auto o = options();
    o.LinkBorder = false;
    o.LinkStats = false;
    o.WindowOpt = 1;
    auto e = entry(1);
    e.outputWidth = e.outputHeight = -1; // a rename or copy run
    EXPECT_EQ(BuildThumbnailMarkup(o, e, TargetAttribute(o)),
              "<A TARGET=\"_blank\" HREF=\"../p1.jpg\"><IMG BORDER=\"0\" SRC=\"Thumb001.jpg\" >"
              "</A><P><A TARGET=\"_blank\" HREF=\"../p1.jpg\">p1.jpg</A></P>");
    EXPECT_EQ(BuildThumbnailMarkup(o, e, TargetAttribute(o), false),
              "<A TARGET=\"_blank\" HREF=\"../p1.jpg\"><IMG BORDER=\"0\" SRC=\"Thumb001.jpg\" >"
              "</A>");
    // Without the link to the original there is no caption either.
    o.LinkOriginal = false;
    EXPECT_EQ(BuildThumbnailMarkup(o, e, TargetAttribute(o)),
              "<IMG BORDER=\"0\" SRC=\"Thumb001.jpg\" >");
}

TEST(ThumbnailMarkup, NamesThatWouldBreakThePageAreEncoded) {
    auto o = options();
    o.LinkBorder = false;
    ProcessedFile odd{7, 10, 8, "/p/Ann's <b>#1 & caf\xC3\xA9.jpg", "/p/t/\"x\"?.jpg"};
    EXPECT_EQ(BuildThumbnailMarkup(o, odd, ""),
              "<A HREF=\"../Ann%27s %3Cb>%231 %26 caf%C3%A9.jpg\"><IMG BORDER=\"0\" "
              "SRC=\"%22x%22%3F.jpg\" Width=\"10\" Height=\"8\" "
              "ALT=\"Ann's &lt;b>#1 &amp; caf&#233;.jpg (7 bytes)\"></A>"
              "<P><A HREF=\"../Ann%27s %3Cb>%231 %26 caf%C3%A9.jpg\">"
              "Ann's &lt;b>#1 &amp; caf&#233;.jpg</A></P>");
    EXPECT_EQ(BuildFrameThumbnail(o, odd).rfind("<A onClick=\"setbg('Ann%27s %3Cb>%231 %26 "
                                                "caf%C3%A9.jpg');return false\"",
                                                0),
              0u);
}

TEST(TableTag, WritesOnlyTheAttributesThatAreSet) {
    auto o = options();
    o.BorderSize = "3";
    o.CellSpace = "5";
    o.CellPad = "2";
    o.TableWidth = "100";
    o.TableBkgd = 0xA0A0A0;
    EXPECT_EQ(BuildTableTag(o), "<TABLE BORDER=\"3\" CELLSPACING=\"5\" CELLPADDING=\"2\" "
                                "WIDTH=\"100%\" ALIGN=\"Center\" BGCOLOR=\"#A0A0A0\">\r\n");
    o.CellSpace = "";
    o.CellPad = "";
    o.TableWidth = "0";
    o.UseBkgdColor = false;
    o.TableAlignment = "Right";
    EXPECT_EQ(BuildTableTag(o), "<TABLE BORDER=\"3\" WIDTH=\"0%\" ALIGN=\"Right\">\r\n");
}

TEST(PageHead, KeepsTheBannerAsTypedAndTheHeadingSize) {
    auto o = options();
    o.BannerString = "Tom & Jerry <i>caf\xC3\xA9</i>";
    o.BannerHeadSize = 2;
    o.PageBkgd = 0x0000FF;
    o.Text = 0x00FF00;
    o.BannerText = 0xFF0000;
    const auto lines = linesOf(BuildPageHead(o));
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[3], "<TITLE>Tom & Jerry <i>caf&#233;</i></TITLE>");
    EXPECT_EQ(lines[6], "<BODY bgcolor=\"#FF0000\" TEXT=\"#00FF00\">");
    EXPECT_EQ(lines[7], "<H3 align=\"center\"><FONT color=\"#0000FF\">Tom & Jerry "
                        "<i>caf&#233;</i></FONT></H3>");
    EXPECT_EQ(BuildPageFooter(), "</P>\r\n</BODY>\r\n</HTML>");
}

TEST(TableGallery, SevenEntriesInFiveColumnsOnOnePage) {
    const auto pages = WriteTableGallery(options(), input(7));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].path, "/home/ann/pics/thumbs/MyWeb.htm");
    EXPECT_TRUE(pages[0].toEditor);
    EXPECT_EQ(pages[0].text, golden("table_7_in_5_columns.htm"));
}

TEST(TableGallery, FullPagesOfTwentyFiveInFourColumnsEndInAShortRow) {
    auto o = options();
    o.Columns = "4";
    o.UseNavBtns = false;
    const auto pages = WriteTableGallery(o, input(60));
    ASSERT_EQ(pages.size(), 3u);
    const std::size_t rows[] = {7, 7, 3};
    for (std::size_t k = 0; k < pages.size(); ++k) {
        EXPECT_EQ(countOf(pages[k].text, "<TR>"), rows[k]);
        EXPECT_EQ(countOf(pages[k].text, "<CENTER>"), 0u);
    }
    EXPECT_EQ(countOf(pages[0].text, "<TD "), 25u);
    EXPECT_EQ(countOf(pages[2].text, "<TD "), 10u);
    // the last row of a full page holds entry 25 alone
    EXPECT_NE(pages[0].text.find("</TD>\r\n</TR>\r\n<TR>\r\n<TD ALIGN=\"Center\" VALIGN=\"Middle\">"
                                 "<A TARGET=\"_self\" HREF=\"../p25.jpg\">"),
              std::string::npos);
    EXPECT_NE(pages[0].text.find("p25.jpg</A></P></TD>\r\n</TR>\r\n</TABLE>"), std::string::npos);
    // the entry index runs on across pages
    EXPECT_NE(pages[1].text.find("HREF=\"../p26.jpg\""), std::string::npos);
    EXPECT_EQ(pages[1].text.find("HREF=\"../p25.jpg\""), std::string::npos);
}

TEST(TableGallery, CellAndCaptionOptions) {
    auto o = options();
    o.UseCellColor = true;
    o.CellBkgd = 0x00FFFF;
    o.CellHAlign = "Left";
    o.CellVAlign = "Bottom";
    o.CaptionAlign = "Bottom";
    o.TableCaption = "My <b>sea</b>";
    const auto text = WriteTableGallery(o, input(1))[0].text;
    EXPECT_NE(text.find("<CAPTION ALIGN=\"Bottom\">My <b>sea</b></CAPTION>\r\n<TR>\r\n"
                        "<TD ALIGN=\"Left\" VALIGN=\"Bottom\" BGCOLOR=\"#FFFF00\"><A "),
              std::string::npos);
    o.IncludeCaption = false;
    EXPECT_EQ(WriteTableGallery(o, input(1))[0].text.find("<CAPTION"), std::string::npos);
}

TEST(TableGallery, NoEntriesGiveAnEmptyTableAndPlainGivesHeadAndFooter) {
    auto o = options();
    const auto table = WriteTableGallery(o, input(0));
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].text, BuildPageHead(o) + BuildTableTag(o) +
                                 "<CAPTION ALIGN=\"Top\">Click thumbnail to see full size "
                                 "image</CAPTION>\r\n</TABLE>\r\n" +
                                 BuildPageFooter() + "\r\n");
    const auto plain = WritePlainGallery(o, input(0));
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].text, BuildPageHead(o) + BuildPageFooter() + "\r\n");
}

TEST(PlainGallery, OneLinePerThumbnailWithoutCaptions) {
    auto o = options();
    o.Columns = "not read here";
    const auto pages = WritePlainGallery(o, input(3));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].toEditor);
    EXPECT_EQ(pages[0].text, golden("plain_3.htm"));
}

TEST(NavButtons, LinkNeighbouringPagesByBareName) {
    EXPECT_EQ(BuildNavButtons(1, true, "MyWeb.htm"), "");
    EXPECT_EQ(BuildNavButtons(1, false, "MyWeb.htm"),
              "<CENTER>\r\n<FORM>\r\n<INPUT TYPE=\"BUTTON\" VALUE=\"Next\" "
              "onClick=\"window.location.href='MyWeb_1.htm'\">\r\n</FORM>\r\n</CENTER>\r\n");
    EXPECT_EQ(BuildNavButtons(3, true, "MyWeb.htm"),
              "<CENTER>\r\n<FORM>\r\n<INPUT TYPE=\"BUTTON\" VALUE=\"Prev\" "
              "onClick=\"window.location.href='MyWeb_1.htm'\">\r\n</FORM>\r\n</CENTER>\r\n");
    // a page name holding an apostrophe cannot end the script's string
    EXPECT_NE(BuildNavButtons(2, true, "Ann's.htm").find("href='Ann%27s.htm'"), std::string::npos);
}

TEST(MultiPageGallery, ThreePagesLinkedInSequence) {
    auto o = options();
    o.Columns = "2";
    o.ThmPerPage = "2";
    const auto pages = WriteTableGallery(o, input(5));
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].path, "/home/ann/pics/thumbs/MyWeb.htm");
    EXPECT_EQ(pages[1].path, "/home/ann/pics/thumbs/MyWeb_1.htm");
    EXPECT_EQ(pages[2].path, "/home/ann/pics/thumbs/MyWeb_2.htm");
    EXPECT_TRUE(pages[0].toEditor);
    EXPECT_FALSE(pages[1].toEditor || pages[2].toEditor);
    EXPECT_EQ(pages[1].text, golden("multipage_middle_page.htm"));
    // Both: a block after the head and one after the table, on every page
    EXPECT_EQ(countOf(pages[0].text, BuildNavButtons(1, false, "MyWeb.htm")), 2u);
    EXPECT_EQ(countOf(pages[2].text, BuildNavButtons(3, true, "MyWeb.htm")), 2u);
    EXPECT_EQ(countOf(pages[2].text, "<TD "), 1u);
}

TEST(MultiPageGallery, PlacementAndPageCountEdges) {
    auto o = options();
    o.ThmPerPage = "3";
    o.NavBtns = NavPlace::Top;
    auto pages = WriteTableGallery(o, input(4));
    ASSERT_EQ(pages.size(), 2u);
    const auto nav = BuildNavButtons(2, true, "MyWeb.htm");
    EXPECT_NE(pages[1].text.find("<P align=\"center\">\r\n" + nav + "<TABLE "), std::string::npos);
    EXPECT_EQ(countOf(pages[1].text, "<CENTER>"), 1u);

    o.NavBtns = NavPlace::Bottom;
    pages = WriteTableGallery(o, input(4));
    EXPECT_NE(pages[1].text.find("</TABLE>\r\n" + nav + "</P>"), std::string::npos);
    EXPECT_EQ(countOf(pages[1].text, "<CENTER>"), 1u);

    // exactly one page's worth: one page, no block
    pages = WriteTableGallery(o, input(3));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(countOf(pages[0].text, "<CENTER>"), 0u);

    // One Page ignores ThmPerPage altogether, even when it is not a number.
    o.MultiPg = false;
    o.ThmPerPage = "many";
    pages = WriteTableGallery(o, input(9));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(countOf(pages[0].text, "<TD "), 9u);
}

TEST(MultiPageGallery, LaterPagesOfAnHtmlNameUseHtm) {
    auto o = options();
    o.ThmPerPage = "1";
    const auto pages = WriteTableGallery(o, input(3, "Album.html"));
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].path, "/home/ann/pics/thumbs/Album.html");
    EXPECT_EQ(pages[1].path, "/home/ann/pics/thumbs/Album_1.htm");
    EXPECT_EQ(pages[2].path, "/home/ann/pics/thumbs/Album_2.htm");
    EXPECT_NE(pages[1].text.find("href='Album.html'"), std::string::npos);
    EXPECT_NE(pages[1].text.find("href='Album_2.htm'"), std::string::npos);
}

GalleryOptions framesOptions() {
    auto o = options();
    o.UseFrames = true;
    o.BorderSize = "3";
    o.CellSpace = "5";
    o.CellPad = "2";
    return o;
}

GalleryInput framesInput(int count) {
    auto in = input(count);
    in.thumbMaxSide = 100;
    return in;
}

TEST(FramesGallery, FourFilesInWritingOrderWithTheColumnWidth) {
    const auto o = framesOptions();
    const auto pages = WriteGallery(o, framesInput(2));
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[0].path, "/home/ann/pics/thumbs/MyWeb.htm");
    EXPECT_EQ(pages[1].path, "/home/ann/pics/thumbs/MyWebb.htm");
    EXPECT_EQ(pages[2].path, "/home/ann/pics/thumbs/MyWebp.htm");
    EXPECT_EQ(pages[3].path, "/home/ann/pics/thumbs/MyWebt.htm");
    EXPECT_FALSE(pages[0].toEditor || pages[1].toEditor || pages[2].toEditor);
    EXPECT_TRUE(pages[3].toEditor);
    // 2x3 + 100 + 2x5 + 2x2 + 50
    EXPECT_EQ(pages[0].text, golden("frames_frameset.htm"));
    EXPECT_EQ(pages[1].text, golden("frames_banner.htm"));
    EXPECT_EQ(pages[2].text, golden("frames_pictures.htm"));
    EXPECT_EQ(pages[3].text, golden("frames_thumbs_links.htm"));
}

TEST(FramesGallery, ColumnWidthWithoutAThumbnailRun) {
    auto in = framesInput(1);
    in.thumbMaxSide = 0;
    const auto pages = WriteFramesGallery(framesOptions(), in);
    EXPECT_NE(pages[0].text.find("<FRAMESET COLS=\"70,*\">"), std::string::npos);
}

TEST(FramesGallery, TiledThumbnailsUseTheTenLineScript) {
    auto o = framesOptions();
    o.TileBkgd = true;
    const auto pages = WriteFramesGallery(o, framesInput(2));
    EXPECT_EQ(pages[3].text, golden("frames_thumbs_tiled.htm"));
}

// The banner goes into a string of the script: there a quotation mark, a backslash and
// "</" are escaped so the script still runs; everywhere else it stays as typed.
TEST(FramesGallery, TheBannerIsEscapedInsideTheScriptStringOnly) {
    auto o = framesOptions();
    o.TileBkgd = true;
    o.BannerString = "Say \"hi\" \\ </script>";
    const auto pages = WriteFramesGallery(o, framesInput(2));
    EXPECT_EQ(pages[3].text, golden("frames_thumbs_tiled_quoted_banner.htm"));
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_NE(pages[i].text.find(o.BannerString), std::string::npos) << pages[i].path;

    const std::pair<const char*, const char*> cases[] = {
        {"plain", "plain"},
        {"a\\b", "a\\\\b"},
        {"\"\"", "\\\"\\\""},
        {"</", "<\\/"},
        {"<b>bold</b>", "<b>bold<\\/b>"},
        {"< / <", "< / <"},
        {"x\\</", "x\\\\<\\/"},
        {"two\r\nlines", "two\\r\\nlines"},
    };
    for (const auto& [banner, inScript] : cases) {
        o.BannerString = banner;
        const std::string text = WriteFramesGallery(o, framesInput(1))[3].text;
        EXPECT_NE(text.find("<title>" + std::string(inScript) + "</title>\\n\");"),
                  std::string::npos)
            << banner;
        EXPECT_NE(text.find("<TITLE>" + std::string(banner) + "</TITLE>"), std::string::npos)
            << banner;
    }
}

TEST(FramesGallery, SampleTextAddsOneHundredAndOneLinesInsideTheScript) {
    auto o = framesOptions();
    o.SampleText = true;
    EXPECT_EQ(WriteFramesGallery(o, framesInput(1))[3].text.find("Sample"), std::string::npos);

    o.TileBkgd = true;
    const auto lines = linesOf(WriteFramesGallery(o, framesInput(1))[3].text);
    std::vector<std::string> samples;
    std::size_t firstSample = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].find("Sample text") != std::string::npos) {
            if (samples.empty())
                firstSample = i;
            samples.push_back(lines[i]);
        }
    }
    ASSERT_EQ(samples.size(), 101u);
    const auto sample = [](const std::string& start, const std::string& c) {
        return "    parent.pics.document.write(\"" + start + "<font color=\\\"#" + c +
               "\\\">Sample text - #" + c + " - Sample Text - <b>Sample Text</b></font><br>\");";
    };
    EXPECT_EQ(samples[0], sample("<p>", "000000"));
    EXPECT_EQ(samples[1], sample("", "400000"));
    EXPECT_EQ(samples[2], sample("", "400040"));
    EXPECT_EQ(samples[6], sample("", "404000"));
    EXPECT_EQ(samples[26], sample("", "800000"));
    EXPECT_EQ(samples[100], sample("", "FFFFFF"));
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const auto at = samples[i].find("\\\"#") + 3;
        EXPECT_NE(samples[i].substr(at, 2), "00") << "red 00 in line " << i;
    }
    // between the background line and the closing brace
    EXPECT_NE(lines[firstSample - 1].find("background="), std::string::npos);
    EXPECT_EQ(lines[firstSample + 101], "  }");
}

struct FailureCase {
    const char* name;
    GalleryOptions options;
    const char* message;
};

FailureCase failure(const char* name, const char* message, void (*change)(GalleryOptions&)) {
    auto o = options();
    change(o);
    return {name, o, message};
}

class WriterFailure : public testing::TestWithParam<FailureCase> {};

TEST_P(WriterFailure, StopsBeforeAnyPageWithTheFieldText) {
    try {
        WriteGallery(GetParam().options, framesInput(3));
        FAIL() << "no error";
    } catch (const GalleryError& error) {
        EXPECT_STREQ(error.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, WriterFailure,
    testing::Values(
        failure("ColumnsText", "'five' is not a valid integer value",
                [](GalleryOptions& o) { o.Columns = "five"; }),
        failure("ColumnsEmpty", "'' is not a valid integer value",
                [](GalleryOptions& o) { o.Columns = ""; }),
        failure("ColumnsZero", "Division by zero", [](GalleryOptions& o) { o.Columns = "0"; }),
        failure("ColumnsNegative", "'-2' is not a valid integer value",
                [](GalleryOptions& o) { o.Columns = "-2"; }),
        failure("PerPageText", "'2 5' is not a valid integer value",
                [](GalleryOptions& o) { o.ThmPerPage = "2 5"; }),
        failure("PerPageZero", "Division by zero", [](GalleryOptions& o) { o.ThmPerPage = "0"; }),
        failure("FramesBorder", "'thick' is not a valid integer value",
                [](GalleryOptions& o) {
                    o.UseFrames = true;
                    o.BorderSize = "thick";
                }),
        failure("FramesEmptyPadding", "'' is not a valid integer value",
                [](GalleryOptions& o) {
                    o.UseFrames = true;
                    o.CellPad = "";
                })),
    [](const testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST(WriterFailure, APageNameLeadingOutOfTheFolderIsRefusedByEveryLayout) {
    auto o = options();
    for (const bool frames : {false, true}) {
        for (const bool table : {false, true}) {
            o.UseFrames = frames;
            o.UseTables = table;
            EXPECT_THROW(WriteGallery(o, input(1, "../MyWeb.htm")), GalleryError);
        }
    }
}

TEST(WriterChoice, FramesThenTableThenPlain) {
    auto o = options();
    o.UseFrames = true;
    o.UseTables = false;
    EXPECT_EQ(WriteGallery(o, framesInput(1)).size(), 4u);
    o.UseFrames = false;
    const auto plain = WriteGallery(o, framesInput(1));
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].text.find("<TABLE"), std::string::npos);
    o.UseTables = true;
    EXPECT_NE(WriteGallery(o, framesInput(1))[0].text.find("<TABLE"), std::string::npos);
}

TEST(GalleryPages, AreAsciiWhateverTheNamesAndTexts) {
    auto o = framesOptions();
    o.TileBkgd = true;
    o.BannerString = "\xC3\x89t\xC3\xA9 \xE2\x80\x94 \xF0\x9F\x8C\x8A";
    o.hrefPrefix = "http://h/\xC3\xBC/";
    auto in = framesInput(1);
    in.entries[0].originalPath = "/p/\xD0\xBC\xD0\xBE\xD1\x80\xD0\xB5.jpg";
    in.entries[0].outputPath = "/p/t/\xE6\xB5\xB7.jpg";
    auto pages = WriteFramesGallery(o, in);
    o.UseFrames = false;
    for (const auto& page : WriteTableGallery(o, in))
        pages.push_back(page);
    for (const auto& page : pages) {
        for (const char c : page.text)
            ASSERT_LT(static_cast<unsigned char>(c), 0x80) << page.path;
    }
    EXPECT_NE(pages[3].text.find("setbg('%D0%BC%D0%BE%D1%80%D0%B5.jpg')"), std::string::npos);
    EXPECT_NE(pages[3].text.find("\"http://h/%C3%BC/\" + im"), std::string::npos);
    EXPECT_NE(pages[4].text.find("<TITLE>&#201;t&#233; &#8212; &#127754;</TITLE>"),
              std::string::npos);
}

} // namespace
