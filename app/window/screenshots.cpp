// pictorant-screenshots: builds the program's windows, walks the wizard over a few
// pictures made here, and saves one PNG per page into the folder given as argument.
// Run it under a virtual display (scripts/screenshots.sh).

#include "ui/AltMnemonics.h"
#include "ui/FilePane.h"
#include "ui/MainWizard.h"
#include "ui/MessageService.h"
#include "ui/ProgramWindows.h"
#include "ui/SplashScreen.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColor>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

using namespace pictorant;

// Answers every question with its first positive button, so the walk never blocks.
class AnsweringService : public MessageService {
public:
    MessageAnswer ask(const MessageRequest& request) override {
        std::printf("message %s: %s\n", qPrintable(request.id), qPrintable(request.text));
        return request.buttons == MessageButtons::YesNo ||
                       request.buttons == MessageButtons::YesNoCancel
                   ? MessageAnswer::Yes
                   : MessageAnswer::Ok;
    }
    int showModal(const QString&, QDialog&) override { return QDialog::Accepted; }
};

void settle(int milliseconds = 300) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool waitFor(const std::function<bool()>& ready, int milliseconds = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!ready() && timer.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return ready();
}

void makePictures(const QString& folder) {
    const QColor colours[] = {QColor(200, 60, 40), QColor(40, 140, 60), QColor(40, 80, 200),
                              QColor(220, 180, 40)};
    for (int i = 0; i < 4; ++i) {
        QImage image(640, 480, QImage::Format_RGB888);
        image.fill(colours[i]);
        QPainter p(&image);
        p.setPen(Qt::white);
        p.setBrush(colours[(i + 1) % 4]);
        p.drawEllipse(QRect(120, 80, 400, 320));
        p.end();
        const QString name = QStringLiteral("%1/Holiday%2.jpg").arg(folder).arg(i + 1);
        if (!image.save(name, "JPG", 90))
            image.save(QStringLiteral("%1/Holiday%2.bmp").arg(folder).arg(i + 1), "BMP");
    }
}

// Presses a control of the wizard, found by its design name.
void click(QWidget& window, const char* name) {
    if (auto* button = window.findChild<QAbstractButton*>(QString::fromLatin1(name)))
        button->click();
}

bool save(QWidget& window, const QString& path) {
    QScreen* screen = window.screen();
    QPixmap shot = screen ? screen->grabWindow(window.winId()) : QPixmap();
    if (shot.isNull() || shot.width() < window.width() / 2)
        shot = window.grab();
    const bool ok = shot.save(path, "PNG");
    std::printf("%s %s\n", ok ? "saved" : "could not save", qPrintable(path));
    return ok;
}

// A dark desktop palette, as a dark desktop theme hands the program.
QPalette darkPalette() {
    QPalette p;
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::AlternateBase})
        p.setColor(role, QColor(45, 45, 48));
    for (auto role : {QPalette::Base, QPalette::ToolTipBase})
        p.setColor(role, QColor(30, 30, 30));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                      QPalette::ToolTipText, QPalette::HighlightedText}) {
        p.setColor(role, QColor(230, 230, 230));
        p.setColor(QPalette::Disabled, role, QColor(120, 120, 120));
    }
    p.setColor(QPalette::Highlight, QColor(60, 110, 180));
    return p;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    setProgramIdentity(QStringLiteral("screenshots"));
    underlineMnemonicsWhileAltHeld();
    if (argc < 2) {
        std::fprintf(stderr, "usage: pictorant-screenshots <folder for the PNG files> [dark]\n");
        return 2;
    }
    if (argc > 2 && QByteArray(argv[2]) == "dark")
        QApplication::setPalette(darkPalette());
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    AnsweringService answers;
    setMessageService(&answers);

    QTemporaryDir work;
    const QString pics = work.path() + QStringLiteral("/Pics");
    QDir().mkpath(pics);
    makePictures(pics);

    bool ok = true;
    {
        SplashScreen splash;
        splash.show();
        settle(500);
        ok &= save(splash, out + QStringLiteral("/splash.png"));
    }

    ProgramWindows windows((work.path() + QStringLiteral("/Pictorant.ini")).toStdString());
    MainWizard& form = windows.main();
    form.show();
    form.sourcePane().setFolder(pics);
    waitFor(
        [&] { return form.sourcePane().isListLoaded() && form.sourcePane().entryCount() >= 4; });
    click(form, "bSelAll");
    settle();
    ok &= save(form, out + QStringLiteral("/1-input-file-selection.png"));

    form.targetPane().setFolder(pics);
    click(form, "bNxt1");
    form.targetPane().folderBox()->setText(pics + QStringLiteral("/thumbs"));
    settle();
    ok &= save(form, out + QStringLiteral("/2-output-file-options.png"));

    click(form, "bNxt2");
    settle();
    ok &= save(form, out + QStringLiteral("/3-thumbnail-options.png"));

    click(form, "bNxt3");
    settle();
    ok &= save(form, out + QStringLiteral("/4-confirm-selections.png"));

    click(form, "bGO");
    settle(500);
    ok &= save(form, out + QStringLiteral("/5-processing.png"));

    setMessageService(nullptr);
    return ok ? 0 : 1;
}
