#pragma once

// Real file systems that fail: a tiny tmpfs that fills up, names the system refuses,
// and the checks every fault-injection test makes afterwards.

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pictorant::testing {

// A fresh folder under the system's temporary folder, removed with its content.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "pictorant-XXXXXX").string();
        path_ = ::mkdtemp(tmpl.data());
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// A tmpfs of `kilobytes` mounted on a scratch folder, so writes run out of space for
// real. Mounting needs root; skipReason() says why it is not there otherwise.
class TinyFileSystem {
public:
    explicit TinyFileSystem(int kilobytes) {
        const std::string options = "size=" + std::to_string(kilobytes) + "k";
        if (::geteuid() != 0)
            reason_ = "mounting a small tmpfs needs root";
        else if (::mount("tmpfs", folder_.str().c_str(), "tmpfs", 0, options.c_str()) != 0)
            reason_ = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
        else
            mounted_ = true;
    }
    ~TinyFileSystem() {
        if (mounted_)
            ::umount2(folder_.str().c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    const std::string& skipReason() const { return reason_; }
    std::string str() const { return folder_.str(); }
    std::string operator/(const std::string& name) const { return folder_ / name; }

private:
    ScratchFolder folder_;
    bool mounted_ = false;
    std::string reason_;
};

inline void writeBytes(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every name in a folder, sorted, so a test can see that nothing stray was left.
inline std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every file of a folder and its bytes, to see what a run changed and what it left.
inline std::map<std::string, std::string> snapshot(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const std::string& name : namesIn(folder))
        files[name] = readBytes(folder + "/" + name);
    return files;
}

// What lstat() says of a path: its mode, owner and inode (all zero when there is nothing).
inline struct stat statusOf(const std::string& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st;
}

// The message of the `Error` that `action` throws, or `success` when it throws none.
template <typename Error, typename Action>
std::string errorOf(Action action, const std::string& success = "loaded") {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return success;
}

// A file name of 256 bytes: one more than Linux file systems take.
inline std::string overlongName(const std::string& extension = ".jpg") {
    return std::string(256 - extension.size(), 'n') + extension;
}

} // namespace pictorant::testing
