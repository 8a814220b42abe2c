#pragma once

// How pictorant-batch shows a run: results on standard output, everything else on
// standard error. Progress is one line rewritten in place, shown when standard error is
// a terminal or --progress asks for it, never with --quiet; messages and errors are
// always printed, each on a line of its own.

#include "engine/BatchEngine.h"
#include "engine/RunHost.h"

#include <iosfwd>
#include <string>

namespace pictorant::batch {

enum class ProgressDisplay { Hidden, InPlace };

// Hidden with --quiet, in place with --progress, else in place on a terminal only.
ProgressDisplay progressDisplayFor(bool quiet, bool progress, bool errorIsTerminal);

// "1 file failed, 2 warnings": the counts a run that kept going ends with.
std::string failureSummary(int failed, int warnings);

class ConsoleHost : public RunHost {
public:
    ConsoleHost(BatchEngine& engine, ProgressDisplay display, std::ostream& err);
    ~ConsoleHost() override;

    void setProgressLine(const std::string& text) override;
    void setProgressMax(int) override {}
    void setProgressPosition(int) override {}
    void showMessage(RunMessage, const std::string& text) override;
    // Ctrl+C is this program's Cancel button: obeyed after the file in hand.
    void takeStopRequest() override;
    void rereadPanes() override {}
    void noteFailure(const std::string& detail) override;
    void fileSkipped(const std::string& targetName) override;
    void fileFailed(const std::string& name, const std::string& why) override;
    void fileWarned(const std::string& name, const std::string& text) override;
    void runFinished(const std::string&, bool) override { clearProgress(); }

    int failures() const { return failures_; }
    int warnings() const { return warnings_; }

private:
    // A message goes on a line of its own: the progress line is wiped first.
    void say(const std::string& line);
    void clearProgress();

    BatchEngine& engine_;
    ProgressDisplay display_;
    std::ostream& err_;
    std::string shown_; // the progress text on the line now; empty when none
    int failures_ = 0;
    int warnings_ = 0;
};

} // namespace pictorant::batch
