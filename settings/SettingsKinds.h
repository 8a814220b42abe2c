#pragma once

// The value kinds of Pictorant.ini, built on the text and integer reads of SettingsFile.
// Internal to the settings layer.

#include "settings/SettingsFile.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace pictorant::ini {

enum class FlagRule { TrueWhenOne, TrueWhenNotZero };

inline bool readFlag(const SettingsFile& f, std::string_view section, std::string_view key,
                     bool defaultValue, FlagRule rule) {
    std::int32_t v = f.readInteger(section, key, defaultValue ? 1 : 0);
    return rule == FlagRule::TrueWhenOne ? v == 1 : v != 0;
}

inline void writeFlag(SettingsFile& f, std::string_view section, std::string_view key, bool v) {
    f.writeInteger(section, key, v ? 1 : 0);
}

// An index into `count` choices: past the last is the last, below -1 is -1 (no choice).
inline int readIndex(const SettingsFile& f, std::string_view section, std::string_view key,
                     int defaultValue, int count) {
    std::int32_t v = f.readInteger(section, key, defaultValue);
    if (v > count - 1)
        return count - 1;
    if (v < -1)
        return -1;
    return v;
}

// Only exactly "Yes" is true.
inline bool readWordFlag(const SettingsFile& f, std::string_view section, std::string_view key,
                         bool defaultValue) {
    return f.readText(section, key, defaultValue ? "Yes" : "No") == "Yes";
}

inline void writeWordFlag(SettingsFile& f, std::string_view section, std::string_view key, bool v) {
    f.writeText(section, key, v ? "Yes" : "No");
}

} // namespace pictorant::ini
