#include "GalleryOptions.h"
#include "MainSettings.h"
#include "SettingsFile.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <sstream>

namespace pictorant {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

// One INI body and what the main-window group must read from it.
struct MainCase {
    const char* name;
    const char* ini;
    std::function<void(MainSettings&)> expect; // turns the factory values into the expected
};

void PrintTo(const MainCase& c, std::ostream* os) {
    *os << c.name;
}

class MainGroupReadTest : public ::testing::TestWithParam<MainCase> {};

bool operator==(const MainSettings& a, const MainSettings& b) {
    return a.inputDir == b.inputDir && a.outputDir == b.outputDir &&
           a.resizeSpeed == b.resizeSpeed && a.thumbWidth == b.thumbWidth &&
           a.thumbHeight == b.thumbHeight && a.maintainRatio == b.maintainRatio &&
           a.forceWidth == b.forceWidth && a.forceHeight == b.forceHeight &&
           a.convertTo == b.convertTo && a.namingOption == b.namingOption &&
           a.qualifier == b.qualifier && a.jpegQuality == b.jpegQuality &&
           a.overwrite == b.overwrite;
}

TEST_P(MainGroupReadTest, ReadsTheKeyByItsRule) {
    TempFolder dir;
    writeFile(dir / "Pictorant.ini", GetParam().ini);
    MainSettings expected = factoryMainSettings();
    GetParam().expect(expected);
    EXPECT_TRUE(readMainSettings(SettingsFile(dir / "Pictorant.ini")) == expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MainGroupReadTest,
    ::testing::Values(
        MainCase{"NoFile", "", [](MainSettings&) {}},
        MainCase{"QualityInLowerCaseIsFast", "[Thumbnails]\nResize Speed=quality\n",
                 [](MainSettings& s) { s.resizeSpeed = ResizeSpeed::Fast; }},
        MainCase{"FastWord", "[Thumbnails]\nResize Speed=Fast\n",
                 [](MainSettings& s) { s.resizeSpeed = ResizeSpeed::Fast; }},
        MainCase{"Quality5IsTakenTo10", "[Thumbnails]\nJpg Compression=5\n",
                 [](MainSettings& s) { s.jpegQuality = 10; }},
        MainCase{"Quality500IsTakenTo100", "[Thumbnails]\nJpg Compression=500\n",
                 [](MainSettings& s) { s.jpegQuality = 100; }},
        MainCase{"QualityTextIsDefault", "[Thumbnails]\nJpg Compression=abc\n",
                 [](MainSettings&) {}},
        MainCase{"QualityInHex", "[Thumbnails]\nJpg Compression=0x32\n",
                 [](MainSettings& s) { s.jpegQuality = 50; }},
        // A number that does not fit 32 bits is as wrong as text: the key's default.
        MainCase{"QualityAllBitsSetIsDefault", "[Thumbnails]\nJpg Compression=$FFFFFFFF\n",
                 [](MainSettings&) {}},
        MainCase{"QualityPastIntMaxIsDefault", "[Thumbnails]\nJpg Compression=2147483648\n",
                 [](MainSettings&) {}},
        MainCase{"QualityBelowIntMinIsDefault", "[Thumbnails]\nJpg Compression=-2147483649\n",
                 [](MainSettings&) {}},
        MainCase{"QualityAtIntMinIsTakenTo10", "[Thumbnails]\nJpg Compression=-2147483648\n",
                 [](MainSettings& s) { s.jpegQuality = 10; }},
        MainCase{"FlagsBeyondIntAreDefaults",
                 "[Thumbnails]\nMaintain Ratio=99999999999\nOverwrite Files=0x100000000\n"
                 "Force Height=$FFFFFFFF\n",
                 [](MainSettings&) {}},
        MainCase{"BothForceFlagsLeaveHeight", "[Thumbnails]\nForce Width=1\nForce Height=1\n",
                 [](MainSettings& s) { s.forceHeight = true; }},
        MainCase{"ForceWidthAlone", "[Thumbnails]\nForce Width=7\n",
                 [](MainSettings& s) { s.forceWidth = true; }},
        MainCase{"FlagsTrueWhenNotZero", "[Thumbnails]\nMaintain Ratio=2\nOverwrite Files=0\n",
                 [](MainSettings& s) {
                     s.maintainRatio = true;
                     s.overwrite = false;
                 }},
        MainCase{"UnknownCreateAsStaysJpg", "[Thumbnails]\nCreate As=png\n", [](MainSettings&) {}},
        MainCase{"CreateAsComparedWithCase", "[Thumbnails]\nCreate As=GIF\n", [](MainSettings&) {}},
        MainCase{"CreateAsNoConversion", "[Thumbnails]\nCreate As=No Conversion\n",
                 [](MainSettings& s) { s.convertTo = "No Conversion"; }},
        MainCase{"NamingKeyword", "[Thumbnails]\nNaming Option=SufName\n",
                 [](MainSettings& s) { s.namingOption = NamingOption::SufName; }},
        MainCase{"NamingInLowerCaseIsFirstEntry", "[Thumbnails]\nNaming Option=sufname\n",
                 [](MainSettings&) {}},
        MainCase{"TextsAsStored",
                 "[Thumbnails]\nThumb Width=abc\nThumb Height=-20\nOutput File Qualifier=\n",
                 [](MainSettings& s) {
                     s.thumbWidth = "abc";
                     s.thumbHeight = "-20";
                     s.qualifier = "";
                 }},
        MainCase{"VanishedFolderIsTheRoot",
                 "[Directories]\nInput=/no/such/folder/anywhere\nOutput=\n", [](MainSettings&) {}},
        MainCase{"ExistingFolderIsTaken", "[Directories]\nInput=/tmp\nOutput=/\n",
                 [](MainSettings& s) { s.inputDir = "/tmp"; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MainGroupTest, ForceFlagsAreWrittenBackWithAtMostOneSet) {
    TempFolder dir;
    writeFile(dir / "Pictorant.ini", "[Thumbnails]\nForce Width=1\nForce Height=1\n");
    SettingsFile f(dir / "Pictorant.ini");
    writeMainSettings(f, readMainSettings(f));
    SettingsFile again(dir / "Pictorant.ini");
    EXPECT_EQ(again.readText("Thumbnails", "Force Width", ""), "0");
    EXPECT_EQ(again.readText("Thumbnails", "Force Height", ""), "1");
}

TEST(MainGroupTest, UnknownCreateAsIsWrittenBackAsJpg) {
    TempFolder dir;
    writeFile(dir / "Pictorant.ini", "[Thumbnails]\nCreate As=png\n");
    SettingsFile f(dir / "Pictorant.ini");
    writeMainSettings(f, readMainSettings(f));
    EXPECT_EQ(SettingsFile(dir / "Pictorant.ini").readText("Thumbnails", "Create As", ""), "jpg");
}

TEST(MainGroupTest, NonDefaultValuesSurviveAWriteAndARead) {
    TempFolder dir;
    MainSettings s = factoryMainSettings();
    s.inputDir = dir.str();
    s.resizeSpeed = ResizeSpeed::Fast;
    s.thumbWidth = "120";
    s.thumbHeight = "";
    s.maintainRatio = true;
    s.forceWidth = true;
    s.convertTo = "wmf";
    s.namingOption = NamingOption::SufSeq;
    s.qualifier = "_t";
    s.jpegQuality = 33;
    s.overwrite = false;
    SettingsFile f(dir / "Pictorant.ini");
    writeMainSettings(f, s);
    EXPECT_TRUE(readMainSettings(SettingsFile(dir / "Pictorant.ini")) == s);
}

TEST(RecycleBinTest, OnlyExactYesIsTrue) {
    TempFolder dir;
    const auto ini = dir / "Pictorant.ini";
    EXPECT_TRUE(readRecycleBin(SettingsFile(ini)));
    for (const char* word : {"yes", "YES", "1", "No", ""}) {
        writeFile(ini, std::string("[Directories]\nRecycleBin=") + word + "\n");
        EXPECT_FALSE(readRecycleBin(SettingsFile(ini))) << word;
    }
    SettingsFile f(ini);
    writeRecycleBin(f, true);
    EXPECT_EQ(SettingsFile(ini).readText("Directories", "RecycleBin", ""), "Yes");
}

// One INI body and what the gallery options must read from it.
struct GalleryCase {
    const char* name;
    const char* ini;
    std::function<void(GalleryOptions&)> expect;
};

void PrintTo(const GalleryCase& c, std::ostream* os) {
    *os << c.name;
}

class GalleryGroupReadTest : public ::testing::TestWithParam<GalleryCase> {};

TEST_P(GalleryGroupReadTest, ReadsTheKeyByItsRule) {
    TempFolder dir;
    writeFile(dir / "Pictorant.ini", GetParam().ini);
    GalleryOptions expected = factoryGalleryOptions();
    GetParam().expect(expected);
    const GalleryOptions got = readGalleryOptions(SettingsFile(dir / "Pictorant.ini"));
    // Compared through a write of both: every persisted key, nothing else.
    SettingsFile a(dir / "a.ini"), b(dir / "b.ini");
    writeGalleryOptions(a, got);
    writeGalleryOptions(b, expected);
    EXPECT_EQ(readFile(dir / "a.ini"), readFile(dir / "b.ini"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, GalleryGroupReadTest,
    ::testing::Values(
        GalleryCase{"NoFile", "", [](GalleryOptions&) {}},
        GalleryCase{"LinkBorder2IsOffButUseFrames2IsOn", "[Layout]\nLinkBorder=2\nUseFrames=2\n",
                    [](GalleryOptions& o) {
                        o.LinkBorder = false;
                        o.UseFrames = true;
                    }},
        GalleryCase{"TrueWhenOneFlags", "[Tables]\nUseTables=0\nIncludeCaption=-1\n",
                    [](GalleryOptions& o) {
                        o.UseTables = false;
                        o.IncludeCaption = false;
                    }},
        GalleryCase{"TrueWhenNotZeroFlags", "[Layout]\nTileBkgd=-1\nSampleText=0x10\n",
                    [](GalleryOptions& o) {
                        o.TileBkgd = true;
                        o.SampleText = true;
                    }},
        GalleryCase{"IndexPastTheLastIsTheLast",
                    "[Linking]\nOriginalLinkOpt=7\n[Layout]\nWindowOpt=9\nBannerHeadSize=3\n",
                    [](GalleryOptions& o) {
                        o.OriginalLinkOpt = 3;
                        o.WindowOpt = 1;
                        o.BannerHeadSize = 2;
                    }},
        GalleryCase{"IndexBelowMinusOneIsNone", "[Linking]\nOriginalLinkOpt=-5\nThumbLinkOpt=-1\n",
                    [](GalleryOptions& o) {
                        o.OriginalLinkOpt = -1;
                        o.ThumbLinkOpt = -1;
                    }},
        GalleryCase{"IndexNotANumberIsDefault", "[Linking]\nThumbLinkOpt=abc\n",
                    [](GalleryOptions&) {}},
        GalleryCase{"NavBtnsTop", "[Layout]\nNavBtns=0\n",
                    [](GalleryOptions& o) { o.NavBtns = NavPlace::Top; }},
        GalleryCase{"NavBtnsOtherIsBoth", "[Layout]\nNavBtns=7\n", [](GalleryOptions&) {}},
        GalleryCase{"ColoursAsIntegers", "[Colors]\nPageBkgd=$FF\nText=255\nCellBkgd=x\n",
                    [](GalleryOptions& o) {
                        o.PageBkgd = 255;
                        o.Text = 255;
                    }},
        GalleryCase{"IntegersBeyondIntAreDefaults",
                    "[Linking]\nOriginalLinkOpt=$FFFFFFFF\nLinkName=4294967297\n"
                    "[Layout]\nUseFrames=$FFFFFFFF\nNavBtns=0x100000000\n"
                    "[Colors]\nPageBkgd=$FFFFFFFF\nText=-2147483649\n",
                    [](GalleryOptions&) {}},
        GalleryCase{"TextsAsStored", "[Tables]\nColumns=abc\nCellPad=\nTableAlignment=left\n",
                    [](GalleryOptions& o) {
                        o.Columns = "abc";
                        o.CellPad = "";
                        o.TableAlignment = "left";
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsGroupsTest, EveryKeyIsWrittenByItsGroup) {
    TempFolder dir;
    const auto ini = dir / "Pictorant.ini";
    SettingsFile f(ini);
    writeMainSettings(f, factoryMainSettings());
    writeGalleryOptions(f, factoryGalleryOptions());
    writeRecycleBin(f, factoryRecycleBin());
    writeHtmlName(f, factoryHtmlName());

    std::set<std::string> keys;
    std::string section;
    std::istringstream lines(readFile(ini));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] == '[')
            section = line;
        else if (auto eq = line.find('='); eq != std::string::npos)
            keys.insert(section + line.substr(0, eq));
    }
    EXPECT_EQ(keys.size(), 13u + 36u + 2u);
    for (const char* key :
         {"[Directories]Input", "[Directories]RecycleBin", "[Directories]htmlName",
          "[Thumbnails]Jpg Compression", "[Linking]OriginalLinkOpt", "[Layout]NavBtns",
          "[Colors]TableBkgd", "[Tables]UseTables"})
        EXPECT_TRUE(keys.count(key)) << key;
    const SettingsFile back(ini);
    EXPECT_EQ(back.readText("Colors", "TableBkgd", ""), "10526880");
    EXPECT_EQ(back.readText("Directories", "RecycleBin", ""), "Yes");
    EXPECT_EQ(back.readText("Directories", "htmlName", ""), "MyWeb.htm");
    EXPECT_EQ(back.readText("Thumbnails", "Naming Option", ""), "PreSeq");
    EXPECT_EQ(back.readText("Thumbnails", "Resize Speed", ""), "Quality");
}

TEST(SettingsGroupsTest, EachGroupWriteReReadsTheFileSoOthersAreKept) {
    TempFolder dir;
    const auto ini = dir / "Pictorant.ini";
    SettingsFile mainWindow(ini), deletion(ini);
    writeHtmlName(mainWindow, "Album.htm");
    // The second file object was loaded before the first write.
    writeRecycleBin(deletion, false);
    const SettingsFile back(ini);
    EXPECT_EQ(back.readText("Directories", "htmlName", ""), "Album.htm");
    EXPECT_EQ(back.readText("Directories", "RecycleBin", ""), "No");
}

TEST(SettingsGroupsTest, ARefusedGroupLeavesTheOthersWritable) {
    TempFolder dir;
    writeFile(dir / "plain", "");
    SettingsFile blocked(dir / "plain" / "Pictorant.ini");
    EXPECT_THROW(writeMainSettings(blocked, factoryMainSettings()), SettingsWriteError);
    EXPECT_THROW(writeGalleryOptions(blocked, factoryGalleryOptions()), SettingsWriteError);
    SettingsFile good(dir / "Pictorant.ini");
    EXPECT_NO_THROW(writeHtmlName(good, "x.htm"));
}

TEST(GalleryOptionsTest, ResetKeepsTheRunTimeFields) {
    GalleryOptions o;
    o.UseFrames = true;
    o.TileBkgd = true;
    o.Columns = "9";
    o.hrefPrefix = "http://example.org/";
    o.imgRelativeText = "../thumbs/";
    applyFactoryGalleryOptions(o);
    EXPECT_FALSE(o.UseFrames);
    EXPECT_FALSE(o.TileBkgd);
    EXPECT_TRUE(o.UseTables);
    EXPECT_EQ(o.Columns, "5");
    EXPECT_EQ(o.hrefPrefix, "http://example.org/");
    EXPECT_EQ(o.imgRelativeText, "../thumbs/");
}

TEST(GalleryOptionsTest, ReadKeepsTheLinkTextsTheDialogSetFirst) {
    TempFolder dir;
    GalleryOptions start;
    start.hrefInternetText = "http://mine/";
    const GalleryOptions o = readGalleryOptions(SettingsFile(dir / "none.ini"), start);
    EXPECT_EQ(o.hrefInternetText, "http://mine/");
    EXPECT_EQ(o.imgInternetText, "http://");
}

} // namespace
} // namespace pictorant
