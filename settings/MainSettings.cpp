#include "settings/MainSettings.h"

#include "settings/SettingsFile.h"
#include "settings/SettingsKinds.h"
#include "settings/SettingsLocation.h"

#include <algorithm>

namespace pictorant {

namespace {
constexpr const char* kDirectories = "Directories";
constexpr const char* kThumbnails = "Thumbnails";

std::string readFolder(const SettingsFile& f, const char* key) {
    std::string stored = f.readText(kDirectories, key, "err-dir-z");
    return folderExists(stored) ? stored : driveRoot();
}
} // namespace

const char* namingOptionKeyword(NamingOption option) {
    return kNamingOptionWords[static_cast<int>(option)];
}

const char* resizeSpeedKeyword(ResizeSpeed speed) {
    switch (speed) {
    case ResizeSpeed::Quality:
        return "Quality";
    case ResizeSpeed::Smooth:
        return "Smooth";
    case ResizeSpeed::Fast:
        break;
    }
    return "Fast";
}

ResizeSpeed resizeSpeedOfKeyword(const std::string& keyword) {
    if (keyword == "Quality")
        return ResizeSpeed::Quality;
    return keyword == "Smooth" ? ResizeSpeed::Smooth : ResizeSpeed::Fast;
}

MainSettings factoryMainSettings() {
    MainSettings s;
    s.inputDir = driveRoot();
    s.outputDir = driveRoot();
    return s;
}

MainSettings readMainSettings(const SettingsFile& f) {
    using namespace ini;
    const MainSettings d = factoryMainSettings();
    MainSettings s = d;
    s.inputDir = readFolder(f, "Input");
    s.outputDir = readFolder(f, "Output");
    s.resizeSpeed = resizeSpeedOfKeyword(f.readText(kThumbnails, "Resize Speed", "Quality"));
    s.thumbWidth = f.readText(kThumbnails, "Thumb Width", d.thumbWidth);
    s.thumbHeight = f.readText(kThumbnails, "Thumb Height", d.thumbHeight);
    s.maintainRatio =
        readFlag(f, kThumbnails, "Maintain Ratio", d.maintainRatio, FlagRule::TrueWhenNotZero);
    // Force Width is applied first and each one clears the other, so two set flags leave
    // Force Height on.
    bool forceWidth =
        readFlag(f, kThumbnails, "Force Width", d.forceWidth, FlagRule::TrueWhenNotZero);
    bool forceHeight =
        readFlag(f, kThumbnails, "Force Height", d.forceHeight, FlagRule::TrueWhenNotZero);
    s.forceWidth = forceWidth && !forceHeight;
    s.forceHeight = forceHeight;

    const std::string createAs = f.readText(kThumbnails, "Create As", d.convertTo);
    for (const char* word : kCreateAsWords)
        if (createAs == word)
            s.convertTo = word;

    const std::string naming =
        f.readText(kThumbnails, "Naming Option", namingOptionKeyword(d.namingOption));
    for (int i = 0; i < 4; ++i)
        if (naming == kNamingOptionWords[i])
            s.namingOption = static_cast<NamingOption>(i);

    s.qualifier = f.readText(kThumbnails, "Output File Qualifier", d.qualifier);
    s.jpegQuality =
        std::clamp<int>(f.readInteger(kThumbnails, "Jpg Compression", d.jpegQuality), 10, 100);
    s.overwrite =
        readFlag(f, kThumbnails, "Overwrite Files", d.overwrite, FlagRule::TrueWhenNotZero);
    s.autoOrient = readFlag(f, kThumbnails, "Auto Orient", d.autoOrient, FlagRule::TrueWhenOne);
    s.convertToSrgb =
        readFlag(f, kThumbnails, "Convert To sRGB", d.convertToSrgb, FlagRule::TrueWhenOne);
    s.keepMetadata =
        readFlag(f, kThumbnails, "Keep Metadata", d.keepMetadata, FlagRule::TrueWhenOne);
    s.losslessRotation =
        readFlag(f, kThumbnails, "Lossless Rotation", d.losslessRotation, FlagRule::TrueWhenOne);
    return s;
}

void writeMainSettings(SettingsFile& f, const MainSettings& s) {
    using namespace ini;
    f.reload();
    f.writeText(kDirectories, "Input", s.inputDir);
    f.writeText(kDirectories, "Output", s.outputDir);
    f.writeText(kThumbnails, "Resize Speed", resizeSpeedKeyword(s.resizeSpeed));
    f.writeText(kThumbnails, "Thumb Width", s.thumbWidth);
    f.writeText(kThumbnails, "Thumb Height", s.thumbHeight);
    writeFlag(f, kThumbnails, "Maintain Ratio", s.maintainRatio);
    writeFlag(f, kThumbnails, "Force Width", s.forceWidth && !s.forceHeight);
    writeFlag(f, kThumbnails, "Force Height", s.forceHeight);
    f.writeText(kThumbnails, "Create As", s.convertTo);
    f.writeText(kThumbnails, "Naming Option", namingOptionKeyword(s.namingOption));
    f.writeText(kThumbnails, "Output File Qualifier", s.qualifier);
    f.writeInteger(kThumbnails, "Jpg Compression", s.jpegQuality);
    writeFlag(f, kThumbnails, "Overwrite Files", s.overwrite);
    writeFlag(f, kThumbnails, "Auto Orient", s.autoOrient);
    writeFlag(f, kThumbnails, "Convert To sRGB", s.convertToSrgb);
    writeFlag(f, kThumbnails, "Keep Metadata", s.keepMetadata);
    writeFlag(f, kThumbnails, "Lossless Rotation", s.losslessRotation);
    f.save();
}

bool factoryRecycleBin() {
    return true;
}

bool readRecycleBin(const SettingsFile& f) {
    return ini::readWordFlag(f, kDirectories, "RecycleBin", factoryRecycleBin());
}

void writeRecycleBin(SettingsFile& f, bool recycleBin) {
    f.reload();
    ini::writeWordFlag(f, kDirectories, "RecycleBin", recycleBin);
    f.save();
}

std::string factoryHtmlName() {
    return "MyWeb.htm";
}

std::string readHtmlName(const SettingsFile& f) {
    return f.readText(kDirectories, "htmlName", factoryHtmlName());
}

void writeHtmlName(SettingsFile& f, const std::string& htmlName) {
    f.reload();
    f.writeText(kDirectories, "htmlName", htmlName);
    f.save();
}

} // namespace pictorant
