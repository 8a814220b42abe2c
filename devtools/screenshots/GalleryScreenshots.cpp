// gallery-screenshots: the two tabs of the HTML Options dialog and the HTML editor with a
// written gallery page, saved as PNG files into the folder given as argument. Run it
// under a virtual display: xvfb-run -a gallery-screenshots docs/screenshots

#include "devtools/screenshots/Screenshot.h"
#include "gallery/GalleryWriter.h"
#include "ui/GalleryOptionsDialog.h"
#include "ui/HtmlEditorWindow.h"
#include "ui/MessageService.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdio>

namespace {

using namespace pictorant;

using screenshots::save;
using screenshots::settle;

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: gallery-screenshots <folder for the PNG files>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir work;
    const std::string pics = (work.path() + "/Pics").toStdString();
    const std::string thumbs = pics + "/thumbs";
    QDir().mkpath(QString::fromStdString(thumbs));

    bool ok = true;
    GalleryOptionsDialog options;
    options.prepareForShowing(MakeLinkFolders(thumbs, pics + "/Holiday1.jpg", thumbs + "/x.jpg"));
    options.setWindowTitle(
        QString::fromStdString("HTML Options - " + thumbs + "/MyWeb.htm - 4 Files"));
    options.show();
    settle();
    ok &= save(options, out + "/gallery-options-linking.png");
    options.pcOptions->setCurrentIndex(1);
    settle();
    ok &= save(options, out + "/gallery-options-layout.png");
    options.hide();

    GalleryInput input{thumbs, "MyWeb.htm", {}, 96};
    for (int i = 1; i <= 4; ++i) {
        ProcessedFile entry;
        entry.originalPath = pics + "/Holiday" + std::to_string(i) + ".jpg";
        entry.outputPath = thumbs + "/Thumb00" + std::to_string(i) + ".jpg";
        entry.originalBytes = 48000 + i * 1111;
        entry.outputWidth = 96;
        entry.outputHeight = 72;
        input.entries.push_back(entry);
    }
    const std::vector<GalleryPage> pages = WriteGallery(options.options(), input);
    HtmlEditorWindow editor;
    editor.showGeneratedPage(QString::fromStdString(pages.front().text),
                             QString::fromStdString(pages.front().path),
                             QString::fromStdString(thumbs));
    settle();
    ok &= save(editor, out + "/html-editor.png");
    return ok ? 0 : 1;
}
