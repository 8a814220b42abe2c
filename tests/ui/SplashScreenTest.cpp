// The splash window: one 256 x 128 picture, frameless, centred.

#include "WizardSupport.h"

#include "SplashScreen.h"

#include <QScreen>

namespace pictorant::uitest {
namespace {

TEST(Splash, FramelessPictureCentredOnTheScreen) {
    application();
    SplashScreen splash;
    EXPECT_EQ(splash.size(), QSize(256, 128));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::SplashScreen);
    splash.show();
    const QRect screen = splash.screen()->geometry();
    EXPECT_LE(std::abs(splash.geometry().center().x() - screen.center().x()), 1);
    EXPECT_LE(std::abs(splash.geometry().center().y() - screen.center().y()), 1);

    // The window shows the program's own picture, which is not a blank.
    const QImage shown = splash.grab().toImage();
    const QImage picture = SplashScreen::picture().toImage();
    ASSERT_EQ(shown.size(), picture.size());
    EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32),
              picture.convertToFormat(QImage::Format_RGB32));
    QSet<QRgb> colours;
    for (int y = 0; y < picture.height(); y += 8)
        for (int x = 0; x < picture.width(); x += 8)
            colours.insert(picture.pixel(x, y));
    EXPECT_GT(colours.size(), 10);
}

} // namespace
} // namespace pictorant::uitest
