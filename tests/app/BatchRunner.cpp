#include "BatchRunner.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace pictorant::testing {

BatchProcess::BatchProcess(const std::filesystem::path& cwd, const std::vector<std::string>& args,
                           const std::string& input) {
    const std::string inPath = (capture_ / "in").string();
    writeFile(inPath, input);
    const std::string outPath = (capture_ / "out").string();
    const std::string errPath = (capture_ / "err").string();
    std::vector<std::string> argv0 = {PICTORANT_BATCH_EXE};
    argv0.insert(argv0.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argv0)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_ = fork();
    if (pid_ == 0) {
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = open(inPath.c_str(), O_RDONLY);
        if (in < 0 || out < 0 || err < 0 || chdir(cwd.c_str()) != 0)
            _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
}

BatchProcess::~BatchProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void BatchProcess::signal(int signalNumber) const {
    if (pid_ > 0)
        ::kill(pid_, signalNumber);
}

BatchResult BatchProcess::collect(int waitStatus) {
    pid_ = -1;
    BatchResult result;
    result.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    result.out = readFile(capture_ / "out");
    result.err = readFile(capture_ / "err");
    return result;
}

std::optional<BatchResult> BatchProcess::waitFor(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return collect(status);
}

BatchResult BatchProcess::wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    return collect(status);
}

std::map<std::string, std::string> folderSnapshot(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const fs::path& path = entry.path();
        const std::string name = fs::relative(path, root).string();
        const auto status = fs::symlink_status(path);
        if (fs::is_symlink(status))
            entries[name] = "link to " + fs::read_symlink(path).string();
        else if (fs::is_regular_file(status)) {
            // Size and hash: a failing comparison prints short lines, not whole pictures.
            const std::string bytes = readFile(path);
            entries[name] = "file of " + std::to_string(bytes.size()) + " bytes, hash " +
                            std::to_string(std::hash<std::string>{}(bytes));
        } else if (fs::is_directory(status))
            entries[name] = "folder";
        else
            entries[name] = "special";
    }
    return entries;
}

ScopedStateFolder::ScopedStateFolder() {
    if (const char* old = std::getenv("XDG_STATE_HOME"))
        old_ = old;
    ::setenv("XDG_STATE_HOME", folder_.str().c_str(), 1);
}

ScopedStateFolder::~ScopedStateFolder() {
    if (old_)
        ::setenv("XDG_STATE_HOME", old_->c_str(), 1);
    else
        ::unsetenv("XDG_STATE_HOME");
}

BatchResult runBatch(const std::filesystem::path& cwd, const std::vector<std::string>& args,
                     const std::string& input) {
    return BatchProcess(cwd, args, input).wait();
}

} // namespace pictorant::testing
