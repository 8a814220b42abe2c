#include "HTMLOut.h"

#include "Confirm1.h"
#include "HTML1.h"
#include "HtmPrompt.h"
#include "MessageService.h"
#include "gallery/GalleryWriter.h"
#include "gallery/LinkAddressing.h"
#include "settings/MainSettings.h"
#include "settings/SettingsFile.h"

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

TfDlgOutHTML::TfDlgOutHTML(SettingsFile* settings, QWidget* parent)
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
    connect(bOK, &QPushButton::clicked, this, &TfDlgOutHTML::bOKClick);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(openInNotepad, &QAction::triggered, this, &TfDlgOutHTML::miOpenInNotepadClick);
    connect(selectAll, &QAction::triggered, this, &TfDlgOutHTML::miSelectAllClick);
    connect(deselectAll, &QAction::triggered, this, &TfDlgOutHTML::miDeSelectAllClick);
    connect(invert, &QAction::triggered, this, &TfDlgOutHTML::miInvertSelectionClick);
    connect(deleteFiles, &QAction::triggered, this, &TfDlgOutHTML::miDeleteClick);

    eFileName->setText(
        QString::fromStdString(settings_ ? readHtmlName(*settings_) : factoryHtmlName()));
    selectFolder(QDir::rootPath());
}

TfDlgOutHTML::~TfDlgOutHTML() {
    if (!settings_)
        return;
    try {
        writeHtmlName(*settings_, eFileName->text().toStdString());
    } catch (const std::exception& error) {
        messages().inform("settingsWriteError", QString::fromStdString(error.what()),
                          programTitle(), MessageIcon::Stop);
    }
}

void TfDlgOutHTML::setConfirmation(TForm4* form) {
    confirm_ = form;
}

TForm4& TfDlgOutHTML::confirmation() {
    if (!confirm_)
        confirm_ = new TForm4(nullptr, this);
    return *confirm_;
}

bool TfDlgOutHTML::execute(const QString& startFolder) {
    selectFolder(startFolder);
    return messages().showModal("html.outputDialog", *this) == QDialog::Accepted;
}

void TfDlgOutHTML::selectFolder(const QString& folder) {
    const QModelIndex index = folderModel->index(existingFolder(folder));
    tvFolders->setCurrentIndex(index);
    tvFolders->scrollTo(index);
    refreshFileList();
}

QString TfDlgOutHTML::htmlFolder() const {
    const QModelIndex index = tvFolders->currentIndex();
    return index.isValid() ? folderModel->filePath(index) : QDir::rootPath();
}

QString TfDlgOutHTML::htmlName() const {
    return eFileName->text();
}

void TfDlgOutHTML::setHtmlName(const QString& name) {
    eFileName->setText(name);
}

QString TfDlgOutHTML::galleryPath() const {
    return QDir(htmlFolder()).filePath(htmlName());
}

void TfDlgOutHTML::refreshFileList() {
    lvFiles->clear();
    const QDir folder(htmlFolder());
    lvFiles->addItems(folder.entryList({"*.htm", "*.html"}, QDir::Files, QDir::Name));
}

QStringList TfDlgOutHTML::selectedPaths() const {
    const QDir folder(htmlFolder());
    QStringList paths;
    for (int row = 0; row < lvFiles->count(); ++row)
        if (lvFiles->item(row)->isSelected())
            paths << folder.filePath(lvFiles->item(row)->text());
    return paths;
}

void TfDlgOutHTML::bOKClick() {
    eFileName->setText(galleryFileName(eFileName->text()));
    if (QFileInfo::exists(galleryPath()) &&
        messages().ask({"html.overwrite", "Overwrite file?", "Confirm", MessageIcon::Question,
                        MessageButtons::OkCancel}) != MessageAnswer::Ok)
        return;
    accept();
}

void TfDlgOutHTML::miOpenInNotepadClick() {
    const QStringList paths = selectedPaths();
    if (!paths.isEmpty())
        launcher().startPlainTextEditor(paths.first());
}

void TfDlgOutHTML::miSelectAllClick() {
    lvFiles->selectAll();
}

void TfDlgOutHTML::miDeSelectAllClick() {
    lvFiles->clearSelection();
}

void TfDlgOutHTML::miInvertSelectionClick() {
    for (int row = 0; row < lvFiles->count(); ++row)
        lvFiles->item(row)->setSelected(!lvFiles->item(row)->isSelected());
}

void TfDlgOutHTML::miDeleteClick() {
    if (deleteSelectedFiles(confirmation(), selectedPaths()))
        refreshFileList();
}

bool TfDlgOutHTML::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lvFiles && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        if (!selectedPaths().isEmpty())
            miDeleteClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

int thumbnailMaxSide(const JobSettings& job) {
    if (job.mode != JobMode::CreateThumbnails)
        return 0;
    const auto width = parseWholeNumber(job.thumbWidth);
    // The largest negative width has no positive int of its size.
    return width ? static_cast<int>(std::min<std::int64_t>(std::llabs(*width), INT32_MAX)) : 0;
}

QStringList runGalleryFlow(TfDlgOutHTML& output, TForm6& options, TfHTM& editor,
                           const GalleryRun& run) {
    // The editor's text is replaced below; unsaved edits are offered a save first.
    if (!editor.offerToSaveEdits())
        return {};
    const std::vector<ProcessedFile>& entries = run.entries;
    const QString start = entries.empty()
                              ? run.outputFolder
                              : QString::fromStdString(FolderPart(entries.front().outputPath));
    if (!output.execute(start))
        return {};
    editor.setBrowsePath(QString());

    const QString folder = output.htmlFolder();
    const QString name = output.htmlName();
    const QString galleryPath = output.galleryPath();
    options.setWindowTitle("HTML Options - " + galleryPath + " - " +
                           QString::number(entries.size()) + " Files");
    const std::string folderText = folder.toStdString();
    options.prepareForShowing(entries.empty()
                                  ? MakeLinkFoldersWithoutEntries(folderText)
                                  : MakeLinkFolders(folderText, entries.front().originalPath,
                                                    entries.front().outputPath));
    if (messages().showModal("html.options", options) != QDialog::Accepted)
        return {};

    const GalleryOptions chosen = options.options();
    const GalleryInput input{folderText, name.toStdString(), entries, run.thumbMaxSide};
    QStringList written;
    try {
        const std::vector<GalleryPage> pages = WriteGallery(chosen, input);
        const bool laterPages = !chosen.UseFrames && pages.size() > 1;
        for (const GalleryPage& page : pages) {
            const QString path = QString::fromStdString(page.path);
            if (!page.toEditor) {
                SaveGalleryPages({page});
                written << path;
                continue;
            }
            // The editor writes its page itself, so a page that cannot be written is
            // still in the editor, unsaved, rather than lost; the editor has said why.
            if (!editor.showGeneratedPage(QString::fromStdString(page.text), path, folder)) {
                editor.bBrowse->setEnabled(true);
                return written;
            }
            written << path;
            if (laterPages)
                editor.bBrowse->setEnabled(false);
        }
    } catch (const std::exception& error) {
        // Pages written before the failure stay; the browser button comes back for them.
        editor.bBrowse->setEnabled(true);
        QString text = QString::fromStdString(error.what());
        if (!text.isEmpty() && text.back() > QLatin1Char('.'))
            text += QLatin1Char('.');
        messages().inform("html.galleryError", text, programTitle(), MessageIcon::Stop);
        return written;
    }
    editor.bBrowse->setEnabled(true);
    if (chosen.UseFrames)
        editor.setBrowsePath(galleryPath);
    return written;
}

} // namespace pictorant
