#include "settings/SettingsLocation.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pictorant {

namespace {

// A base folder of the user's: the variable when it holds an absolute path (a relative
// one is invalid and ignored, as the base-directory rules say), else `fallback` under
// the home folder.
std::filesystem::path userBaseFolder(const char* variable, const char* fallback) {
    if (const char* xdg = std::getenv(variable); xdg && *xdg == '/')
        return xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / fallback;
    if (const passwd* user = ::getpwuid(::geteuid()); user && user->pw_dir && *user->pw_dir)
        return std::filesystem::path(user->pw_dir) / fallback;
    return "/tmp";
}

} // namespace

std::filesystem::path userStateFolder() {
    return userBaseFolder("XDG_STATE_HOME", ".local/state") / "Pictorant";
}

std::filesystem::path settingsFilePathFor(const std::filesystem::path& executableFolder,
                                          const std::filesystem::path& configHome) {
    const auto beside = executableFolder / "Pictorant.ini";
    // A writable program folder is no reason to settle there: an installed program run
    // once as root would leave a file that no other user can ever save.
    std::error_code ec;
    if (!executableFolder.empty() && std::filesystem::is_regular_file(beside, ec))
        return beside;
    return configHome / "Pictorant" / "Pictorant.ini";
}

std::filesystem::path settingsFilePath() {
    std::error_code ec;
    auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    const std::filesystem::path configHome = userBaseFolder("XDG_CONFIG_HOME", ".config");
    const auto folder = ec ? std::filesystem::path() : exe.parent_path();
    auto result = settingsFilePathFor(folder, configHome);
    if (result.parent_path() != folder)
        std::filesystem::create_directories(result.parent_path(), ec);
    return result;
}

std::filesystem::path programDataFile(const std::filesystem::path& executableFolder,
                                      const std::string& name) {
    const std::filesystem::path shared =
        (executableFolder / ".." / "share" / "pictorant" / name).lexically_normal();
    const std::filesystem::path beside = executableFolder / name;
    std::error_code error;
    if (std::filesystem::is_regular_file(shared, error))
        return shared;
    if (std::filesystem::is_regular_file(beside, error))
        return beside;
    return shared;
}

std::string driveRoot() {
    return "/";
}

bool folderExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace pictorant
