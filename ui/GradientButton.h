#pragma once

#include <QColor>
#include <QPushButton>
#include <optional>

namespace pictorant {

// A push button drawn as a colour gradient whose end colour changes while the mouse is
// over it (the wizard's Next, Back, GO, Cancel, OK! and Do HTML! buttons).
//
// The wizard's buttons of one page stand where those of the next page appear, so the
// second press of a double-click would land on a button the user has not seen yet (a
// Next skipping a page, or GO). A button therefore ignores a press that comes within the
// platform's double-click interval of the last press before it appeared. The times are
// the presses' own time stamps, not the time they are handled, so a second press that a
// busy program handles late is still known as part of the double-click. click() from
// code is unaffected.
class GradientButton : public QPushButton {
    Q_OBJECT
public:
    GradientButton(const QString& text, QColor start, QColor end, QColor hoverEnd,
                   QWidget* parent = nullptr);

    // The gradient's end colour as it is drawn now.
    QColor endColor() const { return hot_ ? hoverEnd_ : end_; }
    QColor startColor() const { return start_; }

    // True when `press` is the second half of a double-click whose first press made the
    // button appear.
    bool justAppeared(const QMouseEvent& press) const;

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
    // The time stamp of the last mouse press before the button was shown, if any.
    std::optional<quint64> pressBeforeShowing_;
};

} // namespace pictorant
