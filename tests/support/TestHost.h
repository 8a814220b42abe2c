#pragma once

#include "engine/BatchEngine.h"
#include "engine/RunHost.h"
#include "engine/RunState.h"
#include "tests/support/FileFaults.h"

#include <memory>
#include <string>
#include <vector>

namespace pictorant::testing {

// Records what a run shows, and asks for a stop once the bar reaches `stopAt`.
class TestHost : public RunHost {
public:
    explicit TestHost(RunState& state, int stopAt = -1) : state_(state), stopAt_(stopAt) {}

    void setProgressLine(const std::string& text) override { progressLines.push_back(text); }
    void setProgressMax(int maximum) override { barMax = maximum; }
    void setProgressPosition(int position) override { bar.push_back(position); }
    void showMessage(RunMessage id, const std::string& text) override {
        messageIds.push_back(id);
        messages.push_back(text);
    }
    void takeStopRequest() override {
        if (stopAt_ >= 0 && !bar.empty() && bar.back() == stopAt_)
            requestStop(state_);
    }
    void rereadPanes() override { ++paneRereads; }
    void noteFailure(const std::string& detail) override { failures.push_back(detail); }
    void fileSkipped(const std::string& targetName) override { skipped.push_back(targetName); }
    void fileWarned(const std::string& name, const std::string& text) override {
        warnings.push_back(warningLine(name, text));
    }
    void fileFailed(const std::string& name, const std::string& why) override {
        failedFiles.push_back(name + ": " + why);
    }

    std::vector<std::string> progressLines, messages, failures, skipped, warnings, failedFiles;
    std::vector<RunMessage> messageIds;
    std::vector<int> bar;
    int barMax = -1;
    int paneRereads = 0;

private:
    RunState& state_;
    int stopAt_;
};

// A job from folder `in` to folder `out`, run through startRun by go(); the host of the
// last run stays to be looked at.
struct RunSetup {
    RunSetup() {
        job.inputDir = in.str();
        job.outputDir = out.str();
    }
    RunOutcome go(int stopAt = -1) {
        host = std::make_unique<TestHost>(state, stopAt);
        return startRun(job, state, *host, workspace);
    }

    ScratchFolder in, out;
    JobSettings job;
    RunState state;
    PictureWorkspace workspace;
    std::unique_ptr<TestHost> host;
};

} // namespace pictorant::testing
