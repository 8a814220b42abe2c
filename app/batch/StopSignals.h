#pragma once

// SIGINT and SIGTERM. Outside a run either one ends the program at once. During a run
// (while a RunStopSignals lives) the first asks the run to stop after the file in hand,
// as the window's Cancel does, and a second ends the program at once. An end by signal
// removes the temporary files of the writes in flight and exits with 128 + the signal
// (130 for SIGINT, 143 for SIGTERM).

namespace pictorant::batch {

// Installs the handlers; main calls it once before any command runs.
void installStopSignalHandlers();

class RunStopSignals {
public:
    RunStopSignals();
    ~RunStopSignals();
    RunStopSignals(const RunStopSignals&) = delete;
    RunStopSignals& operator=(const RunStopSignals&) = delete;

    // A signal came since this object was made: the run should stop.
    static bool stopRequested();
};

} // namespace pictorant::batch
