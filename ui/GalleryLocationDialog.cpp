#include "ui/GalleryLocationDialog.h"

#include "gallery/GalleryWriter.h"
#include "gallery/LinkAddressing.h"
#include "settings/MainSettings.h"
#include "settings/SettingsFile.h"
#include "ui/DeleteFilesDialog.h"
#include "ui/DesktopLauncher.h"
#include "ui/FolderCommands.h"
#include "ui/GalleryOptionsDialog.h"
#include "ui/HtmlEditorWindow.h"
#include "ui/LongPaths.h"
#include "ui/MessageService.h"

#include <QPushButton>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace pictorant {

namespace {

const QString fallbackName = QStringLiteral("MyWeb.htm");

} // namespace

QString galleryFileName(const QString& typed) {
    if (!typed.contains(QLatin1String(".htm")) || typed.contains(QLatin1Char('/')))
        return fallbackName;
    return typed;
}

QString existingFolder(const QString& folder) {
    QString path = QDir::cleanPath(folder.isEmpty() ? QDir::rootPath() : folder);
    while (!QFileInfo(path).isDir() && path != QDir::rootPath())
        path = QFileInfo(path).absolutePath();
    return QFileInfo(path).isDir() ? path : QDir::rootPath();
}

GalleryLocationDialog::GalleryLocationDialog(SettingsFile* settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName("fDlgOutHTML");
    setWindowTitle("Specify location of HTML");
    resize(520, 420);

    lPrompt = new QLabel("Specify a location and file name for HTML file:");
    lPrompt->setObjectName("lPrompt");
    folderModel = new QFileSystemModel(this);
    folderModel->setObjectName("folderModel");
    folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folderModel->setRootPath(QDir::rootPath());
    tvFolders = new QTreeView;
    tvFolders->setObjectName("tvFolders");
    tvFolders->setModel(folderModel);
    for (int column = 1; column < folderModel->columnCount(); ++column)
        tvFolders->hideColumn(column);
    tvFolders->header()->hide();
    showFullPathsInTree(tvFolders);
    // The folders above the selected one are read in the background: each one read
    // moves the rows below it, so the selected folder is brought back into sight.
    connect(folderModel, &QFileSystemModel::directoryLoaded, this, [this](const QString& path) {
        const QString selected = htmlFolder();
        if (isVisible() && (selected == path || selected.startsWith(path + u'/') || path == u'/'))
            revealCurrentFolder(tvFolders);
    });

    lvFiles = new QListWidget;
    lvFiles->setObjectName("lvFiles");
    lvFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvFiles->setContextMenuPolicy(Qt::CustomContextMenu);
    lvFiles->setToolTip("Right-Click for popup menu");
    lvFiles->installEventFilter(this);
    lHint = new QLabel("Right-Click for popup menu");
    lHint->setObjectName("lHint");

    eFileName = new QLineEdit;
    eFileName->setObjectName("eFileName");
    bOK = new QPushButton("OK");
    bOK->setObjectName("bOK");
    bOK->setDefault(true);
    bCancel = new QPushButton("Cancel");
    bCancel->setObjectName("bCancel");

    pmFiles = new QMenu(this);
    pmFiles->setObjectName("pmFiles");
    QAction* openInNotepad = pmFiles->addAction("Open in Notepad");
    pmFiles->addSeparator();
    QAction* selectAll = pmFiles->addAction("Select All");
    QAction* deselectAll = pmFiles->addAction("DeSelect All");
    QAction* invert = pmFiles->addAction("Invert Selection");
    pmFiles->addSeparator();
    QAction* deleteFiles = pmFiles->addAction("Delete Selected Files");

    auto* lists = new QHBoxLayout;
    lists->addWidget(tvFolders, 1);
    auto* fileSide = new QVBoxLayout;
    fileSide->addWidget(lvFiles, 1);
    fileSide->addWidget(lHint);
    lists->addLayout(fileSide, 1);
    auto* lower = new QHBoxLayout;
    lower->addWidget(eFileName, 1);
    lower->addWidget(bOK);
    lower->addWidget(bCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lPrompt);
    layout->addLayout(lists, 1);
    layout->addLayout(lower);

    connect(tvFolders->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { refreshFileList(); });
    connect(lvFiles, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pmFiles->popup(lvFiles->viewport()->mapToGlobal(at)); });
    connect(bOK, &QPushButton::clicked, this, &GalleryLocationDialog::bOKClick);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(openInNotepad, &QAction::triggered, this, &GalleryLocationDialog::miOpenInNotepadClick);
    connect(selectAll, &QAction::triggered, this, &GalleryLocationDialog::miSelectAllClick);
    connect(deselectAll, &QAction::triggered, this, &GalleryLocationDialog::miDeSelectAllClick);
    connect(invert, &QAction::triggered, this, &GalleryLocationDialog::miInvertSelectionClick);
    connect(deleteFiles, &QAction::triggered, this, &GalleryLocationDialog::miDeleteClick);

    eFileName->setText(
        QString::fromStdString(settings_ ? readHtmlName(*settings_) : factoryHtmlName()));
    selectFolder(QDir::rootPath());
}

GalleryLocationDialog::~GalleryLocationDialog() {
    if (!settings_)
        return;
    try {
        writeHtmlName(*settings_, eFileName->text().toStdString());
    } catch (const std::exception& error) {
        messages().inform("settingsWriteError", QString::fromStdString(error.what()),
                          programTitle(), MessageIcon::Stop);
    }
}

void GalleryLocationDialog::setConfirmation(DeleteFilesDialog* form) {
    confirm_ = form;
}

DeleteFilesDialog& GalleryLocationDialog::confirmation() {
    if (!confirm_)
        confirm_ = new DeleteFilesDialog(nullptr, this);
    return *confirm_;
}

bool GalleryLocationDialog::execute(const QString& startFolder) {
    selectFolder(startFolder);
    return messages().showModal("html.outputDialog", *this) == QDialog::Accepted;
}

void GalleryLocationDialog::selectFolder(const QString& folder) {
    const QModelIndex index = folderModel->index(existingFolder(folder));
    tvFolders->setCurrentIndex(index);
    revealCurrentFolder(tvFolders);
    refreshFileList();
}

void GalleryLocationDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Before the first showing the tree has no size to scroll in; once shown, and once
    // its expanded folders are laid out, the selected one is brought into sight.
    revealCurrentFolder(tvFolders);
    QTimer::singleShot(0, tvFolders, [tree = tvFolders] { revealCurrentFolder(tree); });
}

QString GalleryLocationDialog::htmlFolder() const {
    const QModelIndex index = tvFolders->currentIndex();
    return index.isValid() ? folderModel->filePath(index) : QDir::rootPath();
}

QString GalleryLocationDialog::htmlName() const {
    return eFileName->text();
}

void GalleryLocationDialog::setHtmlName(const QString& name) {
    eFileName->setText(name);
}

QString GalleryLocationDialog::galleryPath() const {
    return QDir(htmlFolder()).filePath(htmlName());
}

void GalleryLocationDialog::refreshFileList() {
    lvFiles->clear();
    const QDir folder(htmlFolder());
    lvFiles->addItems(folder.entryList({"*.htm", "*.html"}, QDir::Files, QDir::Name));
}

QStringList GalleryLocationDialog::selectedPaths() const {
    const QDir folder(htmlFolder());
    QStringList paths;
    for (int row = 0; row < lvFiles->count(); ++row)
        if (lvFiles->item(row)->isSelected())
            paths << folder.filePath(lvFiles->item(row)->text());
    return paths;
}

void GalleryLocationDialog::bOKClick() {
    eFileName->setText(galleryFileName(eFileName->text()));
    if (QFileInfo::exists(galleryPath()) &&
        messages().ask({"html.overwrite", "Overwrite file?", "Confirm", MessageIcon::Question,
                        MessageButtons::OkCancel}) != MessageAnswer::Ok)
        return;
    accept();
}

void GalleryLocationDialog::miOpenInNotepadClick() {
    const QStringList paths = selectedPaths();
    if (!paths.isEmpty())
        launcher().startPlainTextEditor(paths.first());
}

void GalleryLocationDialog::miSelectAllClick() {
    lvFiles->selectAll();
}

void GalleryLocationDialog::miDeSelectAllClick() {
    lvFiles->clearSelection();
}

void GalleryLocationDialog::miInvertSelectionClick() {
    for (int row = 0; row < lvFiles->count(); ++row)
        lvFiles->item(row)->setSelected(!lvFiles->item(row)->isSelected());
}

void GalleryLocationDialog::miDeleteClick() {
    if (deleteSelectedFiles(confirmation(), selectedPaths()))
        refreshFileList();
}

bool GalleryLocationDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lvFiles && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (!selectedPaths().isEmpty())
            miDeleteClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace pictorant
