#include "ui/GalleryFlow.h"

#include "gallery/GalleryWriter.h"
#include "gallery/LinkAddressing.h"
#include "settings/MainSettings.h"
#include "settings/SettingsFile.h"
#include "ui/DeleteFilesDialog.h"
#include "ui/DesktopLauncher.h"
#include "ui/GalleryLocationDialog.h"
#include "ui/GalleryOptionsDialog.h"
#include "ui/HtmlEditorWindow.h"
#include "ui/MessageService.h"
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
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace pictorant {

int thumbnailMaxSide(const JobSettings& job) {
    if (job.mode != JobMode::CreateThumbnails)
        return 0;
    const auto width = parseWholeNumber(job.thumbWidth);
    // The largest negative width has no positive int of its size.
    return width ? static_cast<int>(std::min<std::int64_t>(std::llabs(*width), INT32_MAX)) : 0;
}

QStringList runGalleryFlow(GalleryLocationDialog& output, GalleryOptionsDialog& options,
                           HtmlEditorWindow& editor, const GalleryRun& run) {
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
