#pragma once

#include "../settings/TempFolder.h"

#include <filesystem>
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

// Runs pictorant-batch with `args` in the folder `cwd` and waits for it. Standard input
// holds `input` (empty by default).
BatchResult runBatch(const std::filesystem::path& cwd, const std::vector<std::string>& args,
                     const std::string& input = {});

// pictorant-batch started in `cwd`, running while the test looks at it or signals it.
class BatchProcess {
public:
    BatchProcess(const std::filesystem::path& cwd, const std::vector<std::string>& args,
                 const std::string& input = {});
    // Kills and reaps a process that is still running.
    ~BatchProcess();
    BatchProcess(const BatchProcess&) = delete;
    BatchProcess& operator=(const BatchProcess&) = delete;

    void signal(int signalNumber) const;
    // Standard error as the process has written it so far.
    std::string errorSoFar() const { return readFile(capture_ / "err"); }
    // The result once the process has ended, waiting at most `seconds`; nothing when it
    // is still running then (it is killed, so a hanging tool never hangs the test).
    std::optional<BatchResult> waitFor(double seconds);
    // Until the end, however long.
    BatchResult wait();

private:
    BatchResult collect(int waitStatus);

    TempFolder capture_;
    pid_t pid_ = -1;
};

// What a folder holds, deep, by relative name: regular files by size and hash of their bytes,
// links as "link to " + target, folders as "folder", anything else as "special" (a FIFO
// is never opened).
std::map<std::string, std::string> folderSnapshot(const std::filesystem::path& root);

// XDG_STATE_HOME set to a fresh folder while it lives, for this process and the tools it
// starts: the journal of a rename run goes there, not to the user's state folder.
class ScopedStateFolder {
public:
    ScopedStateFolder();
    ~ScopedStateFolder();
    ScopedStateFolder(const ScopedStateFolder&) = delete;
    ScopedStateFolder& operator=(const ScopedStateFolder&) = delete;
    const std::filesystem::path& path() const { return folder_.path(); }

private:
    TempFolder folder_;
    std::optional<std::string> old_;
};

} // namespace pictorant::testing
