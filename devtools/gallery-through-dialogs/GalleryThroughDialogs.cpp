// gallery-through-dialogs: a thumbnail run, then "Do HTML!" through the real output and
// options dialogs, played by a script as a user would click them. Prints the paths of
// the pages written. The browser tests open what it writes.
//
//   gallery-through-dialogs --input DIR --output DIR --folder HTMLDIR --name NAME
//                           [--href-mode N] [--img-mode N] [--frames] FILE...

#include "engine/BatchEngine.h"
#include "ui/GalleryFlow.h"
#include "ui/GalleryLocationDialog.h"
#include "ui/GalleryOptionsDialog.h"
#include "ui/HtmlEditorWindow.h"
#include "ui/MessageService.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

using namespace pictorant;

struct Request {
    std::string input, output, folder, name = "MyWeb.htm";
    int hrefMode = -1, imgMode = -1;
    bool frames = false;
    std::vector<std::string> files;
};

class QuietHost : public RunHost {
public:
    void setProgressLine(const std::string&) override {}
    void setProgressMax(int) override {}
    void setProgressPosition(int) override {}
    void showMessage(RunMessage, const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
    }
    void takeStopRequest() override {}
    void rereadPanes() override {}
};

// The user: takes the folder and name in the output dialog, clicks the link modes and
// the layout in the options dialog, and answers every question with its first button.
class User : public MessageService {
public:
    User(const Request& request, GalleryLocationDialog& output, GalleryOptionsDialog& options)
        : request_(request), output_(output), options_(options) {}

    MessageAnswer ask(const MessageRequest& request) override {
        std::fprintf(stderr, "message %s: %s\n", qPrintable(request.id), qPrintable(request.text));
        return request.buttons == MessageButtons::Ok || request.buttons == MessageButtons::OkCancel
                   ? MessageAnswer::Ok
                   : MessageAnswer::Yes;
    }
    int showModal(const QString& id, QDialog& dialog) override {
        if (id == "html.outputDialog") {
            output_.selectFolder(QString::fromStdString(request_.folder));
            output_.setHtmlName(QString::fromStdString(request_.name));
            output_.bOK->click();
        } else if (id == "html.options") {
            if (request_.hrefMode >= 0)
                options_.rgHREF->item(request_.hrefMode)->click();
            if (request_.imgMode >= 0)
                options_.rgIMG->item(request_.imgMode)->click();
            options_.pcOptions->setCurrentIndex(1);
            if (request_.frames && !options_.cbFrames->isChecked())
                options_.cbFrames->click();
            options_.bOK2->click();
        } else {
            dialog.accept();
        }
        return dialog.result();
    }

private:
    const Request& request_;
    GalleryLocationDialog& output_;
    GalleryOptionsDialog& options_;
};

bool parse(int argc, char** argv, Request& request) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (arg == "--input")
            request.input = value();
        else if (arg == "--output")
            request.output = value();
        else if (arg == "--folder")
            request.folder = value();
        else if (arg == "--name")
            request.name = value();
        else if (arg == "--href-mode")
            request.hrefMode = std::stoi(value());
        else if (arg == "--img-mode")
            request.imgMode = std::stoi(value());
        else if (arg == "--frames")
            request.frames = true;
        else
            request.files.push_back(arg);
    }
    return !request.input.empty() && !request.output.empty() && !request.folder.empty() &&
           !request.files.empty();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Request request;
    if (!parse(argc, argv, request)) {
        std::fprintf(stderr, "usage: gallery-through-dialogs --input DIR --output DIR --folder "
                             "HTMLDIR [--name NAME] [--href-mode N] [--img-mode N] [--frames] "
                             "FILE...\n");
        return 2;
    }

    JobSettings job;
    job.inputDir = request.input;
    job.outputDir = request.output;
    job.sourceFiles = request.files;
    job.thumbWidth = job.thumbHeight = "40";
    job.maintainRatio = true;
    BatchEngine engine;
    QuietHost host;
    if (!engine.startRun(job, host).complete)
        return 1;

    GalleryLocationDialog output;
    GalleryOptionsDialog options;
    HtmlEditorWindow editor;
    User user(request, output, options);
    setMessageService(&user);
    const QStringList written = runGalleryFlow(
        output, options, editor,
        {engine.galleryEntries(), QString::fromStdString(job.outputDir), thumbnailMaxSide(job)});
    setMessageService(nullptr);
    for (const QString& path : written)
        std::printf("%s\n", qPrintable(path));
    return written.isEmpty() ? 1 : 0;
}
