#pragma once

#include <filesystem>
#include <string>

namespace pictorant {

// Where Pictorant.ini lives: beside the executable only when a Pictorant.ini already
// stands there (a portable copy), else in $XDG_CONFIG_HOME/Pictorant/ (by default
// ~/.config/Pictorant/), whose folder is made when missing. The file is never created
// beside an executable. The working directory plays no part.
std::filesystem::path settingsFilePath();

// The same decision for a given executable folder and configuration home; used by
// settingsFilePath() and by tests.
std::filesystem::path settingsFilePathFor(const std::filesystem::path& executableFolder,
                                          const std::filesystem::path& configHome);

// Where the program keeps what it records of the user's last actions (the rename
// journal, the trash record): $XDG_STATE_HOME/Pictorant/, by default
// ~/.local/state/Pictorant/. Not made here; writers make it when they need it.
std::filesystem::path userStateFolder();

// Where a file of the program's read-only data (the help document) lies: in
// ../share/pictorant/ from the executable's folder, which is <prefix>/share/pictorant/
// for an installed program in <prefix>/bin/ and build/share/pictorant/ for one in
// build/app/; else beside the executable (a copy carried with its data). The first that
// exists; when neither does, the share/ location, so a message can say where it looked.
std::filesystem::path programDataFile(const std::filesystem::path& executableFolder,
                                      const std::string& name);

// The root of the current drive: on this system always "/".
std::string driveRoot();

// A path names a folder when the system reports it as a directory.
bool folderExists(const std::string& path);

} // namespace pictorant
