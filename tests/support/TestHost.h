#pragma once

#include "RunHost.h"
#include "RunState.h"

#include <string>
#include <vector>

namespace pictorant::testing {

// Records what a run shows and presses Cancel once the bar reaches `cancelAfter`.
class TestHost : public RunHost {
public:
    explicit TestHost(RunState& state, int cancelAfter = -1)
        : state_(state), cancelAfter_(cancelAfter) {}

    void runStarting(int fileCount) override { startedWith = fileCount; }
    void setProgressLine(const std::string& text) override { progressLines.push_back(text); }
    void setProgressMax(int maximum) override { barMax = maximum; }
    void setProgressPosition(int position) override { barPositions.push_back(position); }
    void showMessage(RunMessage id, const std::string& text) override {
        messageIds.push_back(id);
        messages.push_back(text);
    }
    void processEvents() override {
        ++eventPumps;
        if (cancelAfter_ >= 0 && !barPositions.empty() && barPositions.back() == cancelAfter_)
            requestStop(state_);
    }
    void rereadPanes() override { ++paneRereads; }
    void runFinished(const std::string& line, bool complete) override {
        closingLine = line;
        finishedComplete = complete;
    }
    void noteFailure(const std::string& detail) override { failures.push_back(detail); }
    void fileSkipped(const std::string& targetName) override { skipped.push_back(targetName); }
    void fileWarned(const std::string& name, const std::string& text) override {
        warnings.push_back(warningLine(name, text));
    }
    void fileFailed(const std::string& name, const std::string& why) override {
        failedFiles.push_back(name);
        failedWhy.push_back(why);
    }

    int bar() const { return barPositions.empty() ? 0 : barPositions.back(); }

    int startedWith = -1;
    std::vector<std::string> progressLines;
    int barMax = -1;
    std::vector<int> barPositions;
    std::vector<RunMessage> messageIds;
    std::vector<std::string> messages;
    int eventPumps = 0;
    int paneRereads = 0;
    std::string closingLine;
    bool finishedComplete = false;
    std::vector<std::string> failures;
    std::vector<std::string> skipped;
    std::vector<std::string> warnings;
    std::vector<std::string> failedFiles, failedWhy;

private:
    RunState& state_;
    int cancelAfter_;
};

} // namespace pictorant::testing
