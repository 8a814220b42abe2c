#include "PreviewWindow.h"
#include "Picture.h"
#include "PreviewBox.h"
#include "PreviewCommands.h"
#include "SideWindowsScript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>
#include <fstream>
#include <iterator>
#include <vector>

namespace pictorant {
namespace {

using sidetest::AppGuard;
using sidetest::Script;

// A picture whose every pixel differs, so any misplaced pixel shows.
Raster pattern(int width, int height) {
    Raster r(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = r.scanLine(y) + 3 * x;
            p[0] = std::uint8_t(x * 7 + y);
            p[1] = std::uint8_t(y * 5);
            p[2] = std::uint8_t(x ^ y);
        }
    return r;
}

void writeBmp(const QString& path, const Raster& raster) {
    Picture picture(PictureKind::Bitmap);
    picture.setBitmap(raster);
    WritePicture(picture, path.toStdString());
}

Raster fileRaster(const QString& path) {
    Raster r;
    RenderToBitmap(LoadPicture(path.toStdString()), r);
    return r;
}

std::vector<std::uint8_t> fileBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(PreviewRules, ExtensionTestTakesTheLastFourCharactersInUpperCase) {
    struct Case {
        const char* path;
        bool accepted;
    };
    const Case cases[] = {
        {"/p/a.jpg", true},  {"/p/a.JPG", true}, {"/p/picture.jpeg", true},
        {"/p/a.Jpeg", true}, {"/p/a.gif", true}, {"/p/a.bmp", true},
        {"/p/a.wmf", true},  {"/p/a.EMF", true}, {"/p/picture.tiff", false},
        {"/p/a.png", false}, {"/p/ajpg", false}, {"/p/a.jpe", false},
        {"/p/xjpeg", true},  {"", false},        {"jpg", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(preview::extensionAccepted(c.path), c.accepted) << c.path;
}

TEST(PreviewRules, HintNamesPathAndNaturalSize) {
    EXPECT_EQ(preview::hint("/pics/a.jpg", 400, 300), "/pics/a.jpg - W: 400, H: 300");
    EXPECT_EQ(preview::joinPath("/pics", "a.jpg"), "/pics/a.jpg");
    EXPECT_EQ(preview::joinPath("/", "a.jpg"), "/a.jpg");
}

TEST(PreviewRules, WindowGeometryIsLimitedToTheScreenLess10) {
    struct Case {
        QSize picture, frame, screen;
        QRect expected;
    };
    const Case cases[] = {
        {{1600, 1200}, {0, 0}, {1024, 768}, {5, 5, 1014, 758}},
        {{400, 300}, {0, 0}, {1024, 768}, {5, 5, 400, 300}},
        {{400, 300}, {8, 30}, {1024, 768}, {5, 5, 408, 330}},
        {{1024, 768}, {0, 0}, {1024, 768}, {5, 5, 1024, 768}},
        {{1020, 700}, {8, 30}, {1024, 768}, {5, 5, 1014, 730}},
        {{300, 2000}, {8, 30}, {1024, 768}, {5, 5, 308, 758}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(preview::windowGeometry(c.picture, c.frame, c.screen), c.expected);
}

TEST(PreviewRules, WheelScrollsByADeltaOver12TruncatedTowardZero) {
    struct Case {
        int position, delta, expected;
    };
    const Case cases[] = {{100, 120, 90}, {100, -120, 110}, {100, 240, 80},
                          {100, 11, 100}, {100, -23, 101},  {0, 120, -10}};
    for (const Case& c : cases)
        EXPECT_EQ(preview::wheelScrollPosition(c.position, c.delta), c.expected)
            << c.position << " " << c.delta;
}

TEST(PreviewRules, UnhandledErrorTextGetsAFullStopAfterALetterOrDigit) {
    EXPECT_EQ(preview::unhandledErrorText("No such file or directory"),
              "No such file or directory.");
    EXPECT_EQ(preview::unhandledErrorText("JPEG error #42"), "JPEG error #42.");
    EXPECT_EQ(preview::unhandledErrorText("Done."), "Done.");
    EXPECT_EQ(preview::unhandledErrorText("What?!"), "What?!");
    EXPECT_EQ(preview::unhandledErrorText("(x)"), "(x)");
}

class Preview : public ::testing::Test {
protected:
    AppGuard app;
    Script script;
    QTemporaryDir dir;
    QLabel label;
    PreviewBox& box = PreviewBox::attach(&label);
    PreviewWindow window;
    int rotationSwitches = 0;
    bool rotationEnabled = true;
    std::function<void(bool)> rotation = [this](bool on) {
        ++rotationSwitches;
        rotationEnabled = on;
    };

    QString path(const QString& name) const { return dir.filePath(name); }
    QString bmp(const QString& name, int w, int h) {
        writeBmp(path(name), pattern(w, h));
        return path(name);
    }
};

TEST_F(Preview, EmptyListOrNoCurrentFileLeavesEverythingAlone) {
    EXPECT_FALSE(preview::loadFromFileList(box, window, 0, path("x.jpg"), rotation));
    EXPECT_EQ(rotationSwitches, 0);
    EXPECT_FALSE(preview::loadFromFileList(box, window, 4, "", rotation));
    EXPECT_EQ(rotationSwitches, 1);
    EXPECT_FALSE(rotationEnabled);
}

TEST_F(Preview, TargetListDoesNotTouchTheRotationButtons) {
    const QString file = bmp("a.bmp", 40, 30);
    EXPECT_TRUE(preview::loadFromFileList(box, window, 1, file, nullptr));
    EXPECT_EQ(rotationSwitches, 0);
}

TEST_F(Preview, SelectedListLoadsFolderAndEntryWithoutExtensionTest) {
    bmp("a.bmp", 40, 30);
    QFile::copy(path("a.bmp"), path("same.tiff"));
    EXPECT_TRUE(preview::loadFromSelectedList(box, window, dir.path(), dir.path(), "a.bmp"));
    EXPECT_EQ(box.hint(), path("a.bmp") + " - W: 40, H: 30");
    EXPECT_EQ(window.windowTitle(), path("a.bmp"));

    // A failure names the entry only and keeps the picture the box had.
    EXPECT_FALSE(preview::loadFromSelectedList(box, window, dir.path(), dir.path(), "gone.bmp"));
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_EQ(script.asked[0].text, "Could not open gone.bmp");
    EXPECT_TRUE(box.hasPicture());
    EXPECT_EQ(window.windowTitle(), path("a.bmp"));
}

TEST_F(Preview, EmptyBoxOpensNothing) {
    preview::openWindow(box, window);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(Preview, SmallPictureOpensAtFullSizeAtFiveFiveAndAClickClosesIt) {
    ASSERT_TRUE(preview::loadFromFileList(box, window, 1, bmp("a.bmp", 200, 150), rotation));
    preview::openWindow(box, window);
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.pos(), QPoint(5, 5));
    EXPECT_EQ(window.size(), QSize(200, 150));
    EXPECT_EQ(window.picture().size(), QSize(200, 150));
    EXPECT_EQ(window.pictureHint(), box.hint());
    EXPECT_FALSE(window.scrollArea()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(window.scrollByWheel(-120)) << "no scroll bar, no scrolling";

    auto* image = window.findChild<QLabel*>("Image1");
    ASSERT_TRUE(image);
    QTest::mouseClick(image, Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(Preview, LargePictureIsLimitedToTheScreenAndTheWheelScrollsIt) {
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const int w = screen.width() + 800, h = screen.height() + 600;
    ASSERT_TRUE(preview::loadFromFileList(box, window, 1, bmp("big.bmp", w, h), rotation));
    preview::openWindow(box, window);
    EXPECT_EQ(window.frameGeometry(), QRect(5, 5, screen.width() - 10, screen.height() - 10));
    QScrollBar* bar = window.scrollArea()->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_TRUE(window.scrollArea()->horizontalScrollBar()->isVisible());
    bar->setValue(100);

    // A real wheel notch over the picture: forward scrolls up by 10.
    auto* image = window.findChild<QLabel*>("Image1");
    const QPointF at(20, 20);
    QWheelEvent forward(at, image->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, Qt::NoModifier,
                        Qt::NoScrollPhase, false);
    QApplication::sendEvent(image, &forward);
    EXPECT_EQ(bar->value(), 90);
    QWheelEvent back(at, image->mapToGlobal(at), {}, {0, -240}, Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(image, &back);
    EXPECT_EQ(bar->value(), 110);
}

class Rotation : public Preview {
protected:
    QString loaded;
    void load(const QString& file) {
        loaded = file;
        ASSERT_TRUE(preview::loadFromFileList(box, window, 1, file, rotation));
    }
    bool turn(RotateDirection direction, MessageAnswer answer, int quality = 90) {
        script.answer("overwriteOriginal", answer);
        return preview::rotate(box, window, 1, 1, direction, quality);
    }
};

TEST_F(Rotation, ClockwiseThenCounterClockwiseRestoresABmp) {
    load(bmp("a.bmp", 17, 9));
    ASSERT_TRUE(turn(RotateDirection::Clockwise, MessageAnswer::Yes));
    ASSERT_TRUE(turn(RotateDirection::CounterClockwise, MessageAnswer::Yes));
    EXPECT_EQ(fileRaster(loaded), pattern(17, 9));
}

TEST_F(Rotation, NoOrNothingSelectedChangesNothing) {
    load(bmp("a.bmp", 40, 30));
    const auto before = fileBytes(loaded);
    EXPECT_FALSE(turn(RotateDirection::Clockwise, MessageAnswer::No));
    EXPECT_EQ(fileBytes(loaded), before);
    EXPECT_EQ(box.image().size(), QSize(40, 30));

    EXPECT_FALSE(preview::rotate(box, window, 5, 0, RotateDirection::Clockwise, 90));
    ASSERT_EQ(script.asked.size(), 2u);
    EXPECT_EQ(script.asked[1].text, "First select a file to be rotated");
    EXPECT_EQ(fileBytes(loaded), before);
}

TEST_F(Rotation, EmptyListSkipsTheSelectionTestAndTurnsThePictureStillShown) {
    load(bmp("a.bmp", 40, 30));
    script.answer("overwriteOriginal", MessageAnswer::Yes);
    EXPECT_TRUE(preview::rotate(box, window, 0, 0, RotateDirection::Clockwise, 90));
    EXPECT_EQ(fileRaster(loaded).width(), 30);
}

TEST_F(Rotation, EmptyBoxAsksAndThenDoesNothing) {
    script.answer("overwriteOriginal", MessageAnswer::Yes);
    EXPECT_FALSE(preview::rotate(box, window, 0, 0, RotateDirection::Clockwise, 90));
    EXPECT_EQ(script.askedIds(), QStringList{"overwriteOriginal"});
}

} // namespace
} // namespace pictorant
