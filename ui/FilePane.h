#pragma once

#include "ui/FilePaneHistory.h"

#include <QListView>
#include <QPointer>
#include <QSortFilterProxyModel>
#include <QStringList>
#include <QWidget>

class QFileSystemModel;
class QLineEdit;
class QToolButton;
class QTreeView;

namespace pictorant {

// A file list that tells which mouse button went down, after the press has moved the
// current item and the selection (so a preview sees the clicked file).
class FileListView : public QListView {
    Q_OBJECT
public:
    using QListView::QListView;

signals:
    void mouseDown(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

// The entries of the source list: the files of its folder, without sub-folders.
class ListFilter : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit ListFilter(QObject* parent);
    void setShownFolder(const QString& folder);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

private:
    QString shown_;
};

// One file pane of the wizard: the previous, next and parent buttons and the
// current-folder box in a row above a folder tree beside a file list, with the one-step
// history. The pane names its controls with `names`, lays them out in its own area and
// wires its buttons and folder box to its commands; the page only places the pane.
class FilePane : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Source, Target };

    struct Names {
        const char* tree;
        const char* list;
        const char* folderBox;
        const char* backButton;
        const char* forwardButton;
        const char* upButton;
    };

    FilePane(Kind kind, const Names& names, QWidget* parent = nullptr);

    QTreeView* tree() const { return tree_; }
    FileListView* list() const { return list_; }
    QLineEdit* folderBox() const { return folderBox_; }
    QToolButton* backButton() const { return back_; }
    QToolButton* forwardButton() const { return forward_; }
    QToolButton* upButton() const { return up_; }
    const FolderHistory& history() const { return history_; }

    // The folder selected in the tree (full path).
    QString folder() const;
    // Selects `path` in the tree when it is an existing folder that the tree can show;
    // the folder-changed event follows as after a click. Returns false otherwise.
    bool setFolder(const QString& path);
    // Sets the folder and then starts the history there (start-up).
    void startAt(const QString& path);
    // Scrolls the tree so that its selected folder is in sight.
    void revealFolder();
    void resetHistory();

    // The history commands and the current-folder box.
    void goBack();
    void goForward();
    void goUp();
    void folderBoxEnter();
    // The folder box's text as a full path, a relative name taken in the pane's folder;
    // empty when the box is.
    QString typedFolder() const;
    // The box holds typing that names another place than the pane's folder.
    bool typedFolderPending() const;
    void folderBoxExit();
    // The tree reports a change of its selected folder.
    void onFolderChanged();

    // The list's mask: patterns separated by semicolons, letter case ignored.
    void setMask(const QString& mask);
    QString mask() const { return mask_; }

    // Files of the list in list order (target list: sub-folders too).
    int entryCount() const;
    QStringList entryNames() const;
    // Highlighted entries in list order: names only, and full paths.
    QStringList selectedNames() const;
    QStringList selectedPaths() const;
    // Full path of the list's current entry, or empty.
    QString currentPath() const;
    bool selectName(const QString& name, bool selected = true);

    void selectAll();
    void deselectAll();
    void invertSelection();

    // Reads the tree and the list again from disk.
    void rereadTree();
    void rereadList();

    // True once the list has read its folder since the last change.
    bool isListLoaded() const { return listLoaded_; }

    static QString normalise(const QString& path);

signals:
    // The tree's selected folder changed (click, keyboard, or a command).
    void treeFolderChanged();
    void listFolderLoaded(const QString& folder);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void makeTreeModel();
    // The tree's folder (or one above it) is being removed: remembered, so the pane
    // goes to the nearest folder above it that remains once the removal is done.
    void noteFolderRemoval(const QModelIndex& parent, int first, int last);
    void leaveRemovedFolder();
    void makeListModel();
    void showListFolder(const QString& path);
    void updateButtons();
    QModelIndex listRoot() const;
    static QString nameOf(const QModelIndex& index);

    Kind kind_;
    QTreeView* tree_;
    FileListView* list_;
    QLineEdit* folderBox_;
    QToolButton* back_;
    QToolButton* forward_;
    QToolButton* up_;
    QPointer<QFileSystemModel> treeModel_;
    QPointer<QFileSystemModel> listModel_;
    QPointer<ListFilter> listProxy_; // source list only
    FolderHistory history_;
    QString mask_;
    QString listFolder_;
    bool listLoaded_ = false;
    QString removedFolder_;
};

} // namespace pictorant
