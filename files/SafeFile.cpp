#include "files/SafeFile.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pictorant {

namespace {

const char* stepText(SafeWriteError::Step step) {
    switch (step) {
    case SafeWriteError::Step::Create:
        return "Cannot create";
    case SafeWriteError::Step::Write:
        return "Cannot write";
    case SafeWriteError::Step::Replace:
        return "Cannot replace";
    }
    return "Cannot write";
}

// Temporary files in flight, kept where a signal handler can reach them without
// allocating or locking. A writer that finds no free slot still works; only an abort
// by signal would then leave its temporary file behind.
struct TempSlot {
    std::atomic<bool> taken{false};
    std::atomic<bool> ready{false};
    char path[PATH_MAX];
};
std::array<TempSlot, 64> tempSlots;

int registerTemp(const std::string& path) {
    if (path.size() >= PATH_MAX)
        return -1;
    for (int i = 0; i < int(tempSlots.size()); ++i) {
        bool expected = false;
        if (tempSlots[i].taken.compare_exchange_strong(expected, true)) {
            std::memcpy(tempSlots[i].path, path.c_str(), path.size() + 1);
            tempSlots[i].ready.store(true);
            return i;
        }
    }
    return -1;
}

void unregisterTemp(int slot) {
    if (slot < 0)
        return;
    tempSlots[slot].ready.store(false);
    tempSlots[slot].taken.store(false);
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string randomSuffix() {
    unsigned char bytes[6];
    if (::getrandom(bytes, sizeof bytes, 0) != ssize_t(sizeof bytes)) {
        static std::atomic<unsigned> counter{0};
        const unsigned value = unsigned(::getpid()) * 7919u + counter++;
        std::memcpy(bytes, &value, sizeof value);
        bytes[4] = bytes[5] = 0;
    }
    static const char digits[] = "0123456789abcdefghijklmnopqrstuv";
    std::string text;
    for (unsigned char b : bytes) {
        text += digits[b & 31];
        text += digits[(b >> 3) & 31];
    }
    return text;
}

// The file a Rewrite replaces, with its status; sets errno and returns false when it
// must be refused.
bool rewriteTarget(const std::string& path, std::string& real, struct stat& st) {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved))
        return false;
    real = resolved;
    if (::stat(real.c_str(), &st) != 0)
        return false;
    if (!S_ISREG(st.st_mode)) {
        errno = EINVAL;
        return false;
    }
    // access() lets root write anything; a mode without write bits is how a user marks
    // a file as not to be changed, so it holds for root too.
    if (::access(real.c_str(), W_OK) != 0 || (st.st_mode & 0222) == 0) {
        errno = EACCES;
        return false;
    }
    return true;
}

} // namespace

SafeWriteError::SafeWriteError(Step step, const std::string& path, int error)
    : std::runtime_error(std::string(stepText(step)) + " " + path + ": " + std::strerror(error)),
      step_(step), path_(path), error_(error) {}

std::string SafeWriteError::reason() const {
    return std::strerror(error_);
}

SafeFileWriter::SafeFileWriter(const std::string& path, WriteMode mode) : target_(path) {
    using Step = SafeWriteError::Step;
    if (nameOf(path).size() > NAME_MAX)
        throw SafeWriteError(Step::Create, path, ENAMETOOLONG);
    struct stat original {};
    if (mode == WriteMode::Rewrite && !rewriteTarget(path, target_, original))
        throw SafeWriteError(Step::Create, path, errno);

    // A short name of its own, so a long target name cannot make it too long; O_EXCL
    // with O_NOFOLLOW never opens anything that was there before.
    const std::string folder = folderOf(target_);
    for (int attempt = 0; fd_ < 0; ++attempt) {
        temp_ = folder + ".pictorant-" + randomSuffix() + ".tmp";
        // Known to the signal clean-up before it is made, so a signal right after the
        // create still removes it; unlinking a name not made yet costs nothing.
        slot_ = registerTemp(temp_);
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ < 0) {
            const int error = errno;
            unregisterTemp(slot_);
            slot_ = -1;
            temp_.clear();
            if (error != EEXIST || attempt == 16)
                throw SafeWriteError(Step::Create, path, error);
        }
    }

    if (mode == WriteMode::Rewrite) {
        // Root can hand the file back to its owner; anyone else keeps at least the
        // group where the system allows it. The mode goes last: a change of owner
        // clears the set-id bits.
        if (::fchown(fd_, original.st_uid, original.st_gid) != 0 &&
            ::fchown(fd_, uid_t(-1), original.st_gid) != 0) {
            // Neither can be kept: the file stays the writer's own.
        }
        if (::fchmod(fd_, original.st_mode & 07777) != 0) {
            const int error = errno;
            discard();
            throw SafeWriteError(Step::Create, path, error);
        }
    }
}

SafeFileWriter::~SafeFileWriter() {
    discard();
}

void SafeFileWriter::discard() noexcept {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
    unregisterTemp(slot_);
    slot_ = -1;
}

void SafeFileWriter::write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t put = ::write(fd_, bytes, size);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            discard();
            throw SafeWriteError(SafeWriteError::Step::Write, target_, error);
        }
        bytes += put;
        size -= std::size_t(put);
    }
}

void SafeFileWriter::commit() {
    using Step = SafeWriteError::Step;
    if (fd_ < 0)
        throw SafeWriteError(Step::Write, target_, EBADF);
    // Written blocks reach the disk before the name does, so a crash leaves the old file
    // or the new one, never an empty one.
    if (::fdatasync(fd_) != 0 && errno != EINVAL) {
        const int error = errno;
        discard();
        throw SafeWriteError(Step::Write, target_, error);
    }
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
        const int error = errno;
        discard();
        throw SafeWriteError(Step::Write, target_, error);
    }
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        discard();
        throw SafeWriteError(Step::Replace, target_, error);
    }
    temp_.clear();
    unregisterTemp(slot_);
    slot_ = -1;
}

void writeFileSafely(const std::string& path, std::string_view bytes, WriteMode mode) {
    SafeFileWriter writer(path, mode);
    writer.write(bytes);
    writer.commit();
}

int rewriteRefusal(const std::string& path) {
    std::string real;
    struct stat st {};
    return rewriteTarget(path, real, st) ? 0 : errno;
}

ReadableFile openRegularFile(const std::string& path) {
    ReadableFile file;
    struct stat st {};
    // Looked at before opening too: opening some devices already does something.
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        file.error = kNotRegularFile;
        return file;
    }
    file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0)
        file.error = errno;
    else if (!S_ISREG(st.st_mode))
        file.error = kNotRegularFile;
    if (file.error != 0) {
        if (file.fd >= 0)
            ::close(file.fd);
        file.fd = -1;
        return file;
    }
    file.size = std::int64_t(st.st_size);
    return file;
}

std::string readErrorText(int error) {
    return error == kNotRegularFile ? "Not a regular file" : std::strerror(error);
}

void removeTemporaryFilesNow() noexcept {
    for (TempSlot& slot : tempSlots)
        if (slot.ready.load())
            ::unlink(slot.path);
}

} // namespace pictorant
