#pragma once

#include "engine/RunHost.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>

namespace pictorant {

class BatchEngine;

// The run host of the window program. The engine runs on a worker thread and calls the
// host there; each call is handed to the window's thread as a queued call, and the
// worker waits until it has been handled there. The signals below are therefore
// emitted on the window's thread, in the order of the engine's calls, so the Processing
// page follows the run file by file and a message box holds the run as it stands.
class WizardRunHost : public QObject, public RunHost {
    Q_OBJECT
public:
    explicit WizardRunHost(BatchEngine& engine, QObject* parent = nullptr);

    // A new run is about to start: no stop asked for yet.
    void prepare();
    // Cancel or the close box: the run stops after the file in hand.
    void requestStop() { stop_ = true; }
    // The window is going away: the run stops, and no call waits for the window again.
    void abandon();

    void runStarting(int fileCount) override;
    void setProgressLine(const std::string& text) override;
    void setProgressMax(int maximum) override;
    void setProgressPosition(int position) override;
    void showMessage(RunMessage id, const std::string& text) override;
    // Lets the window handle what is waiting for it (a Cancel click among it), then
    // passes a stop on to the engine.
    void takeStopRequest() override;
    void rereadPanes() override;
    void runFinished(const std::string& closingLine, bool complete) override;
    void fileWarned(const std::string& name, const std::string& text) override;

    // The message service's id of a run message.
    static QString messageId(RunMessage id);

signals:
    void starting(int fileCount);
    void progressLine(const QString& text);
    void progressMax(int maximum);
    void progressPosition(int position);
    void message(const QString& id, const QString& text);
    void warning(const QString& line);
    void panesChanged();
    void finished(const QString& closingLine, bool complete);

private:
    // Runs `call` on the window's thread and waits for it (not at all once abandoned).
    void onWindowThread(std::function<void()> call);

    BatchEngine& engine_;
    std::atomic<bool> stop_ = false;
    std::atomic<bool> abandoned_ = false;
};

} // namespace pictorant
