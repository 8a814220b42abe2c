#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pictorant::testing {

struct BatchResult {
    int status = -1;
    std::string out; // standard output
    std::string err; // standard error
};

// Runs pictorant-batch with `args` in the folder `cwd` and waits for it.
BatchResult runBatch(const std::filesystem::path& cwd, const std::vector<std::string>& args);

} // namespace pictorant::testing
