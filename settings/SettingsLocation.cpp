#include "SettingsLocation.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace pictorant {

std::filesystem::path settingsFilePathFor(const std::filesystem::path& executableFolder,
                                          const std::filesystem::path& configHome) {
    const auto beside = executableFolder / "Pictorant.ini";
    std::error_code ec;
    if (!executableFolder.empty() &&
        (std::filesystem::exists(beside, ec) || ::access(executableFolder.c_str(), W_OK) == 0))
        return beside;
    return configHome / "Pictorant" / "Pictorant.ini";
}

std::filesystem::path settingsFilePath() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    std::filesystem::path configHome;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        configHome = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        configHome = std::filesystem::path(home) / ".config";
    else
        configHome = "/tmp";
    const auto folder = ec ? std::filesystem::path() : exe.parent_path();
    auto result = settingsFilePathFor(folder, configHome);
    if (result.parent_path() != folder)
        std::filesystem::create_directories(result.parent_path(), ec);
    return result;
}

std::string driveRoot() {
    return "/";
}

bool folderExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace pictorant
