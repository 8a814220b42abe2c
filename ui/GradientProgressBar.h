#pragma once

#include <QColor>
#include <QProgressBar>

namespace pictorant {

// A progress bar drawn as blocks whose colours run from navy at the left to aqua at the
// right; only the blocks up to the position are filled.
class GradientProgressBar : public QProgressBar {
    Q_OBJECT
public:
    explicit GradientProgressBar(QWidget* parent = nullptr);

    // The colour of the block whose left edge lies at `fraction` (0..1) of the width.
    static QColor blockColor(double fraction);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace pictorant
