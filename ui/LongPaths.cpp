#include "ui/LongPaths.h"

#include <QEvent>
#include <QFileSystemModel>
#include <QHelpEvent>
#include <QPainter>
#include <QStyle>
#include <QToolTip>
#include <QTreeView>

namespace pictorant {

void MiddleElidedLabel::setPath(const QString& path) {
    setText(path);
    setToolTip(path);
}

void MiddleElidedLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect room = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, room.width());
    style()->drawItemText(&painter, room, int(alignment()), palette(), isEnabled(), shown,
                          foregroundRole());
}

namespace {

// Answers the tree's tooltip requests with the path of the folder under the pointer.
class FullPathTips : public QObject {
public:
    explicit FullPathTips(QTreeView* tree) : QObject(tree), tree_(tree) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ToolTip)
            return false;
        const auto* help = static_cast<QHelpEvent*>(event);
        const auto* model = qobject_cast<const QFileSystemModel*>(tree_->model());
        const QModelIndex index = tree_->indexAt(help->pos());
        if (!model || !index.isValid())
            return false;
        QToolTip::showText(help->globalPos(), model->filePath(index), tree_->viewport());
        return true;
    }

private:
    QTreeView* tree_;
};

} // namespace

void showFullPathsInTree(QTreeView* tree) {
    tree->setTextElideMode(Qt::ElideMiddle);
    tree->viewport()->installEventFilter(new FullPathTips(tree));
}

void revealCurrentFolder(QTreeView* tree) {
    const QModelIndex index = tree->currentIndex();
    if (!index.isValid())
        return;
    for (QModelIndex above = index.parent(); above.isValid(); above = above.parent())
        tree->expand(above);
    tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

} // namespace pictorant
