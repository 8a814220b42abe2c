#pragma once

#include "engine/JobSettings.h"
#include "engine/RunState.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace pictorant {

class GalleryLocationDialog;
class GalleryOptionsDialog;
class HtmlEditorWindow;

// The longest thumbnail side that `job` makes (the frames column width term); 0 for a
// job that makes no thumbnails.
int thumbnailMaxSide(const JobSettings& job);

// What "Do HTML!" works on: the last run's gallery entries, the job's output folder
// (where the output dialog starts when the run has no entries) and the thumbnail side.
struct GalleryRun {
    std::vector<ProcessedFile> entries;
    QString outputFolder;
    int thumbMaxSide = 0;
};

// "Do HTML!": when the editor holds edits, its save question first (Cancel ends the
// flow); the output dialog, the options dialog with its caption and link fields, then
// the one writer the options choose. The page for the editor is handed to it, which
// writes it (a page it cannot write stays in it, unsaved, and the flow stops there);
// "Open in Browser" stays disabled while later pages are written, and a frames gallery
// makes its frameset the editor's browse path. Cancel in either dialog writes nothing;
// a gallery that fails is reported as an error. Returns the paths written.
QStringList runGalleryFlow(GalleryLocationDialog& output, GalleryOptionsDialog& options,
                           HtmlEditorWindow& editor, const GalleryRun& run);

} // namespace pictorant
