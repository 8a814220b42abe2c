#include "LinkAddressing.h"

#include <gtest/gtest.h>

using namespace pictorant;

namespace {

TEST(RelativeLinks, FollowTheFolderRulesOfEachStyle) {
    const struct {
        const char* html;
        const char* picture;
        const char* expected;
        PathStyle style;
    } cases[] = {
        {"C:\\Web\\Html", "C:\\Web\\Textures", "../Textures/", PathStyle::Windows},
        {"C:\\", "C:\\Pics\\Big", "Pics/Big/", PathStyle::Windows},
        {"C:\\Web", "c:\\WEB\\", "", PathStyle::Windows},
        {"C:\\Web", "D:\\Web", "*", PathStyle::Windows},
        {"C:\\x", "C:\\pictures\\p", "../pictures/p/", PathStyle::Windows},
        {"/srv/Web", "/srv/web", "../web/", PathStyle::Posix},
        {"/a//b/./c/", "/a/b/d/../c", "", PathStyle::Posix},
        {"/media/usb/html", "/home/ann/pics", "../../../home/ann/pics/", PathStyle::Posix},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RelativeLinkPath(c.html, c.picture, c.style), c.expected) << c.html;
    EXPECT_EQ(FolderPart("C:\\Pics\\sea.jpg", PathStyle::Windows), "C:\\Pics\\");
    EXPECT_EQ(FileNamePart("back\\slash.jpg"), "back\\slash.jpg");
    EXPECT_EQ(JoinPath("/srv/web/", "MyWeb.htm"), "/srv/web/MyWeb.htm");
}

// Opening the dialog recomputes the relative texts and fills both fields by their modes;
// pictures on another drive turn relative into local, and choosing relative again warns.
TEST(LinkFields, FollowTheModeAndTheDrive) {
    const auto folders = MakeLinkFolders("/home/ann/pics/thumbs", "/home/ann/Ann's #1/a.jpg",
                                         "/home/ann/pics/thumbs/Thumb001.jpg");
    GalleryOptions o;
    o.OriginalLinkOpt = LinkLocal;
    o.ThumbLinkOpt = LinkRelative;
    PrepareLinkFieldsOnOpen(o, folders);
    EXPECT_EQ(o.hrefPrefix, "file:///home/ann/Ann%27s %231/");
    EXPECT_EQ(o.hrefRelativeText, "../../Ann%27s %231/");
    EXPECT_EQ(o.imgPrefix, "");
    const LinkFolders windows{"C:\\Web\\", "D:\\Pics\\", "C:\\Web\\thumbs\\", PathStyle::Windows};
    o.OriginalLinkOpt = LinkRelative;
    PrepareLinkFieldsOnOpen(o, windows);
    EXPECT_EQ(o.OriginalLinkOpt, LinkLocal);
    EXPECT_EQ(o.hrefPrefix, "file:///D:\\Pics\\");
    EXPECT_EQ(o.imgPrefix, "thumbs/");
    EXPECT_TRUE(RelativeLinkNeedsWarning(LinkGroup::Href, windows));
    EXPECT_FALSE(RelativeLinkNeedsWarning(LinkGroup::Img, windows));
}

} // namespace
