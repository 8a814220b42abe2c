#pragma once

// Every file this program writes goes through SafeFileWriter: the bytes go to a new
// temporary file in the target's folder, which is flushed and then renamed over the
// target. A reader never sees a half-written file, a failure leaves the target as it
// was and no temporary file behind, and whatever stands at the target's name (a link,
// a FIFO) is replaced, never written through.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pictorant {

// A write that failed. what() is "<step> <path>: <system error text>", e.g.
// "Cannot write /pics/Thumb001.jpg: No space left on device".
class SafeWriteError : public std::runtime_error {
public:
    enum class Step {
        Create,  // the file could not be made (or may not be rewritten)
        Write,   // writing or flushing the bytes failed
        Replace, // the finished file could not take the target's name
    };
    SafeWriteError(Step step, const std::string& path, int error);

    Step step() const { return step_; }
    int error() const { return error_; }
    const std::string& path() const { return path_; }
    // The system's text for error(), e.g. "No space left on device".
    std::string reason() const;

private:
    Step step_;
    std::string path_;
    int error_;
};

enum class WriteMode {
    // A new file, or an output that replaces whatever stands at the name: the file gets
    // the mode a new file normally gets (0666 less the umask).
    NewFile,
    // The same document written again (a rotated picture, an edited page): a symbolic
    // link is followed and the file it names is rewritten; owner, group and mode are
    // kept. A file the user may not write, or whose mode has no write bit, is refused
    // with EACCES, also for root.
    Rewrite,
};

class SafeFileWriter {
public:
    // Makes the temporary file. Throws SafeWriteError (Create), also when the target's
    // name is longer than the file system allows or a Rewrite target is refused.
    explicit SafeFileWriter(const std::string& path, WriteMode mode = WriteMode::NewFile);
    // Removes the temporary file unless commit() succeeded.
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Appends bytes. Throws SafeWriteError (Write).
    void write(const void* data, std::size_t size);
    void write(std::string_view bytes) { write(bytes.data(), bytes.size()); }
    // Flushes to disk, closes and renames into place. Throws SafeWriteError (Write or
    // Replace); the target is then as it was.
    void commit();

    // The file that commit() replaces: the target, or the file its link names.
    const std::string& targetPath() const { return target_; }

private:
    void discard() noexcept;

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    int slot_ = -1;
};

// The whole file at once.
void writeFileSafely(const std::string& path, std::string_view bytes,
                     WriteMode mode = WriteMode::NewFile);

// Whether `path` may be rewritten: a regular file (links followed) that the user may
// write and whose mode has a write bit. 0 when it may, else the errno a Rewrite would
// fail with (EACCES, ENOENT, ...).
int rewriteRefusal(const std::string& path);

// Reading a source. A FIFO would hold open() until a writer comes and a device may never
// end, so only regular files are read, and opening never waits.
inline constexpr int kNotRegularFile = -1; // an error code beside the errno values

struct ReadableFile {
    int fd = -1;           // open for reading when error is 0; the caller closes it
    int error = 0;         // an errno value, or kNotRegularFile
    std::int64_t size = 0; // bytes, as the file stood when opened
};
// Opens `path` (links followed) for reading when it is a regular file.
ReadableFile openRegularFile(const std::string& path);
// "Not a regular file" for kNotRegularFile, else the system's text for the errno value.
std::string readErrorText(int error);

// Removes every temporary file a writer of this process holds now. Safe to call from a
// signal handler, just before the process ends.
void removeTemporaryFilesNow() noexcept;

} // namespace pictorant
