#include "ui/FilePane.h"

#include "files/PathJoin.h"
#include "ui/LongPaths.h"
#include "ui/MessageService.h"
#include "ui/PictureMasks.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFocusEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>

namespace pictorant {

void FileListView::mousePressEvent(QMouseEvent* event) {
    QListView::mousePressEvent(event);
    emit mouseDown(event->button());
}

namespace {

QStringList patternsOf(const QString& mask) {
    QStringList patterns;
    for (const QString& part : mask.split(u';', Qt::SkipEmptyParts)) {
        const QString trimmed = part.trimmed();
        // "*.*" means every file, as the shell reads it, also names without a dot.
        if (trimmed == QStringLiteral("*.*"))
            patterns << QStringLiteral("*");
        else if (!trimmed.isEmpty())
            patterns << trimmed;
    }
    return patterns;
}

QToolButton* makeToolButton(QWidget* pane, const char* name, QStyle::StandardPixmap icon) {
    auto* button = new QToolButton(pane);
    button->setObjectName(QString::fromLatin1(name));
    button->setIcon(pane->style()->standardIcon(icon));
    button->setAutoRaise(true);
    return button;
}

// The target list's model: an in-place rename that the file system refuses is said, not
// dropped in silence.
class RenamingModel : public QFileSystemModel {
public:
    using QFileSystemModel::QFileSystemModel;

    bool setData(const QModelIndex& index, const QVariant& value, int role) override {
        const QString before = fileName(index);
        const QString after = value.toString();
        if (QFileSystemModel::setData(index, value, role))
            return true;
        if (role != Qt::EditRole || after == before || after.isEmpty())
            return false;
        const QString folder = fileInfo(index).absolutePath();
        const QString reason = QFileInfo::exists(QDir(folder).filePath(after))
                                   ? QStringLiteral("a file or folder of that name exists.")
                                   : QStringLiteral("the name cannot be used here.");
        messages().inform(
            QStringLiteral("cannotRename"),
            QStringLiteral("Cannot rename \"%1\" to \"%2\": %3").arg(before, after, reason),
            programTitle(), MessageIcon::Warning);
        return false;
    }
};

} // namespace

ListFilter::ListFilter(QObject* parent) : QSortFilterProxyModel(parent) {}

void ListFilter::setShownFolder(const QString& folder) {
    shown_ = folder;
    invalidateRowsFilter();
}

bool ListFilter::filterAcceptsRow(int row, const QModelIndex& parent) const {
    const QModelIndex index = sourceModel()->index(row, 0, parent);
    const auto* model = static_cast<const QFileSystemModel*>(sourceModel());
    if (!model->isDir(index))
        return true;
    // A folder on the way down to the shown folder must stay; others are hidden.
    const QString path = model->filePath(index);
    return path == shown_ || path == QStringLiteral("/") ||
           shown_.startsWith(path.endsWith(u'/') ? path : path + u'/');
}

FilePane::FilePane(Kind kind, const Names& names, QWidget* parent) : QWidget(parent), kind_(kind) {
    tree_ = new QTreeView(this);
    tree_->setObjectName(QString::fromLatin1(names.tree));
    tree_->setHeaderHidden(true);
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    showFullPathsInTree(tree_);

    list_ = new FileListView(this);
    list_->setObjectName(QString::fromLatin1(names.list));
    list_->setSelectionMode(kind == Kind::Source ? QAbstractItemView::ExtendedSelection
                                                 : QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    list_->setToolTip(QStringLiteral("Right-Click for Popup Menu"));
    list_->setUniformItemSizes(true);

    folderBox_ = new QLineEdit(this);
    folderBox_->setObjectName(QString::fromLatin1(names.folderBox));

    back_ = makeToolButton(this, names.backButton, QStyle::SP_ArrowBack);
    forward_ = makeToolButton(this, names.forwardButton, QStyle::SP_ArrowForward);
    up_ = makeToolButton(this, names.upButton, QStyle::SP_FileDialogToParent);
    up_->setToolTip(QStringLiteral("Up One Level"));

    mask_ = kPictureFileMask;
    makeTreeModel();
    makeListModel();

    // The target list opens a sub-folder on a double click; the tree follows.
    if (kind == Kind::Target) {
        connect(list_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            const QString path = index.data(QFileSystemModel::FilePathRole).toString();
            if (QFileInfo(path).isDir())
                setFolder(path);
        });
    }
    connect(back_, &QToolButton::clicked, this, &FilePane::goBack);
    connect(forward_, &QToolButton::clicked, this, &FilePane::goForward);
    connect(up_, &QToolButton::clicked, this, &FilePane::goUp);
    folderBox_->installEventFilter(this);
    // Reading order: the buttons, the folder box, then the tree and the list.
    setTabOrder(back_, forward_);
    setTabOrder(forward_, up_);
    setTabOrder(up_, folderBox_);
    setTabOrder(folderBox_, tree_);
    setTabOrder(tree_, list_);
    connect(this, &FilePane::treeFolderChanged, this, &FilePane::onFolderChanged);
    history_.reset(folder());
    updateButtons();
}

void FilePane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The buttons and the folder box in a row; tree and list share the height below.
    back_->setGeometry(0, 0, 24, 24);
    forward_->setGeometry(26, 0, 24, 24);
    up_->setGeometry(52, 0, 24, 24);
    folderBox_->setGeometry(80, 0, 250, 24);
    const int below = std::max(0, height() - 28);
    tree_->setGeometry(0, 28, 200, below);
    list_->setGeometry(204, 28, std::max(0, width() - 204), below);
}

bool FilePane::eventFilter(QObject* watched, QEvent* event) {
    if (watched == folderBox_ && event->type() == QEvent::KeyPress) {
        // Enter acts on the folder box alone: it is swallowed, not passed to the window.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            folderBoxEnter();
            return true;
        }
    }
    if (watched == folderBox_ && event->type() == QEvent::FocusOut) {
        // A pop-up menu or a message box does not end the typing in the folder box.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            folderBoxExit();
    }
    return QWidget::eventFilter(watched, event);
}

void FilePane::makeTreeModel() {
    auto* model = new QFileSystemModel(this);
    model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    model->setReadOnly(true);
    model->setRootPath(QString());
    // Connected before the view's selection model, which would otherwise move to a
    // neighbouring folder first when the pane's folder is removed from outside.
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &FilePane::noteFolderRemoval);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &FilePane::leaveRemovedFolder);
    QAbstractItemModel* old = tree_->model();
    tree_->setModel(model);
    for (int column = 1; column < model->columnCount(); ++column)
        tree_->hideColumn(column);
    if (old && old != model)
        old->deleteLater();
    treeModel_ = model;
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (removedFolder_.isEmpty())
            emit treeFolderChanged();
    });
    // The tree reads folders in the background; once the way down to the selected folder
    // is read, it can be scrolled into sight.
    connect(model, &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        const QString now = folder();
        if (now == path || now.startsWith(path.endsWith(u'/') ? path : path + u'/'))
            revealFolder();
    });
}

void FilePane::makeListModel() {
    // Folders stay in the model, so the folder shown and those above it are never
    // dropped from under the view; for the source list a proxy hides the sub-folders.
    // The target list shows the model itself, so its entries can be renamed in place.
    auto* model = kind_ == Kind::Target ? new RenamingModel(this) : new QFileSystemModel(this);
    model->setReadOnly(true);
    model->setNameFilterDisables(false);
    model->setFilter(QDir::AllDirs | QDir::Files | QDir::NoDotAndDotDot);
    model->setNameFilters(patternsOf(mask_));
    ListFilter* proxy = nullptr;
    if (kind_ == Kind::Source) {
        proxy = new ListFilter(model);
        proxy->setSourceModel(model);
        list_->setModel(proxy);
    } else {
        list_->setModel(model);
    }
    // The old proxy is a child of the old model and goes with it.
    if (listModel_)
        listModel_->deleteLater();
    listModel_ = model;
    listProxy_ = proxy;
    connect(model, &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        if (normalise(path) != listFolder_)
            return;
        listModel_->sort(0, Qt::AscendingOrder);
        listLoaded_ = true;
        emit listFolderLoaded(path);
    });
    if (!listFolder_.isEmpty()) {
        const QString path = listFolder_;
        listFolder_.clear();
        showListFolder(path);
    }
}

void FilePane::noteFolderRemoval(const QModelIndex& parent, int first, int last) {
    for (QModelIndex at = tree_->currentIndex(); at.isValid(); at = at.parent()) {
        if (at.parent() == parent && at.row() >= first && at.row() <= last) {
            removedFolder_ = folder();
            return;
        }
    }
}

void FilePane::leaveRemovedFolder() {
    if (removedFolder_.isEmpty())
        return;
    QString nearest = removedFolder_;
    removedFolder_.clear();
    while (!QFileInfo(nearest).isDir() && nearest != QDir::rootPath())
        nearest = QFileInfo(nearest).absolutePath();
    // The folder that is still there above the one removed, not a neighbour of it. The
    // tree may stand there already, having moved while its signal was held back.
    if (folder() == nearest || !setFolder(nearest))
        emit treeFolderChanged();
}

QString FilePane::normalise(const QString& path) {
    if (path.isEmpty())
        return path;
    return QDir::cleanPath(QDir(path).absolutePath());
}

QString FilePane::folder() const {
    const QModelIndex index = tree_->currentIndex();
    if (!index.isValid() || !treeModel_)
        return QDir::rootPath();
    return treeModel_->filePath(index);
}

bool FilePane::setFolder(const QString& path) {
    const QString target = normalise(path);
    if (target.isEmpty() || !QFileInfo(target).isDir())
        return false;
    const QModelIndex index = treeModel_->index(target);
    if (!index.isValid())
        return false;
    tree_->scrollTo(index);
    tree_->setCurrentIndex(index);
    return true;
}

void FilePane::revealFolder() {
    revealCurrentFolder(tree_);
    // The expanded folders are laid out later; scroll again once they are.
    QTimer::singleShot(0, tree_, [tree = tree_] { revealCurrentFolder(tree); });
}

void FilePane::startAt(const QString& path) {
    if (!setFolder(path))
        setFolder(QDir::rootPath());
    // The tree may already have stood there, so show the folder whatever happened.
    showListFolder(folder());
    folderBox_->setText(folder());
    resetHistory();
}

void FilePane::resetHistory() {
    history_.reset(folder());
    updateButtons();
}

void FilePane::onFolderChanged() {
    const QString now = folder();
    if (now == history_.currentFolder) {
        // Nothing moved (a re-read or a jump to the folder in hand): only the one-shot
        // flags go, so they cannot act on a later change.
        history_.jumpBack = history_.jumpForward = history_.jumpTyped = false;
        folderBox_->setText(now);
        showListFolder(now);
        return;
    }
    history_.folderChanged(folderBox_->text(), now);
    folderBox_->setText(now);
    showListFolder(now);
    updateButtons();
}

void FilePane::showListFolder(const QString& path) {
    if (path == listFolder_)
        return;
    listFolder_ = path;
    listLoaded_ = false;
    listModel_->setRootPath(path);
    if (listProxy_) {
        listProxy_->setShownFolder(path);
        list_->setRootIndex(listProxy_->mapFromSource(listModel_->index(path)));
    } else {
        list_->setRootIndex(listModel_->index(path));
    }
}

void FilePane::updateButtons() {
    back_->setEnabled(history_.backEnabled);
    back_->setToolTip(history_.backHint());
    forward_->setEnabled(history_.forwardEnabled);
    forward_->setToolTip(history_.forwardHint());
}

void FilePane::goBack() {
    const QString target = history_.backFolder;
    if (!QFileInfo(target).isDir()) {
        messages().inform(QStringLiteral("cannotFindPath"),
                          QStringLiteral("Cannot Find Path: ") + target, programTitle(),
                          MessageIcon::Stop);
        return;
    }
    const FolderHistory before = history_;
    history_.jumpBack = true;
    history_.forwardFolder = folder();
    if (!setFolder(target)) {
        history_ = before;
        updateButtons();
    }
}

void FilePane::goForward() {
    const QString target = history_.forwardFolder;
    if (!QFileInfo(target).isDir()) {
        messages().inform(QStringLiteral("cannotFindPath"),
                          QStringLiteral("Cannot Find Path: ") + target, programTitle(),
                          MessageIcon::Stop);
        return;
    }
    const FolderHistory before = history_;
    history_.jumpForward = true;
    history_.backFolder = folder();
    if (!setFolder(target)) {
        history_ = before;
        updateButtons();
    }
}

void FilePane::goUp() {
    const QString now = folder();
    QDir dir(now);
    if (dir.cdUp())
        setFolder(dir.absolutePath());
}

QString FilePane::typedFolder() const {
    const QString typed = folderBox_->text().trimmed();
    if (typed.isEmpty())
        return typed;
    // A relative name means a folder in the pane's own folder, not in the program's
    // working folder.
    return QDir::cleanPath(QDir(folder()).absoluteFilePath(typed));
}

bool FilePane::typedFolderPending() const {
    const QString typed = typedFolder();
    return !typed.isEmpty() && typed != folder();
}

void FilePane::folderBoxEnter() {
    const QString typed = typedFolder();
    if (!typed.isEmpty() && QFileInfo(typed).isDir() &&
        treeModel_->index(normalise(typed)).isValid()) {
        history_.jumpTyped = true;
        setFolder(typed);
        // Same folder as before: no change event came, so the box still holds the typing.
        if (history_.jumpTyped) {
            history_.jumpTyped = false;
            folderBox_->setText(folder());
        }
        return;
    }
    folderBox_->setText(folder());
}

void FilePane::folderBoxExit() {
    folderBox_->setText(folder());
}

void FilePane::setMask(const QString& mask) {
    mask_ = mask;
    listModel_->setNameFilters(patternsOf(mask));
}

QString FilePane::nameOf(const QModelIndex& index) {
    return index.data(QFileSystemModel::FileNameRole).toString();
}

QModelIndex FilePane::listRoot() const {
    return list_->rootIndex();
}

int FilePane::entryCount() const {
    return list_->model()->rowCount(listRoot());
}

QStringList FilePane::entryNames() const {
    QStringList names;
    const QModelIndex root = listRoot();
    const QAbstractItemModel* model = list_->model();
    for (int row = 0; row < model->rowCount(root); ++row)
        names << nameOf(model->index(row, 0, root));
    return names;
}

QStringList FilePane::selectedNames() const {
    // The list view selects single cells of its one column, not whole rows.
    QModelIndexList rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedIndexes())
        if (index.column() == 0 && index.parent() == listRoot())
            rows << index;
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    QStringList names;
    for (const QModelIndex& index : rows)
        names << nameOf(index);
    return names;
}

QStringList FilePane::selectedPaths() const {
    QStringList paths;
    const std::string dir = listFolder_.toStdString();
    for (const QString& name : selectedNames())
        paths << QString::fromStdString(joinPath(dir, name.toStdString()));
    return paths;
}

QString FilePane::currentPath() const {
    const QModelIndex index = list_->currentIndex();
    if (!index.isValid() || index.parent() != listRoot())
        return QString();
    return index.data(QFileSystemModel::FilePathRole).toString();
}

bool FilePane::selectName(const QString& name, bool selected) {
    const QModelIndex root = listRoot();
    const QAbstractItemModel* model = list_->model();
    for (int row = 0; row < model->rowCount(root); ++row) {
        const QModelIndex index = model->index(row, 0, root);
        if (nameOf(index) == name) {
            list_->selectionModel()->select(index, selected ? QItemSelectionModel::Select
                                                            : QItemSelectionModel::Deselect);
            return true;
        }
    }
    return false;
}

void FilePane::selectAll() {
    list_->selectAll();
    list_->setFocus();
}

void FilePane::deselectAll() {
    list_->clearSelection();
}

void FilePane::invertSelection() {
    const QModelIndex root = listRoot();
    const QAbstractItemModel* model = list_->model();
    const int rows = model->rowCount(root);
    if (rows > 0) {
        const QItemSelection all(model->index(0, 0, root), model->index(rows - 1, 0, root));
        list_->selectionModel()->select(all, QItemSelectionModel::Toggle);
    }
    list_->setFocus();
}

void FilePane::rereadTree() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QApplication::processEvents();
    const QString now = folder();
    const QSignalBlocker quiet(this);
    makeTreeModel();
    setFolder(now);
    QApplication::restoreOverrideCursor();
}

void FilePane::rereadList() {
    makeListModel();
}

} // namespace pictorant
