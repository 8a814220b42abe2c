#include "engine/FileOps.h"

#include "files/SafeFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pictorant {

namespace {

[[noreturn]] void fail(const std::string& what, const std::string& path, int error) {
    throw FileError(what + " " + path + ": " + std::strerror(error));
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

std::int64_t fileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return 0;
    return static_cast<std::int64_t>(st.st_size);
}

bool pathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

void checkPlainName(const std::string& name) {
    if (name.find('/') != std::string::npos || name.find('\0') != std::string::npos)
        throw FileError("Invalid file name " + name);
}

RenameResult renameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return RenameResult::Renamed;
    int error = errno;
    if (error == EEXIST)
        return RenameResult::TargetExists;
    if (error == EINVAL || error == ENOSYS) {
        // A file system without the no-replace flag: a hard link is just as atomic about
        // an existing target.
        if (::link(from.c_str(), to.c_str()) == 0) {
            if (::unlink(from.c_str()) != 0) {
                error = errno;
                ::unlink(to.c_str());
                fail("Cannot rename", from, error);
            }
            return RenameResult::Renamed;
        }
        error = errno;
        if (error == EEXIST)
            return RenameResult::TargetExists;
    }
    fail("Cannot rename", from, error);
}

void copyFileBytes(const std::string& source, const std::string& target,
                   const std::function<void(std::size_t)>& onChunk) {
    const ReadableFile file = openRegularFile(source);
    if (file.error != 0)
        throw FileError("Cannot open " + source + ": " + readErrorText(file.error));
    Fd in(file.fd);
    SafeFileWriter out(target);
    char buffer[kCopyChunk];
    for (;;) {
        ssize_t got = ::read(in.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            fail("Cannot read", source, errno);
        }
        if (got == 0)
            break;
        if (onChunk)
            onChunk(static_cast<std::size_t>(got));
        out.write(buffer, static_cast<std::size_t>(got));
    }
    out.commit();
}

} // namespace pictorant
