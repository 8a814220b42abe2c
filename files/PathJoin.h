#pragma once

#include <string>
#include <string_view>

namespace pictorant {

// folder + "/" + name, without doubling a separator the folder already ends in. An
// empty folder leaves the name as it is (relative to the working folder).
inline std::string joinPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += name;
    return path;
}

} // namespace pictorant
