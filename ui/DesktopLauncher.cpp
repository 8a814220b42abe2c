#include "ui/DesktopLauncher.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

namespace pictorant {

namespace {

QString firstInstalled(const QStringList& programs) {
    for (const QString& program : programs) {
        const QString found = QStandardPaths::findExecutable(program);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

class DesktopServicesLauncher : public DesktopLauncher {
public:
    void openDocument(const QString& path) override {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
    void startPlainTextEditor(const QString& path) override {
        const QString program = firstInstalled(
            {"gedit", "gnome-text-editor", "kate", "mousepad", "xed", "pluma", "featherpad"});
        if (!program.isEmpty())
            QProcess::startDetached(program, path.isEmpty() ? QStringList{} : QStringList{path});
    }
    void startRichTextEditor() override {
        const QString office = firstInstalled({"libreoffice"});
        if (!office.isEmpty()) {
            QProcess::startDetached(office, {"--writer"});
            return;
        }
        const QString abiword = firstInstalled({"abiword"});
        if (!abiword.isEmpty())
            QProcess::startDetached(abiword, {});
    }
};

DesktopServicesLauncher desktopLauncher;
DesktopLauncher* currentLauncher = nullptr;

} // namespace

DesktopLauncher& launcher() {
    return currentLauncher ? *currentLauncher : desktopLauncher;
}

void setLauncher(DesktopLauncher* replacement) {
    currentLauncher = replacement;
}

} // namespace pictorant
