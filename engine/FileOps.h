#pragma once

// File system steps of the runs. Internal to the engine (and its tests).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace pictorant {

// A file operation the system refused; what() names the operation, the path and why.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The size in bytes of a file (any attributes), or 0 when it cannot be looked up.
std::int64_t fileSize(const std::string& path);

// Whether anything has this path (a dangling link counts: it would be written through).
bool pathExists(const std::string& path);

// Whether two paths name the same file.
bool sameFile(const std::string& a, const std::string& b);

// Throws FileError when a built name would leave its folder.
void checkPlainName(const std::string& name);

enum class RenameResult { Renamed, TargetExists };
// Renames within a folder, never replacing a file: atomic, so no other process can slip
// a file in between a test and the rename. Throws FileError for any other refusal.
RenameResult renameNoReplace(const std::string& from, const std::string& to);

// The copy's buffer size: the copy moves this many bytes per read and write.
inline constexpr std::size_t kCopyChunk = 2048;
// Copies the bytes of `source` into a new file at `target` through the safe writer,
// kCopyChunk bytes per read; `onChunk` sees each read's size. A source that is not a
// regular file is refused before anything is read. Throws FileError or SafeWriteError;
// after a failure the target is as it was.
void copyFileBytes(const std::string& source, const std::string& target,
                   const std::function<void(std::size_t)>& onChunk = {});

} // namespace pictorant
