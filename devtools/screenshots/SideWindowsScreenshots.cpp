// side-windows-screenshots: the preview window, the deletion confirmation, the About box
// (at rest and with its notice scrolled in) and the help window, saved as PNG files into
// the folder given as argument. Run it under a virtual display:
// xvfb-run -a side-windows-screenshots docs/screenshots

#include "devtools/screenshots/Screenshot.h"
#include "imaging/Picture.h"
#include "ui/AboutBox.h"
#include "ui/DeleteFilesDialog.h"
#include "ui/HelpWindow.h"
#include "ui/PreviewBox.h"
#include "ui/PreviewCommands.h"
#include "ui/PreviewWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

namespace {

using namespace pictorant;

using screenshots::save;
using screenshots::settle;

// A holiday picture of 640 x 480, written as a BMP through the program's own writer.
void makePicture(const QString& path) {
    QImage image(640, 480, QImage::Format_BGR888);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(70, 130, 220));
    sky.setColorAt(1, QColor(200, 225, 250));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(250, 210, 60));
    p.drawEllipse(QPoint(520, 90), 45, 45);
    p.setBrush(QColor(40, 120, 170));
    p.drawRect(0, 300, 640, 180);
    p.setBrush(QColor(230, 200, 140));
    p.drawEllipse(QRect(-100, 380, 840, 260));
    p.end();
    Raster raster(640, 480);
    for (int y = 0; y < 480; ++y)
        std::memcpy(raster.scanLine(y), image.constScanLine(y), raster.bytesPerLine());
    Picture picture(PictureKind::Bitmap);
    picture.setBitmap(raster);
    WritePicture(picture, path.toStdString());
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: side-windows-screenshots <folder for the PNG files>\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    QTemporaryDir work;
    const QString picture = work.path() + "/Beach.bmp";
    makePicture(picture);

    bool ok = true;
    QLabel box;
    PreviewWindow preview;
    if (!preview::loadFromFileList(PreviewBox::attach(&box), preview, 1, picture, nullptr))
        return 1;
    preview::openWindow(PreviewBox::attach(&box), preview);
    settle();
    ok &= save(preview, out + "/preview-window.png");
    preview.close();

    DeleteFilesDialog confirm;
    confirm.findChild<QLabel*>("lNumDel")->setText(deletionCountText(3));
    confirm.show();
    settle();
    ok &= save(confirm, out + "/confirm-deletion.png");
    confirm.hide();

    AboutBox about;
    about.show();
    settle();
    ok &= save(about, out + "/about-box.png");
    about.JvImage1MouseEnter();
    // Half a second of wait, then about 50 steps: the notice is in view.
    settle(AboutBox::enterDelayMs + 50 * AboutBox::scrollIntervalMs);
    ok &= save(about, out + "/about-box-scrolled.png");
    about.hide();

    HelpWindow help;
    help.openFile(QCoreApplication::applicationDirPath() + "/" + helpFileName);
    help.show();
    settle();
    ok &= save(help, out + "/help-window.png");
    return ok ? 0 : 1;
}
