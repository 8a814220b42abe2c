#pragma once

#include <QDialog>
#include <QImage>
#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace pictorant {

// One pass of the About box's scrolling panel, tick by tick: the content moves up by
// `step` until it has gone `length` (rounded up to whole steps), then comes in again
// from `enterFrom` below its place and moves up until it is back, and stops there.
class AboutScroll {
public:
    AboutScroll(int step, int length, int enterFrom);

    // Starts a pass; does nothing and returns false while one is running.
    bool start();
    // Advances a running pass by one step; does nothing when stopped.
    void tick();

    bool running() const { return phase_ != Phase::Stopped; }
    // Content offset from its place, in pixels; negative is upward.
    int offset() const { return offset_; }
    int length() const { return length_; }

private:
    enum class Phase { Stopped, Out, In };
    int step_;
    int length_;
    int enterFrom_;
    Phase phase_ = Phase::Stopped;
    int offset_ = 0;
};

// A line of text drawn with a shadow to the lower right.
class ShadowLabel : public QWidget {
    Q_OBJECT
public:
    ShadowLabel(const QString& text, QWidget* parent = nullptr);
    QString text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

// The About box: a scrolling panel with a picture and the notice, the version line,
// a web link and OK.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    static constexpr int scrollStep = 4;
    static constexpr int scrollIntervalMs = 150;
    static constexpr int scrollLength = 350;
    static constexpr int enterDelayMs = 500;
    static inline const char* webAddress = "https://pictorant.example.org/";

    explicit AboutBox(QWidget* parent = nullptr);

    // The mouse entered the picture: the scroll starts half a second later unless a
    // pass is running by then.
    void JvImage1MouseEnter();
    void URLLabel1Click();

    const AboutScroll& scroll() const { return scroll_; }
    QWidget* scrollContent() const { return content_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void scrollTick();
    void startScroll();

    QWidget* SP_;
    QWidget* content_;
    QLabel* JvImage1_;
    ShadowLabel* JvxLabel1_;
    QLabel* URLLabel1_;
    QPushButton* BitBtn1_;
    AboutScroll scroll_;
    QTimer timer_;
    QTimer delay_;
};

// The About box's picture (160 by 102), drawn by the program.
QImage aboutPicture();

} // namespace pictorant
