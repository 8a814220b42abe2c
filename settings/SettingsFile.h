#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pictorant {

// A write of Pictorant.ini that the system refused. what() is "Unable to write to "
// followed by the full path of the file.
class SettingsWriteError : public std::runtime_error {
public:
    explicit SettingsWriteError(const std::filesystem::path& file);
};

// The one reading of a whole number shared by the settings file and the naming rules:
// an optional sign, then decimal digits, or hexadecimal digits after "0x", "0X" or "$".
// Anything else (blanks, trailing text, an empty text, a value that does not fit a
// signed 32-bit integer in either base, such as "$FFFFFFFF" or 2147483648) gives no
// value.
std::optional<std::int32_t> parseWholeNumber(std::string_view text);

// Pictorant.ini with the private-profile rules: section and key names match without
// regard to case, blanks around a value are ignored, a text is read as at most 2047
// characters. Sections and keys the program does not know are kept by save().
//
// Reads look at the copy loaded by the constructor or reload(); writes change that
// copy, and save() replaces the file with it in one step.
class SettingsFile {
public:
    // Loads the file at `path`; a missing file reads as empty. A file that cannot be
    // read (refused, a folder, a FIFO, a device) reads as empty too and sets readError().
    // A leading UTF-8 byte-order mark is skipped; lines are kept to 8 KiB, the rest of a
    // longer line skipped.
    explicit SettingsFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }

    // Empty, or "Cannot read settings file PATH: " and the reason ("Permission denied",
    // "not a regular file", ...) when the last load could not read the file.
    const std::string& readError() const { return readError_; }

    // Loads the file again, dropping unsaved changes.
    void reload();

    // The text of a key, or `defaultText` when the section or key is missing.
    std::string readText(std::string_view section, std::string_view key,
                         std::string_view defaultText) const;
    // The integer of a key (parseWholeNumber), or `defaultValue` when the key is missing
    // or does not hold a whole number.
    std::int32_t readInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;

    void writeText(std::string_view section, std::string_view key, std::string_view text);
    void writeInteger(std::string_view section, std::string_view key, std::int32_t value);

    // Writes the whole file to a temporary file beside it and renames it over the old
    // one; an existing file keeps its owner and mode, and a link to it stays a link.
    // Throws SettingsWriteError, and the old file stays as it was, when any step is
    // refused, and also when the file has no write bit or its folder none (how a user
    // marks them read-only; this holds for root too). Does nothing once a load of this
    // object has failed: a file that could not be read is never replaced.
    void save() const;

private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    const Entry* find(std::string_view section, std::string_view key) const;

    std::filesystem::path path_;
    std::vector<Section> sections_;
    std::string readError_;
    bool keepFile_ = false;
};

} // namespace pictorant
