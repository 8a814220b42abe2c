#pragma once

#include <QPixmap>
#include <QWidget>

namespace pictorant {

// The splash window: one 256 x 128 picture, no frame or title bar, centred on the screen.
class SplashScreen : public QWidget {
    Q_OBJECT
public:
    explicit SplashScreen(QWidget* parent = nullptr);

    // The splash picture, drawn by the program.
    static QPixmap picture();
    // Where the picture draws the program's name (its shadow falls 2 pixels lower right).
    static QRect nameBox();

    // Centres the window on the screen it is on.
    void centre();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
};

} // namespace pictorant
