#pragma once

#include <QLabel>

class QTreeView;

namespace pictorant {

// A one-line label for a path: too long for its width, it shows the start and the end
// with an ellipsis between, and its hint gives the whole text. text() stays whole.
class MiddleElidedLabel : public QLabel {
public:
    explicit MiddleElidedLabel(QWidget* parent = nullptr) : QLabel(parent) {}
    void setPath(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Folder names in `tree` (a file system model) are cut in the middle when the column is
// too narrow, and the pointer resting on one shows its full path.
void showFullPathsInTree(QTreeView* tree);

// Expands the folders above the tree's current folder and scrolls it to the middle.
void revealCurrentFolder(QTreeView* tree);

} // namespace pictorant
