// The groups of keys the program keeps: each key read by its rule, written back, and a
// group's write never losing another group's keys.
#include "settings/GalleryOptions.h"
#include "settings/MainSettings.h"
#include "settings/SettingsFile.h"
#include "tests/support/FileFaults.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace pictorant {
namespace {

using namespace pictorant::testing;

// Every key a group writes, as "[Section]Key=value" lines in file order.
std::vector<std::string> keysOf(const std::string& ini) {
    std::vector<std::string> keys;
    std::string section;
    std::istringstream lines(readBytes(ini));
    for (std::string line; std::getline(lines, line);)
        if (!line.empty() && line[0] == '[')
            section = line;
        else if (!line.empty())
            keys.push_back(section + line);
    return keys;
}

// Each file body, read by the group and written back, against the factory values with the
// case's changes written the same way.
template <typename Group, typename Read>
void expectReads(const std::vector<std::pair<const char*, std::function<void(Group&)>>>& cases,
                 const Group& factory, Read read, void (*write)(SettingsFile&, const Group&)) {
    for (const auto& [body, change] : cases) {
        ScratchFolder dir;
        writeBytes(dir / "in.ini", body);
        Group expected = factory;
        change(expected);
        SettingsFile got(dir / "got.ini"), want(dir / "want.ini");
        write(got, read(SettingsFile(dir / "in.ini")));
        write(want, expected);
        EXPECT_EQ(keysOf(dir / "got.ini"), keysOf(dir / "want.ini")) << body;
    }
}

TEST(SettingsGroups, MainKeysReadByTheirRules) {
    // clang-format off
    expectReads<MainSettings>({
        {"", [](MainSettings&) {}},
        {"[Thumbnails]\nResize Speed=quality\n", [](MainSettings& s) {s.resizeSpeed = ResizeSpeed::Fast;}},
        {"[Thumbnails]\nResize Speed=Smooth\n", [](MainSettings& s) {s.resizeSpeed = ResizeSpeed::Smooth;}},
        {"[Thumbnails]\nJpg Compression=5\n", [](MainSettings& s) {s.jpegQuality = 10;}},
        {"[Thumbnails]\nJpg Compression=0x1F4\n", [](MainSettings& s) {s.jpegQuality = 100;}},
        {"[Thumbnails]\nJpg Compression=$FFFFFFFF\nMaintain Ratio=99999999999\n", [](MainSettings&) {}},
        {"[Thumbnails]\nForce Width=1\nForce Height=1\n", [](MainSettings& s) {s.forceHeight = true;}},
        {"[Thumbnails]\nForce Width=7\nOverwrite Files=0\nMaintain Ratio=2\n", [](MainSettings& s) {s.forceWidth = s.maintainRatio = true, s.overwrite = false;}},
        {"[Thumbnails]\nCreate As=tif\nNaming Option=sufname\n", [](MainSettings&) {}},
        {"[Thumbnails]\nCreate As=GIF\n", [](MainSettings&) {}},
        {"[Thumbnails]\nCreate As=No Conversion\nNaming Option=SufName\n", [](MainSettings& s) {s.convertTo = kNoConversion, s.namingOption = NamingOption::SufName;}},
        {"[Thumbnails]\nThumb Width=abc\nThumb Height=-20\nOutput File Qualifier=\n", [](MainSettings& s) {s.thumbWidth = "abc", s.thumbHeight = "-20", s.qualifier = "";}},
        {"[Directories]\nInput=/no/such/folder\nOutput=/tmp\n", [](MainSettings& s) {s.outputDir = "/tmp";}},
        {"[Thumbnails]\nAuto Orient=1\nConvert To sRGB=2\nKeep Metadata=1\nLossless Rotation=on\n", [](MainSettings& s) {s.autoOrient = s.keepMetadata = true;}},
        {"[Thumbnails]\nConvert To sRGB=1\nLossless Rotation=1\nKeep Metadata=-1\n", [](MainSettings& s) {s.convertToSrgb = s.losslessRotation = true;}},
    }, factoryMainSettings(), readMainSettings, writeMainSettings);
    // clang-format on
}

TEST(SettingsGroups, GalleryKeysReadByTheirRules) {
    // clang-format off
    expectReads<GalleryOptions>({
        {"", [](GalleryOptions&) {}},
        {"[Layout]\nLinkBorder=2\nUseFrames=2\n", [](GalleryOptions& o) {o.LinkBorder = false, o.UseFrames = true;}},
        {"[Tables]\nUseTables=0\nIncludeCaption=-1\n", [](GalleryOptions& o) {o.UseTables = o.IncludeCaption = false;}},
        {"[Layout]\nTileBkgd=-1\nSampleText=0x10\n", [](GalleryOptions& o) {o.TileBkgd = o.SampleText = true;}},
        {"[Linking]\nOriginalLinkOpt=7\n[Layout]\nWindowOpt=9\nBannerHeadSize=3\n", [](GalleryOptions& o) {o.OriginalLinkOpt = 3, o.WindowOpt = 1, o.BannerHeadSize = 2;}},
        {"[Linking]\nOriginalLinkOpt=-5\nThumbLinkOpt=abc\n", [](GalleryOptions& o) {o.OriginalLinkOpt = -1;}},
        {"[Layout]\nNavBtns=0\n", [](GalleryOptions& o) {o.NavBtns = NavPlace::Top;}},
        {"[Layout]\nNavBtns=1\n", [](GalleryOptions& o) {o.NavBtns = NavPlace::Bottom;}},
        {"[Colors]\nPageBkgd=$FF\nText=255\nCellBkgd=x\nTableBkgd=$FFFFFFFF\n", [](GalleryOptions& o) {o.PageBkgd = o.Text = 255;}},
        {"[Tables]\nColumns=abc\nCellPad=\nTableAlignment=left\n", [](GalleryOptions& o) {o.Columns = "abc", o.CellPad = "", o.TableAlignment = "left";}},
    }, factoryGalleryOptions(), [](const SettingsFile& f) { return readGalleryOptions(f); },
    writeGalleryOptions);
    // clang-format on
}

TEST(SettingsGroups, EveryKeyIsWrittenAndEachWriteKeepsTheOtherGroups) {
    ScratchFolder dir;
    const std::string ini = dir / "Pictorant.ini";
    SettingsFile mainWindow(ini), gallery(ini), deletion(ini);
    MainSettings s = factoryMainSettings();
    s.inputDir = dir.str();
    s.resizeSpeed = ResizeSpeed::Fast;
    s.thumbHeight = "";
    s.maintainRatio = s.forceWidth = true;
    s.convertTo = "wmf";
    s.namingOption = NamingOption::SufSeq;
    s.jpegQuality = 33;
    writeMainSettings(mainWindow, s);
    // The other file objects were loaded before the first write.
    writeGalleryOptions(gallery, factoryGalleryOptions());
    writeRecycleBin(deletion, false);
    writeHtmlName(deletion, "Album.htm");
    const std::vector<std::string> keys = keysOf(ini);
    EXPECT_EQ(keys.size(), 17u + 36u + 2u);
    for (const char* key : {"[Directories]RecycleBin=No", "[Directories]htmlName=Album.htm",
                            "[Thumbnails]Resize Speed=Fast", "[Thumbnails]Force Height=0",
                            "[Thumbnails]Create As=wmf", "[Colors]TableBkgd=10526880"})
        EXPECT_EQ(std::count(keys.begin(), keys.end(), key), 1) << key;
    EXPECT_FALSE(readRecycleBin(SettingsFile(ini)));
    EXPECT_EQ(readHtmlName(SettingsFile(ini)), "Album.htm");
    for (const char* word : {"Yes", "yes", "1"}) {
        writeBytes(ini, std::string("[Directories]\nRecycleBin=") + word + "\n");
        EXPECT_EQ(readRecycleBin(SettingsFile(ini)), word[0] == 'Y') << word;
    }
}

TEST(SettingsGroups, TheRunTimeLinkTextsOutliveAResetAndARead) {
    GalleryOptions o;
    o.UseFrames = true;
    o.hrefPrefix = o.imgPrefix = o.hrefInternetText = o.imgInternetText = "http://mine/";
    o.hrefRelativeText = o.imgRelativeText = "../";
    GalleryOptions reset = o;
    applyFactoryGalleryOptions(reset);
    EXPECT_FALSE(reset.UseFrames);
    ScratchFolder dir;
    for (const GalleryOptions& kept : {reset, readGalleryOptions(SettingsFile(dir / "none"), o)})
        for (const auto field :
             {&GalleryOptions::hrefPrefix, &GalleryOptions::imgPrefix,
              &GalleryOptions::hrefInternetText, &GalleryOptions::imgInternetText,
              &GalleryOptions::hrefRelativeText, &GalleryOptions::imgRelativeText})
            EXPECT_EQ(kept.*field, o.*field);
}

} // namespace
} // namespace pictorant
