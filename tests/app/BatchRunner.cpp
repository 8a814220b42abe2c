#include "BatchRunner.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace pictorant::testing {

BatchProcess::BatchProcess(const std::string& cwd, const std::vector<std::string>& args,
                           const std::string& input) {
    writeBytes(capture_ / "in", input);
    std::vector<std::string> words = {PICTORANT_BATCH_EXE};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    const std::string in = capture_ / "in", out = capture_ / "out", err = capture_ / "err";
    pid_ = ::fork();
    if (pid_ == 0) {
        const int fds[] = {::open(in.c_str(), O_RDONLY),
                           ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
                           ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)};
        for (int i = 0; i < 3; ++i)
            if (fds[i] < 0 || ::dup2(fds[i], i) < 0)
                ::_exit(127);
        if (::chdir(cwd.c_str()) == 0)
            ::execv(argv[0], argv.data());
        ::_exit(127);
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

std::optional<BatchResult> BatchProcess::waitFor(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline)
            return std::nullopt; // killed by the destructor
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pid_ = -1;
    return BatchResult{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(capture_ / "out"),
                       readBytes(capture_ / "err")};
}

BatchResult runBatch(const std::string& cwd, const std::vector<std::string>& args,
                     const std::string& input) {
    BatchProcess process(cwd, args, input);
    return process.waitFor(60).value_or(BatchResult{-2, "", "did not end within a minute"});
}

std::map<std::string, std::string> folderSnapshot(const std::string& root) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const auto status = fs::symlink_status(entry.path());
        std::string& seen = entries[entry.path().lexically_relative(root).string()];
        if (fs::is_symlink(status))
            seen = "link to " + fs::read_symlink(entry.path()).string();
        else if (fs::is_regular_file(status))
            seen = std::to_string(std::hash<std::string>{}(readBytes(entry.path().string())));
        else
            seen = fs::is_directory(status) ? "folder" : "special";
    }
    return entries;
}

} // namespace pictorant::testing
