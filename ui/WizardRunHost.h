#pragma once

#include "engine/RunHost.h"

#include <QObject>
#include <QString>

namespace pictorant {

// The run host of the window program: turns the engine's calls into signals that the
// wizard's Processing page receives.
class WizardRunHost : public QObject, public RunHost {
    Q_OBJECT
public:
    explicit WizardRunHost(QObject* parent = nullptr) : QObject(parent) {}

    void runStarting(int fileCount) override { emit starting(fileCount); }
    void setProgressLine(const std::string& text) override {
        emit progressLine(QString::fromStdString(text));
    }
    void setProgressMax(int maximum) override { emit progressMax(maximum); }
    void setProgressPosition(int position) override { emit progressPosition(position); }
    void showMessage(RunMessage id, const std::string& text) override {
        emit message(messageId(id), QString::fromStdString(text));
    }
    void processEvents() override;
    void rereadPanes() override { emit panesChanged(); }
    void runFinished(const std::string& closingLine, bool complete) override {
        emit finished(QString::fromStdString(closingLine), complete);
    }

    // The message service's id of a run message.
    static QString messageId(RunMessage id);

signals:
    void starting(int fileCount);
    void progressLine(const QString& text);
    void progressMax(int maximum);
    void progressPosition(int position);
    void message(const QString& id, const QString& text);
    void panesChanged();
    void finished(const QString& closingLine, bool complete);
};

} // namespace pictorant
