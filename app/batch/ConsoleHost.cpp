#include "app/batch/ConsoleHost.h"

#include "app/batch/StopSignals.h"

#include <ostream>

namespace pictorant::batch {

ProgressDisplay progressDisplayFor(bool quiet, bool progress, bool errorIsTerminal) {
    if (quiet)
        return ProgressDisplay::Hidden;
    return progress || errorIsTerminal ? ProgressDisplay::InPlace : ProgressDisplay::Hidden;
}

std::string failureSummary(int failed, int warnings) {
    return std::to_string(failed) + (failed == 1 ? " file failed, " : " files failed, ") +
           std::to_string(warnings) + (warnings == 1 ? " warning" : " warnings");
}

ConsoleHost::ConsoleHost(BatchEngine& engine, ProgressDisplay display, std::ostream& err)
    : engine_(engine), display_(display), err_(err) {}

ConsoleHost::~ConsoleHost() {
    clearProgress();
}

void ConsoleHost::setProgressLine(const std::string& text) {
    if (display_ == ProgressDisplay::Hidden || text == shown_)
        return;
    // Back to the start of the line, the new text, blanks over what is left of the old.
    std::string line = "\r" + text;
    if (shown_.size() > text.size())
        line += std::string(shown_.size() - text.size(), ' ');
    err_ << line << std::flush;
    shown_ = text;
}

void ConsoleHost::clearProgress() {
    if (shown_.empty())
        return;
    err_ << '\r' << std::string(shown_.size(), ' ') << '\r' << std::flush;
    shown_.clear();
}

void ConsoleHost::say(const std::string& line) {
    clearProgress();
    err_ << line << '\n' << std::flush;
}

void ConsoleHost::showMessage(RunMessage, const std::string& text) {
    say(text);
}

void ConsoleHost::takeStopRequest() {
    if (RunStopSignals::stopRequested())
        engine_.requestStop();
}

void ConsoleHost::noteFailure(const std::string& detail) {
    say("pictorant-batch: " + detail);
}

void ConsoleHost::fileSkipped(const std::string& targetName) {
    say("skipped " + targetName + ": exists");
}

void ConsoleHost::fileFailed(const std::string& name, const std::string& why) {
    ++failures_;
    say("pictorant-batch: " + name + ": " + why);
}

void ConsoleHost::fileWarned(const std::string& name, const std::string& text) {
    ++warnings_;
    say(warningLine(name, text));
}

} // namespace pictorant::batch
