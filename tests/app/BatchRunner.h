#pragma once

#include "support/FileFaults.h"

#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace pictorant::testing {

struct BatchResult {
    int status = -1; // exit status; -1 when the process ended by a signal
    std::string out; // standard output
    std::string err; // standard error
};

// pictorant-batch started with `args` in the folder `cwd`, standard input holding
// `input`, running while the test looks at it or signals it. A process still running
// when this ends is killed.
class BatchProcess {
public:
    BatchProcess(const std::string& cwd, const std::vector<std::string>& args,
                 const std::string& input = {});
    ~BatchProcess();
    BatchProcess(const BatchProcess&) = delete;
    BatchProcess& operator=(const BatchProcess&) = delete;

    void signal(int signalNumber) const;
    std::string errorSoFar() const { return readBytes(capture_ / "err"); }
    // The result once the process has ended, waiting at most `seconds`; nothing when it
    // is still running then (it is killed, so a hanging tool never hangs the test).
    std::optional<BatchResult> waitFor(double seconds);

private:
    ScratchFolder capture_;
    pid_t pid_ = -1;
};

// Runs pictorant-batch to its end, at most a minute.
BatchResult runBatch(const std::string& cwd, const std::vector<std::string>& args,
                     const std::string& input = {});

// What a folder holds, deep, by relative name: files by their bytes, links as
// "link to " + target, anything else by its kind.
std::map<std::string, std::string> folderSnapshot(const std::string& root);

} // namespace pictorant::testing
