#include "app/batch/StopSignals.h"

#include "files/SafeFile.h"

#include <csignal>
#include <unistd.h>

namespace pictorant::batch {

namespace {

volatile std::sig_atomic_t runInProgress = 0;
volatile std::sig_atomic_t stopSignals = 0;

// Only async-signal-safe calls here: write, the safe writer's own clean-up, _exit.
extern "C" void onStopSignal(int signal) {
    if (runInProgress && stopSignals == 0) {
        stopSignals = 1;
        static const char note[] =
            "pictorant-batch: stopping after the current file (once more to stop at once)\n";
        [[maybe_unused]] const auto written = ::write(STDERR_FILENO, note, sizeof note - 1);
        return;
    }
    removeTemporaryFilesNow();
    ::_exit(128 + signal);
}

} // namespace

void installStopSignalHandlers() {
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    // One handler at a time: a SIGTERM arriving inside the SIGINT handler waits.
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    // The first signal only sets a flag; the file in hand must not fail on EINTR.
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

RunStopSignals::RunStopSignals() {
    stopSignals = 0;
    runInProgress = 1;
}

RunStopSignals::~RunStopSignals() {
    runInProgress = 0;
}

bool RunStopSignals::stopRequested() {
    return stopSignals != 0;
}

} // namespace pictorant::batch
