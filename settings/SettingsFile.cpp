#include "settings/SettingsFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "files/SafeFile.h"

namespace pictorant {

namespace {

constexpr std::size_t kMaxTextLength = 2047;

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The first `limit` bytes, without cutting a UTF-8 character in two.
std::string_view firstTextPart(std::string_view s, std::size_t limit = kMaxTextLength) {
    if (s.size() <= limit)
        return s;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80)
        --end;
    return s.substr(0, end);
}

std::string_view trimmed(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// A line break inside a value would start a new key when the file is read again.
std::string oneLine(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '\n', ' ');
    std::replace(out.begin(), out.end(), '\r', ' ');
    return out;
}

// Far more than a key and the 2047 characters of its value; the rest of a longer line
// is skipped, so a huge line costs no more than this.
constexpr std::size_t kMaxLineLength = 8192;

// The lines of the file at `path`, each cut to kMaxLineLength bytes (never inside a
// UTF-8 character), a leading byte-order mark dropped. Returns 0, or the reason the file
// cannot be read: an errno value or kNotRegularFile.
int readLines(const std::filesystem::path& path, std::vector<std::string>& lines) {
    const ReadableFile file = openRegularFile(path.string());
    if (file.error != 0)
        return file.error;
    const int fd = file.fd;
    std::string line;
    bool skipping = false; // the rest of an overlong line
    bool first = true;
    char buffer[65536];
    int error = 0;
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            break;
        }
        if (got == 0)
            break;
        std::string_view chunk(buffer, std::size_t(got));
        if (first) {
            // The mark may come split over reads only for a file that grows while it is
            // read; the whole-mark test is enough.
            if (chunk.substr(0, 3) == "\xEF\xBB\xBF")
                chunk.remove_prefix(3);
            first = false;
        }
        while (!chunk.empty()) {
            const std::size_t end = chunk.find('\n');
            const std::string_view part = chunk.substr(0, end);
            if (!skipping) {
                // A few bytes over the limit show where a character ends.
                constexpr std::size_t room = kMaxLineLength + 4;
                line.append(part.substr(0, room - std::min(line.size(), room)));
                if (line.size() > kMaxLineLength) {
                    line.resize(firstTextPart(line, kMaxLineLength).size());
                    skipping = true;
                }
            }
            if (end == std::string_view::npos)
                break;
            lines.push_back(std::move(line));
            line.clear();
            skipping = false;
            chunk.remove_prefix(end + 1);
        }
    }
    ::close(fd);
    if (error != 0)
        return error;
    if (!line.empty())
        lines.push_back(std::move(line));
    return 0;
}

} // namespace

SettingsWriteError::SettingsWriteError(const std::filesystem::path& file)
    : std::runtime_error("Unable to write to " + file.string()) {}

std::optional<std::int32_t> parseWholeNumber(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (!text.empty() && text[0] == '$') {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    // Both bases hold the same range, a signed 32-bit integer: "$FFFFFFFF" and
    // 2147483648 are refused rather than wrapped to -1 and INT_MIN.
    const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    if (value > limit)
        return std::nullopt;
    return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(value)
                                              : static_cast<std::int64_t>(value));
}

SettingsFile::SettingsFile(std::filesystem::path path) : path_(std::move(path)) {
    reload();
}

void SettingsFile::reload() {
    sections_.clear();
    readError_.clear();
    std::vector<std::string> lines;
    const int error = readLines(path_, lines);
    if (error == ENOENT || error == ENOTDIR)
        return; // no file there yet: the factory values
    if (error != 0) {
        keepFile_ = true;
        readError_ = "Cannot read settings file " + path_.string() + ": " +
                     (error == kNotRegularFile ? "not a regular file" : std::strerror(error));
        return;
    }
    Section* current = nullptr;
    for (const std::string& line : lines) {
        std::string_view l = trimmed(line);
        if (l.empty() || l.front() == ';')
            continue;
        if (l.front() == '[') {
            auto close = l.find(']');
            std::string name(
                trimmed(l.substr(1, close == std::string_view::npos ? l.size() - 1 : close - 1)));
            auto it = std::find_if(sections_.begin(), sections_.end(),
                                   [&](const Section& s) { return sameName(s.name, name); });
            if (it == sections_.end()) {
                sections_.push_back({name, {}});
                current = &sections_.back();
            } else {
                current = &*it;
            }
            continue;
        }
        auto eq = l.find('=');
        if (current == nullptr || eq == std::string_view::npos)
            continue;
        current->entries.push_back(
            {std::string(trimmed(l.substr(0, eq))), std::string(trimmed(l.substr(eq + 1)))});
    }
}

const SettingsFile::Entry* SettingsFile::find(std::string_view section,
                                              std::string_view key) const {
    for (const auto& s : sections_) {
        if (!sameName(s.name, section))
            continue;
        for (const auto& e : s.entries)
            if (sameName(e.key, key))
                return &e;
    }
    return nullptr;
}

std::string SettingsFile::readText(std::string_view section, std::string_view key,
                                   std::string_view defaultText) const {
    const Entry* e = find(section, key);
    std::string_view value = e ? std::string_view(e->value) : defaultText;
    return std::string(firstTextPart(value));
}

std::int32_t SettingsFile::readInteger(std::string_view section, std::string_view key,
                                       std::int32_t defaultValue) const {
    const Entry* e = find(section, key);
    if (!e)
        return defaultValue;
    return parseWholeNumber(firstTextPart(e->value)).value_or(defaultValue);
}

void SettingsFile::writeText(std::string_view section, std::string_view key,
                             std::string_view text) {
    auto it = std::find_if(sections_.begin(), sections_.end(),
                           [&](const Section& s) { return sameName(s.name, section); });
    if (it == sections_.end()) {
        sections_.push_back({std::string(section), {}});
        it = sections_.end() - 1;
    }
    for (auto& e : it->entries) {
        if (sameName(e.key, key)) {
            e.value = oneLine(text);
            return;
        }
    }
    it->entries.push_back({std::string(key), oneLine(text)});
}

void SettingsFile::writeInteger(std::string_view section, std::string_view key,
                                std::int32_t value) {
    writeText(section, key, std::to_string(value));
}

void SettingsFile::save() const {
    // A file that could not be read is the user's to mend; replacing it with what this
    // session had would lose it, even when it has become readable since.
    if (keepFile_)
        return;
    std::ostringstream text;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (i > 0)
            text << '\n';
        text << '[' << sections_[i].name << "]\n";
        for (const auto& e : sections_[i].entries)
            text << e.key << '=' << e.value << '\n';
    }
    const std::string data = text.str();

    // How a user marks the settings as not to be changed: no write bit on the file, or
    // none on its folder. Root is not stopped by the bits, so they are looked at here.
    // An existing file is rewritten in place (its link followed, owner and mode kept, a
    // read-only one refused); a new one gets the mode the umask gives.
    struct stat st {};
    const bool exists = ::lstat(path_.c_str(), &st) == 0;
    std::error_code ec;
    std::filesystem::path target = exists ? std::filesystem::canonical(path_, ec) : path_;
    if (ec)
        target = path_;
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    if (::stat(folder.c_str(), &st) == 0 && (st.st_mode & 0222) == 0)
        throw SettingsWriteError(path_);
    const WriteMode mode = exists ? WriteMode::Rewrite : WriteMode::NewFile;
    try {
        writeFileSafely(path_.string(), data, mode);
    } catch (const SafeWriteError&) {
        throw SettingsWriteError(path_);
    }
}

} // namespace pictorant
