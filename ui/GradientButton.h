#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QPushButton>

namespace pictorant {

// A push button drawn as a colour gradient whose end colour changes while the mouse is
// over it (the wizard's Next, Back, GO, Cancel, OK! and Do HTML! buttons).
//
// The wizard's buttons of one page stand where those of the next page appear, so the
// second press of a double-click would land on a button the user has not seen yet (a
// Next skipping a page, or GO). A button therefore ignores mouse presses for the
// platform's double-click interval after it appears; click() from code is unaffected.
class GradientButton : public QPushButton {
    Q_OBJECT
public:
    GradientButton(const QString& text, QColor start, QColor end, QColor hoverEnd,
                   QWidget* parent = nullptr);

    // The gradient's end colour as it is drawn now.
    QColor endColor() const { return hot_ ? hoverEnd_ : end_; }
    QColor startColor() const { return start_; }

    // True while a mouse press would still be taken as part of the click that made the
    // button appear.
    bool justAppeared() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QColor start_;
    QColor end_;
    QColor hoverEnd_;
    bool hot_ = false;
    QElapsedTimer shownAt_;
};

} // namespace pictorant
