#pragma once

#include <filesystem>
#include <string>

namespace pictorant {

// Where Pictorant.ini lives: beside the executable when that folder already holds the
// file or can be written, else in $XDG_CONFIG_HOME/Pictorant/ (by default
// ~/.config/Pictorant/). The working directory plays no part.
std::filesystem::path settingsFilePath();

// The same decision for a given executable folder and configuration home; used by
// settingsFilePath() and by tests.
std::filesystem::path settingsFilePathFor(const std::filesystem::path& executableFolder,
                                          const std::filesystem::path& configHome);

// The root of the current drive: on this system always "/".
std::string driveRoot();

// A path names a folder when the system reports it as a directory.
bool folderExists(const std::string& path);

} // namespace pictorant
