// The side windows on their own: the preview's rules and window, the About box's scroll,
// and the duplicate-name rule.

#include "tests/ui/WizardSupport.h"
#include "ui/AboutBox.h"
#include "ui/DuplicateNames.h"
#include "ui/PreviewBox.h"
#include "ui/PreviewCommands.h"
#include "ui/PreviewWindow.h"

namespace pictorant::uitest {
namespace {

TEST(PreviewRules, ExtensionGeometryWheelAndErrorText) {
    for (const char* path :
         {"/p/a.JPG", "/p/b.Jpeg", "/p/a.gif", "/p/a.bmp", "/p/a.wmf", "/p/a.EMF", "/p/xjpeg"})
        EXPECT_TRUE(preview::extensionAccepted(path)) << path;
    for (const char* path : {"/p/a.tiff", "/p/a.png", "/p/ajpg", "/p/a.jpe", ""})
        EXPECT_FALSE(preview::extensionAccepted(path)) << path;
    const QRect sizes[][2] = {{{0, 0, 1600, 1200}, {5, 5, 1014, 758}},
                              {{0, 0, 1024, 768}, {5, 5, 1024, 768}},
                              {{8, 30, 400, 300}, {5, 5, 408, 330}},
                              {{8, 30, 1020, 700}, {5, 5, 1014, 730}},
                              {{8, 30, 300, 2000}, {5, 5, 308, 758}}}; // frame, picture
    for (const auto& [in, expected] : sizes)
        EXPECT_EQ(preview::windowGeometry(in.size(), {in.x(), in.y()}, {1024, 768}), expected);
    for (const auto& [delta, position] : {std::pair{120, 90}, {-120, 110}, {11, 100}, {-23, 101}})
        EXPECT_EQ(preview::wheelScrollPosition(100, delta), position) << delta;
    EXPECT_EQ(preview::unhandledErrorText("JPEG error #42"), "JPEG error #42.");
    EXPECT_EQ(preview::unhandledErrorText("What?!"), "What?!");
}

using PreviewWindowTest = MainWindowTest;

TEST_F(PreviewWindowTest, OpensAtFiveFiveWithinTheScreenScrollsByWheelAndClosesOnClick) {
    QLabel label;
    PreviewBox& box = PreviewBox::attach(&label);
    PreviewWindow window;
    preview::openWindow(box, window);
    EXPECT_FALSE(window.isVisible()) << "an empty box opens nothing";
    writePicture(root + "/a.bmp", 200, 150, "BMP");
    ASSERT_TRUE(preview::loadFromSelectedList(box, window, root, root, "a.bmp"));
    EXPECT_FALSE(preview::loadFromSelectedList(box, window, root, root, "gone.bmp"));
    EXPECT_EQ(script.last().text, "Could not open gone.bmp");
    EXPECT_EQ(window.windowTitle(), root + "/a.bmp") << "kept after a failure";
    preview::openWindow(box, window);
    EXPECT_EQ(QRect(window.pos(), window.size()), QRect(5, 5, 200, 150));
    EXPECT_FALSE(window.scrollByWheel(-120)) << "no scroll bar, no scrolling";
    QTest::mouseClick(ctl<QLabel>(window, "Image1"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());

    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    writePicture(root + "/big.bmp", screen.width() + 800, screen.height() + 600, "BMP");
    ASSERT_TRUE(preview::loadFromFileList(box, window, 1, root + "/big.bmp", nullptr));
    preview::openWindow(box, window);
    EXPECT_EQ(window.frameGeometry(), QRect(5, 5, screen.width() - 10, screen.height() - 10));
}

TEST(AboutBoxTest, ScrollGoesOutByTheRoundedLengthThenComesBackFromBelow) {
    AboutScroll scroll(4, 350, 113);
    ASSERT_TRUE(scroll.start());
    std::vector<int> offsets;
    while (scroll.running() && offsets.size() < 1000) {
        scroll.tick();
        offsets.push_back(scroll.offset());
        EXPECT_TRUE(offsets.size() != 10 || !scroll.start()) << "no restart while running";
    }
    // 88 steps up to -352, then in from 116 (113 rounded to whole steps) to 0: 29 steps.
    ASSERT_EQ(offsets.size(), 88u + 29u);
    EXPECT_EQ(offsets[86], -348);
    EXPECT_EQ(offsets[87], 116);
    EXPECT_EQ(offsets.back(), 0);
}

TEST(DuplicateWarning, NamesThePairThatWouldShareAnOutputFile) {
    using Pair = std::optional<std::pair<QString, QString>>;
    const std::pair<QStringList, Pair> cases[] = {
        {{"MYPIC1.BMP", "MYPIC1.JPG"}, std::pair("MYPIC1.BMP", "MYPIC1.JPG")},
        {{"MYPIC1.BMP", "mypic1.jpg"}, std::nullopt},
        {{"photo.jpeg", "photo.gif"}, std::pair("photo.jpeg", "photo.gif")},
        {{"B.bmp", "A.bmp", "B.jpg", "A.jpg"}, std::pair("B.bmp", "B.jpg")},
        {{"z.gif", "b.jpg", "a.gif", "b.gif"}, std::pair("b.jpg", "b.gif")},
        {{"A.jpg", "a.jpg", "A.gif"}, std::pair("A.jpg", "A.gif")},
        {{"README", "README.jpg"}, std::pair("README", "README.jpg")},
        {{"x.tar.gz", "x.tar.jpg", "x.gif"}, std::pair("x.tar.gz", "x.tar.jpg")},
        {{"a.jpg", "b.jpg", "c.gif"}, std::nullopt},
    };
    for (const auto& [names, expected] : cases)
        EXPECT_EQ(findDuplicateNames(names), expected) << names.join(",").toStdString();
}

} // namespace
} // namespace pictorant::uitest
