#include "ui/WizardRunHost.h"

#include "engine/BatchEngine.h"

#include <QSemaphore>
#include <QThread>
#include <memory>

namespace pictorant {

WizardRunHost::WizardRunHost(BatchEngine& engine, QObject* parent)
    : QObject(parent), engine_(engine) {}

void WizardRunHost::prepare() {
    stop_ = false;
    abandoned_ = false;
}

void WizardRunHost::abandon() {
    stop_ = true;
    abandoned_ = true;
}

void WizardRunHost::onWindowThread(std::function<void()> call) {
    if (QThread::currentThread() == thread()) {
        call();
        return;
    }
    if (abandoned_)
        return;
    auto done = std::make_shared<QSemaphore>();
    QMetaObject::invokeMethod(
        this,
        [call = std::move(call), done] {
            call();
            done->release();
        },
        Qt::QueuedConnection);
    // The window may go away while the call waits; then the run ends without it.
    while (!done->tryAcquire(1, 20))
        if (abandoned_)
            return;
}

void WizardRunHost::runStarting(int fileCount) {
    onWindowThread([this, fileCount] { emit starting(fileCount); });
}

void WizardRunHost::setProgressLine(const std::string& text) {
    onWindowThread([this, line = QString::fromStdString(text)] { emit progressLine(line); });
}

void WizardRunHost::setProgressMax(int maximum) {
    onWindowThread([this, maximum] { emit progressMax(maximum); });
}

void WizardRunHost::setProgressPosition(int position) {
    onWindowThread([this, position] { emit progressPosition(position); });
}

void WizardRunHost::showMessage(RunMessage id, const std::string& text) {
    onWindowThread([this, id = messageId(id), line = QString::fromStdString(text)] {
        emit message(id, line);
    });
}

void WizardRunHost::takeStopRequest() {
    // An empty call queued behind whatever the window has waiting: once it has run, a
    // Cancel pressed before it has set the stop flag.
    onWindowThread([] {});
    if (stop_)
        engine_.requestStop();
}

void WizardRunHost::rereadPanes() {
    onWindowThread([this] { emit panesChanged(); });
}

void WizardRunHost::runFinished(const std::string& closingLine, bool complete) {
    onWindowThread([this, line = QString::fromStdString(closingLine), complete] {
        emit finished(line, complete);
    });
}

void WizardRunHost::fileWarned(const std::string& name, const std::string& text) {
    onWindowThread(
        [this, line = QString::fromStdString(warningLine(name, text))] { emit warning(line); });
}

QString WizardRunHost::messageId(RunMessage id) {
    switch (id) {
    case RunMessage::ErrorDuringProcessing:
        return QStringLiteral("errorDuringProcessing");
    case RunMessage::DuplicateName:
        return QStringLiteral("duplicateName");
    case RunMessage::CouldNotOpen:
        return QStringLiteral("couldNotOpen");
    case RunMessage::SourceClash:
        return QStringLiteral("sourceClash");
    case RunMessage::ThumbSizeRefused:
        return QStringLiteral("thumbSizeRefused");
    }
    return QString();
}

} // namespace pictorant
