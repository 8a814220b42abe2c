#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

class QLabel;
class QScrollArea;

namespace pictorant {

// The full-size preview window: one picture at 1:1 in a scroll area.
class PreviewWindow : public QWidget {
    Q_OBJECT
public:
    explicit PreviewWindow(QWidget* parent = nullptr);

    // Shows `image` at full size with `hint`, limited to the screen, at (5, 5), in front.
    void showPicture(const QImage& image, const QString& hint);

    QImage picture() const;
    QString pictureHint() const;
    QScrollArea* scrollArea() const { return scroll_; }

    // A click on the picture closes the window.
    void closeOnClick();
    // Applies the wheel rule; returns whether it scrolled.
    bool scrollByWheel(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Sizes the window to `size` of picture within the screen and puts its frame at
    // (5, 5), with the frame as the window manager has told it so far.
    void place(QSize size);
    // A window manager frames a window shortly after its first showing: until it has,
    // the frame is unknown, so the window is placed again once it is.
    void placeAgainWhenFramed(QSize size);

    QScrollArea* scroll_;
    QLabel* picture_;
};

} // namespace pictorant
