#include "SettingsFile.h"
#include "SettingsLocation.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace pictorant {
namespace {

using testing::readFile;
using testing::TempFolder;
using testing::writeFile;

class SettingsFileTest : public ::testing::Test {
protected:
    TempFolder dir;
    std::filesystem::path ini = dir / "Pictorant.ini";
};

TEST_F(SettingsFileTest, NamesMatchWithoutCaseAndBlanksAroundValuesAreIgnored) {
    writeFile(ini, "[thumbnails]\n  thumb WIDTH  =   120  \r\n[Layout]\nBannerString= a  b \n");
    SettingsFile f(ini);
    EXPECT_EQ(f.readText("Thumbnails", "Thumb Width", "96"), "120");
    EXPECT_EQ(f.readInteger("THUMBNAILS", "thumb width", 96), 120);
    EXPECT_EQ(f.readText("layout", "bannerstring", ""), "a  b");
}

TEST_F(SettingsFileTest, MissingFileSectionOrKeyGivesTheDefault) {
    SettingsFile none(dir / "absent.ini");
    EXPECT_EQ(none.readText("Layout", "Columns", "5"), "5");
    writeFile(ini, "[Layout]\nColumns=7\n");
    SettingsFile f(ini);
    EXPECT_EQ(f.readText("Tables", "Columns", "5"), "5");
    EXPECT_EQ(f.readInteger("Layout", "Rows", 3), 3);
}

TEST_F(SettingsFileTest, IntegerThatIsNotWholeGivesTheDefault) {
    writeFile(ini, "[T]\na=abc\nb=0x5A\nc=\nd=$10\n");
    SettingsFile f(ini);
    EXPECT_EQ(f.readInteger("T", "a", 90), 90);
    EXPECT_EQ(f.readInteger("T", "b", 1), 90);
    EXPECT_EQ(f.readInteger("T", "c", 4), 4);
    EXPECT_EQ(f.readInteger("T", "d", 0), 16);
}

TEST_F(SettingsFileTest, TextIsReadAsAtMost2047Characters) {
    writeFile(ini, "[T]\nlong=" + std::string(3000, 'x') + "\n");
    SettingsFile f(ini);
    EXPECT_EQ(f.readText("T", "long", "").size(), 2047u);
}

TEST_F(SettingsFileTest, TheCutNeverSplitsALetter) {
    // 2046 bytes, then a two-byte letter across the limit.
    writeFile(ini, "[T]\nlong=" + std::string(2046, 'x') + "\xC3\xA9tail\n");
    SettingsFile f(ini);
    EXPECT_EQ(f.readText("T", "long", ""), std::string(2046, 'x'));
}

TEST_F(SettingsFileTest, WritingKeepsUnknownSectionsAndKeysAndReplacesKnownOnes) {
    writeFile(ini, "[Other]\nmine=keep me\n[Thumbnails]\nThumb Width=120\nFuture Key=9\n");
    SettingsFile f(ini);
    f.writeText("thumbnails", "thumb width", "64");
    f.writeInteger("Colors", "Text", 255);
    f.save();

    SettingsFile again(ini);
    EXPECT_EQ(again.readText("Other", "mine", ""), "keep me");
    EXPECT_EQ(again.readText("Thumbnails", "Future Key", ""), "9");
    EXPECT_EQ(again.readText("Thumbnails", "Thumb Width", ""), "64");
    EXPECT_EQ(again.readInteger("Colors", "Text", 0), 255);
    // The key was replaced in place, not added a second time.
    const std::string text = readFile(ini);
    EXPECT_EQ(text.find("120"), std::string::npos);
    EXPECT_EQ(text.find("Thumb Width"), text.rfind("Thumb Width"));
}

TEST_F(SettingsFileTest, ALineBreakInATextCannotAddAKey) {
    SettingsFile f(ini);
    f.writeText("Layout", "BannerString", "title\r\nUseFrames=1");
    f.save();
    SettingsFile again(ini);
    EXPECT_EQ(again.readText("Layout", "UseFrames", "none"), "none");
}

TEST_F(SettingsFileTest, RefusedWriteNamesTheFullPathAndKeepsTheOldFile) {
    // Root ignores permission bits: make the folder a regular file instead.
    writeFile(dir / "plain", "x");
    const auto blocked = dir / "plain" / "Pictorant.ini";
    SettingsFile f(blocked);
    f.writeText("Layout", "Columns", "3");
    try {
        f.save();
        FAIL() << "the write was not refused";
    } catch (const SettingsWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + blocked.string());
    }
    EXPECT_EQ(readFile(dir / "plain"), "x");
}

TEST_F(SettingsFileTest, SaveLeavesNoTemporaryFileBehind) {
    SettingsFile f(ini);
    f.writeText("Layout", "Columns", "3");
    f.save();
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(SettingsLocationTest, BesideTheExecutableWhenWritableElseTheConfigFolder) {
    TempFolder exe, config;
    EXPECT_EQ(settingsFilePathFor(exe.path(), config.path()), exe / "Pictorant.ini");
    const auto gone = exe / "no-such-folder";
    EXPECT_EQ(settingsFilePathFor(gone, config.path()),
              config.path() / "Pictorant" / "Pictorant.ini");
}

TEST(FolderExistsTest, OnlyFoldersCount) {
    TempFolder dir;
    writeFile(dir / "f", "");
    EXPECT_TRUE(folderExists(dir.str()));
    EXPECT_FALSE(folderExists((dir / "f").string()));
    EXPECT_FALSE(folderExists((dir / "missing").string()));
    EXPECT_FALSE(folderExists(""));
}

} // namespace
} // namespace pictorant
