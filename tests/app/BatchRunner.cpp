#include "BatchRunner.h"

#include "../settings/TempFolder.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pictorant::testing {

BatchResult runBatch(const std::filesystem::path& cwd, const std::vector<std::string>& args) {
    TempFolder capture;
    const std::string outPath = (capture / "out").string();
    const std::string errPath = (capture / "err").string();
    std::vector<std::string> argv0 = {PICTORANT_BATCH_EXE};
    argv0.insert(argv0.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argv0)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    BatchResult result;
    pid_t pid = fork();
    if (pid == 0) {
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || chdir(cwd.c_str()) != 0)
            _exit(127);
        dup2(out, 1);
        dup2(err, 2);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readFile(outPath);
    result.err = readFile(errPath);
    return result;
}

} // namespace pictorant::testing
