#pragma once

#include <string>

namespace pictorant {

// The messages a run shows, each with a stable id.
enum class RunMessage {
    ErrorDuringProcessing, // "Error during processing!"
    DuplicateName,         // the rename run met a taken name
    CouldNotOpen,          // "Could not open " + name
    SourceClash,           // the plan refused the run: a target is one of its sources
    ThumbSizeRefused,      // a thumbnail size too small or too large, before the first
                           // file or at the file a forced side would blow up
};

// What a run needs from whoever shows it: the wizard, the command-line tool, a test.
// Every call happens on the thread that called startRun.
class RunHost {
public:
    virtual ~RunHost() = default;

    // A run over `fileCount` files is about to start.
    virtual void runStarting(int /*fileCount*/) {}
    // The progress line, e.g. "3 of 12".
    virtual void setProgressLine(const std::string& text) = 0;
    virtual void setProgressMax(int maximum) = 0;
    virtual void setProgressPosition(int position) = 0;
    // A message the user must acknowledge before the run goes on.
    virtual void showMessage(RunMessage id, const std::string& text) = 0;
    // Where a stop request reaches a run: the host calls requestStop on the run state
    // if one is pending. A run calls it between files, never while writing one.
    virtual void takeStopRequest() = 0;
    // Both file panes read their folders again.
    virtual void rereadPanes() = 0;
    // The run is over, with its closing line; `complete` when nothing stopped or failed.
    virtual void runFinished(const std::string& /*closingLine*/, bool /*complete*/) {}
    // The cause of a failure that the user only sees as "Error during processing!" or
    // "Could not open ..."; a host may log it.
    virtual void noteFailure(const std::string& /*detail*/) {}
    // A target that exists was kept because overwrite is off.
    virtual void fileSkipped(const std::string& /*targetName*/) {}
    // Source `name` was processed, but its data was damaged: `text` says how, e.g.
    // "data ends early; the rest is grey". Shown as one line "name: text".
    virtual void fileWarned(const std::string& /*name*/, const std::string& /*text*/) {}
    // A run that keeps going (JobSettings::keepGoing) met a file it could not do: the
    // source's name and why. The run goes on with the next file.
    virtual void fileFailed(const std::string& /*name*/, const std::string& /*why*/) {}
};

// The line a host shows for RunHost::fileWarned.
inline std::string warningLine(const std::string& name, const std::string& text) {
    return name + ": " + text;
}

// The progress line shown before file k (counted from 1) of n: "k of n".
inline std::string progressText(int k, int n) {
    return std::to_string(k) + " of " + std::to_string(n);
}

} // namespace pictorant
