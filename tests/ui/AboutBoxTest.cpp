#include "AboutBox.h"
#include "SideWindowsScript.h"

#include <QDesktopServices>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <vector>

namespace pictorant {
namespace {

using sidetest::AppGuard;

// Runs a pass to its end and returns every offset it went through.
std::vector<int> runPass(AboutScroll& scroll) {
    std::vector<int> offsets;
    while (scroll.running()) {
        scroll.tick();
        offsets.push_back(scroll.offset());
        if (offsets.size() > 10000)
            break;
    }
    return offsets;
}

TEST(AboutScroll, OnePassGoesOutByTheRoundedLengthThenComesBackFromBelow) {
    AboutScroll scroll(4, 350, 113);
    EXPECT_EQ(scroll.length(), 352);
    ASSERT_TRUE(scroll.start());
    const std::vector<int> offsets = runPass(scroll);
    // 88 steps up to -352, then in from 116 (113 rounded to whole steps) to 0: 29 steps.
    ASSERT_EQ(offsets.size(), 88u + 29u);
    EXPECT_EQ(offsets[0], -4);
    EXPECT_EQ(offsets[86], -348);
    EXPECT_EQ(offsets[87], 116);
    EXPECT_EQ(offsets[88], 112);
    EXPECT_EQ(offsets.back(), 0);
    for (std::size_t i = 1; i < offsets.size(); ++i) {
        if (i != 87) {
            EXPECT_EQ(offsets[i - 1] - offsets[i], 4) << "at tick " << i;
        }
    }
    EXPECT_FALSE(scroll.running());
}

TEST(AboutScroll, StartWhileRunningChangesNothingButANewPassStartsAfterTheEnd) {
    AboutScroll scroll(4, 350, 113);
    ASSERT_TRUE(scroll.start());
    for (int i = 0; i < 10; ++i)
        scroll.tick();
    EXPECT_FALSE(scroll.start());
    EXPECT_EQ(scroll.offset(), -40);
    runPass(scroll);
    EXPECT_TRUE(scroll.start());
    EXPECT_TRUE(scroll.running());
    EXPECT_EQ(scroll.offset(), 0);
}

TEST(AboutScroll, TickWhileStoppedDoesNothing) {
    AboutScroll scroll(4, 350, 113);
    scroll.tick();
    EXPECT_EQ(scroll.offset(), 0);
    EXPECT_FALSE(scroll.running());
}

class AboutBoxWindow : public ::testing::Test {
protected:
    AppGuard app;
    AboutBox about;
};

// Records the addresses that the desktop was asked to open.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST_F(AboutBoxWindow, LinkLabelAsksTheDesktopToOpenItsAddress) {
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("https", &recorder, "open");
    auto* link = about.findChild<QLabel*>("URLLabel1");
    ASSERT_TRUE(link);
    EXPECT_TRUE(link->text().contains(AboutBox::webAddress));
    emit link->linkActivated(AboutBox::webAddress);
    QDesktopServices::unsetUrlHandler("https");
    ASSERT_EQ(recorder.urls.size(), 1);
    EXPECT_EQ(recorder.urls[0], QUrl(AboutBox::webAddress));
}

TEST_F(AboutBoxWindow, EnteringThePictureStartsTheScrollHalfASecondLaterAndNotAgainWhileRunning) {
    about.show();
    auto* picture = about.findChild<QLabel*>("JvImage1");
    ASSERT_TRUE(picture);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(picture, &enter);
    QTest::qWait(200);
    EXPECT_FALSE(about.scroll().running()) << "started before half a second";
    ASSERT_TRUE(QTest::qWaitFor([&] { return about.scroll().running(); }, 2000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return about.scroll().offset() <= -8; }, 2000));

    // Out and in again during the pass: the content keeps going up from where it was.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(picture, &leave);
    const int before = about.scroll().offset();
    QApplication::sendEvent(picture, &enter);
    QTest::qWait(700);
    EXPECT_TRUE(about.scroll().running());
    EXPECT_LT(about.scroll().offset(), before) << "the pass was restarted";
    EXPECT_EQ(about.scrollContent()->y(), about.scroll().offset());
}

} // namespace
} // namespace pictorant

#include "AboutBoxTest.moc"
