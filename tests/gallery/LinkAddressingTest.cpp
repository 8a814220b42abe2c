#include "LinkAddressing.h"
#include "files/PathJoin.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace pictorant;

namespace {

struct RelativeCase {
    const char* html;
    const char* picture;
    const char* expected;
};

class WindowsRelative : public testing::TestWithParam<RelativeCase> {};

TEST_P(WindowsRelative, FollowsTheDriveAndFolderRules) {
    EXPECT_EQ(RelativeLinkPath(GetParam().html, GetParam().picture, PathStyle::Windows),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, WindowsRelative,
    testing::Values(RelativeCase{"C:\\My Documents\\My Webs\\Personal\\Html",
                                 "C:\\My Documents\\My Webs\\Personal\\Textures", "../Textures/"},
                    RelativeCase{"C:\\Web", "C:\\Web\\Images", "Images/"},
                    RelativeCase{"C:\\Web\\Html", "C:\\Web", "../"},
                    RelativeCase{"C:\\", "C:\\Pics\\Big", "Pics/Big/"},
                    RelativeCase{"C:\\A\\B", "C:\\", "../../"},
                    RelativeCase{"C:\\Web", "c:\\WEB\\", ""},
                    RelativeCase{"C:\\Web", "D:\\Web", "*"}));

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, WindowsRelative,
    testing::Values(
        // a name that also occurs inside an earlier folder name is no common start
        RelativeCase{"C:\\x", "C:\\pictures\\p", "../pictures/p/"},
        RelativeCase{"C:\\Web\\HTML", "c:\\web\\Textures\\", "../Textures/"},
        RelativeCase{"C:\\Web\\Html\\", "C:\\Web\\Html", ""}, RelativeCase{"", "C:\\Web", "*"},
        RelativeCase{"d:\\a", "D:\\b", "../b/"}));

class PosixRelative : public testing::TestWithParam<RelativeCase> {};

TEST_P(PosixRelative, ComparesNamesWithLetterCaseAndNeverMarksADrive) {
    EXPECT_EQ(RelativeLinkPath(GetParam().html, GetParam().picture), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PosixRelative,
    testing::Values(RelativeCase{"/home/ann/webs/html", "/home/ann/webs/textures", "../textures/"},
                    RelativeCase{"/srv/web", "/srv/web/images", "images/"},
                    RelativeCase{"/srv/web/html", "/srv/web", "../"},
                    RelativeCase{"/", "/pics/big", "pics/big/"},
                    RelativeCase{"/a/b", "/", "../../"}, RelativeCase{"/srv/web/", "/srv/web", ""},
                    RelativeCase{"/", "/", ""},
                    // letter case counts: these are two folders here
                    RelativeCase{"/srv/Web", "/srv/web", "../web/"},
                    RelativeCase{"/x", "/pictures/p", "../pictures/p/"},
                    RelativeCase{"/a//b/./c/", "/a/b/d/../c", ""},
                    RelativeCase{"/media/usb/html", "/home/ann/pics", "../../../home/ann/pics/"}));

TEST(PathParts, SplitAtTheLastSeparatorOfTheirStyle) {
    EXPECT_EQ(FolderPart("/home/ann/sea.jpg"), "/home/ann/");
    EXPECT_EQ(FileNamePart("/home/ann/sea.jpg"), "sea.jpg");
    EXPECT_EQ(FileNamePart("back\\slash.jpg"), "back\\slash.jpg");
    EXPECT_EQ(FolderPart("sea.jpg"), "");
    EXPECT_EQ(FolderPart("C:\\Pics\\sea.jpg", PathStyle::Windows), "C:\\Pics\\");
    EXPECT_EQ(FileNamePart("C:sea.jpg", PathStyle::Windows), "sea.jpg");
    EXPECT_EQ(joinPath("/srv/web/", "MyWeb.htm"), "/srv/web/MyWeb.htm");
    EXPECT_EQ(joinPath("/srv/web", "MyWeb.htm"), "/srv/web/MyWeb.htm");
}

TEST(LinkField, TextFollowsTheMode) {
    const auto text = [](int mode) {
        return LinkFieldText(mode, "/home/ann/pics/", "http://example.org/", "../pics/", "typed");
    };
    EXPECT_EQ(text(LinkLocal), "file:///home/ann/pics/");
    EXPECT_EQ(text(LinkInternet), "http://example.org/");
    EXPECT_EQ(text(LinkRelative), "../pics/");
    EXPECT_EQ(text(LinkGeneric), "");
    // no item chosen: the field keeps what it holds
    EXPECT_EQ(text(-1), "typed");
    // the local form encodes what would break the link, and keeps backslashes on Windows
    EXPECT_EQ(LinkFieldText(LinkLocal, "/home/ann/Ann's #1/", "", "", ""),
              "file:///home/ann/Ann%27s %231/");
    EXPECT_EQ(LinkFieldText(LinkLocal, "C:\\Pics\\", "", "", "", PathStyle::Windows),
              "file:///C:\\Pics\\");
}

GalleryOptions optionsWithModes(int href, int img) {
    GalleryOptions options;
    options.OriginalLinkOpt = href;
    options.ThumbLinkOpt = img;
    return options;
}

TEST(OpeningTheDialog, RecomputesRelativeTextsAndFillsBothFields) {
    // Thumbnails in /home/ann/pics/thumbs, the page beside them: the overview's example.
    const auto folders = MakeLinkFolders("/home/ann/pics/thumbs", "/home/ann/pics/a.jpg",
                                         "/home/ann/pics/thumbs/Thumb001.jpg");
    auto options = optionsWithModes(LinkRelative, LinkRelative);
    PrepareLinkFieldsOnOpen(options, folders);
    EXPECT_EQ(options.hrefPrefix, "../");
    EXPECT_EQ(options.imgPrefix, "");
    EXPECT_EQ(options.hrefRelativeText, "../");
    EXPECT_EQ(options.imgRelativeText, "");

    options = optionsWithModes(LinkLocal, LinkGeneric);
    options.imgPrefix = "left over";
    PrepareLinkFieldsOnOpen(options, folders);
    EXPECT_EQ(options.hrefPrefix, "file:///home/ann/pics/");
    EXPECT_EQ(options.imgPrefix, "");
    // the relative texts are recomputed whatever the mode
    EXPECT_EQ(options.hrefRelativeText, "../");

    options = optionsWithModes(LinkInternet, LinkInternet);
    options.hrefInternetText = "http://example.org/big/";
    PrepareLinkFieldsOnOpen(options, folders);
    EXPECT_EQ(options.hrefPrefix, "http://example.org/big/");
    EXPECT_EQ(options.imgPrefix, "http://");
}

TEST(OpeningTheDialog, EncodesComputedFoldersAndNeverSwitchesModeOnThisSystem) {
    const auto folders =
        MakeLinkFolders("/srv/web", "/srv/Ann's #1/a.jpg", "/srv/caf\xC3\xA9/t.jpg");
    auto options = optionsWithModes(LinkRelative, LinkRelative);
    PrepareLinkFieldsOnOpen(options, folders);
    EXPECT_EQ(options.hrefPrefix, "../Ann%27s %231/");
    EXPECT_EQ(options.imgPrefix, "../caf%C3%A9/");
    EXPECT_EQ(options.OriginalLinkOpt, LinkRelative);
    EXPECT_FALSE(RelativeLinkNeedsWarning(LinkGroup::Href, folders));
}

TEST(OpeningTheDialog, PicturesOnAnotherDriveTurnRelativeIntoLocal) {
    LinkFolders folders{"C:\\Web\\", "D:\\Pics\\", "C:\\Web\\thumbs\\", PathStyle::Windows};
    auto options = optionsWithModes(LinkRelative, LinkRelative);
    PrepareLinkFieldsOnOpen(options, folders);
    EXPECT_EQ(options.OriginalLinkOpt, LinkLocal);
    EXPECT_EQ(options.hrefRelativeText, "file:///D:\\Pics\\");
    EXPECT_EQ(options.hrefPrefix, "file:///D:\\Pics\\");
    // the thumbnails are on the page's drive and stay relative
    EXPECT_EQ(options.ThumbLinkOpt, LinkRelative);
    EXPECT_EQ(options.imgPrefix, "thumbs/");

    // Choosing relative again warns, and the field shows the remembered local text.
    EXPECT_TRUE(RelativeLinkNeedsWarning(LinkGroup::Href, folders));
    EXPECT_FALSE(RelativeLinkNeedsWarning(LinkGroup::Img, folders));
    options.OriginalLinkOpt = LinkRelative;
    FillLinkField(options, LinkGroup::Href, folders);
    EXPECT_EQ(options.hrefPrefix, "file:///D:\\Pics\\");
}

TEST(LeavingAField, RemembersTheTextOnlyForInternetAndRelative) {
    auto options = optionsWithModes(LinkInternet, LinkRelative);
    options.hrefPrefix = "http://example.org/";
    options.imgPrefix = "small/";
    RememberLinkFieldText(options, LinkGroup::Href);
    RememberLinkFieldText(options, LinkGroup::Img);
    EXPECT_EQ(options.hrefInternetText, "http://example.org/");
    EXPECT_EQ(options.imgRelativeText, "small/");

    options.OriginalLinkOpt = LinkLocal;
    options.hrefPrefix = "file:///elsewhere/";
    RememberLinkFieldText(options, LinkGroup::Href);
    EXPECT_EQ(options.hrefInternetText, "http://example.org/");
    EXPECT_EQ(options.hrefRelativeText, "images/");
}

TEST(LinkFolders, RelativeFoldersAreMadeAbsoluteAndEmptyRunsLieBesideThePage) {
    const auto cwd = std::filesystem::current_path().string();
    const auto folders = MakeLinkFolders("out", "pics/a.jpg", "b.jpg");
    EXPECT_EQ(folders.html, cwd + "/out/");
    EXPECT_EQ(folders.originals, cwd + "/pics/");
    EXPECT_EQ(folders.thumbnails, cwd + "/");

    const auto empty = MakeLinkFoldersWithoutEntries("/srv/web");
    auto options = optionsWithModes(LinkRelative, LinkLocal);
    PrepareLinkFieldsOnOpen(options, empty);
    EXPECT_EQ(options.hrefPrefix, "");
    EXPECT_EQ(options.imgPrefix, "file:///srv/web/");
}

} // namespace
