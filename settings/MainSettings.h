#pragma once

#include <string>

namespace pictorant {

class SettingsFile;

// Positions 0 to 3 of the naming box.
enum class NamingOption { PreSeq = 0, PreName = 1, SufSeq = 2, SufName = 3 };
enum class ResizeSpeed { Fast = 0, Quality = 1, Smooth = 2 };

// The main window's group of Pictorant.ini (sections "Directories" and "Thumbnails"):
// the two pane folders and the kept fields of the job.
struct MainSettings {
    std::string inputDir;  // source pane folder
    std::string outputDir; // target pane folder
    ResizeSpeed resizeSpeed = ResizeSpeed::Quality;
    std::string thumbWidth = "96";
    std::string thumbHeight = "96";
    bool maintainRatio = false;
    bool forceWidth = false;
    bool forceHeight = false;
    std::string convertTo = "jpg"; // the conversion box text
    NamingOption namingOption = NamingOption::PreSeq;
    std::string qualifier = "Thumb"; // the thumbnail qualifier
    int jpegQuality = 90;            // 10 to 100
    bool overwrite = true;
    // The photo options, all off at the factory.
    bool autoOrient = false;       // "Auto Orient"
    bool convertToSrgb = false;    // "Convert To sRGB"
    bool keepMetadata = false;     // "Keep Metadata"
    bool losslessRotation = false; // "Lossless Rotation"
};

// The conversion box's choice that keeps each file's own type.
inline constexpr const char* kNoConversion = "No Conversion";
// The words of the "Create As" and "Naming Option" keys, in box order.
inline constexpr const char* kCreateAsWords[] = {"jpg", "gif",         "bmp", "emf",
                                                 "wmf", kNoConversion, "png"};
inline constexpr const char* kNamingOptionWords[] = {"PreSeq", "PreName", "SufSeq", "SufName"};
const char* namingOptionKeyword(NamingOption option);
// The "Resize Speed" keyword: "Quality", "Smooth", any other text Fast (so a reader that
// knows only the first two takes "Smooth" as Fast).
const char* resizeSpeedKeyword(ResizeSpeed speed);
ResizeSpeed resizeSpeedOfKeyword(const std::string& keyword);

// Factory values: both folders at the drive root, the rest as the record's initialisers.
MainSettings factoryMainSettings();

// Fills every field from the file or its default. Folders that no longer exist read as
// the drive root; an unknown Create As or Naming Option word reads as its first entry;
// both force flags set read as Force Height only; Jpg Compression is taken to 10..100.
MainSettings readMainSettings(const SettingsFile& file);
// Re-reads the file, sets every key of the group and saves it (SettingsWriteError).
void writeMainSettings(SettingsFile& file, const MainSettings& settings);

// The deletion confirmation's "Delete to Recycle Bin" ("Directories", "RecycleBin").
bool factoryRecycleBin();
bool readRecycleBin(const SettingsFile& file);
void writeRecycleBin(SettingsFile& file, bool recycleBin);

// The gallery page name offered by the gallery location dialog ("Directories",
// "htmlName").
std::string factoryHtmlName();
std::string readHtmlName(const SettingsFile& file);
void writeHtmlName(SettingsFile& file, const std::string& htmlName);

} // namespace pictorant
