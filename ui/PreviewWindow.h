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
    QScrollArea* scroll_;
    QLabel* picture_;
};

} // namespace pictorant
