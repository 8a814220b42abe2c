#include "gallery/LinkAddressing.h"
#include "files/PathJoin.h"

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
    EXPECT_EQ(joinPath("/srv/web/", "MyWeb.htm"), "/srv/web/MyWeb.htm");
    // Pictures on another drive turn a relative link into a local one.
    const LinkFolders windows{"C:\\Web\\", "D:\\Pics\\", "C:\\Web\\t\\", PathStyle::Windows};
    GalleryOptions o;
    PrepareLinkFieldsOnOpen(o, windows);
    EXPECT_EQ(o.OriginalLinkOpt * 10 + o.ThumbLinkOpt, LinkLocal * 10 + LinkRelative);
    EXPECT_EQ(o.hrefPrefix + " " + o.imgPrefix, "file:///D:\\Pics\\ t/");
    EXPECT_TRUE(RelativeLinkNeedsWarning(LinkGroup::Href, windows));
}

} // namespace
