// The settings file: how keys and numbers read, what a save keeps and replaces, and
// files that cannot be read or written, which are never replaced.
#include "settings/SettingsFile.h"
#include "settings/SettingsLocation.h"
#include "tests/support/FileFaults.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace pictorant {
namespace {

using namespace pictorant::testing;
namespace fs = std::filesystem;

TEST(WholeNumbers, ReadInBothBasesAndNeverWrap) {
    // clang-format off
    const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
        {"001", 1}, {"+7", 7}, {"0X5a", 90}, {"-$5A", -90}, {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1}, {"$7FFFFFFF", 2147483647}, {"-$80000000", -2147483647 - 1},
        {"00000000000000000002147483647", 2147483647}, {"2147483648", {}}, {"-2147483649", {}},
        {"$80000000", {}}, {"0xFFFFFFFF", {}}, {"99999999999999999999999", {}}, {"", {}}, {"-", {}},
        {"0x", {}}, {"$", {}}, {"12abc", {}}, {" 5", {}}, {"1.5", {}}, {"--5", {}}, {"0x-5", {}}, {"$+5", {}}};
    // clang-format on
    for (const auto& [text, value] : cases)
        EXPECT_EQ(parseWholeNumber(text), value) << '"' << text << '"';
}

TEST(SettingsFile, KeysMatchWithoutCaseAndValuesAreTrimmedAndCut) {
    ScratchFolder dir;
    writeBytes(dir / "a.ini",
               "\xEF\xBB\xBF\r\n[thumbnails]\n  thumb WIDTH  =\t 120  \r\n[T]\nb=0x5A\n"
               "c=abc\nlong=" +
                   std::string(2046, 'x') +
                   "\xC3\xA9tail\n"
                   "huge=ab" +
                   std::string(3 << 20, 'x') + "\nafter=1\n");
    const SettingsFile f(dir / "a.ini");
    EXPECT_EQ(f.readError(), "");
    EXPECT_EQ(f.readText("Thumbnails", "Thumb Width", "96"), "120");
    EXPECT_EQ(f.readInteger("THUMBNAILS", "thumb width", 96), 120);
    EXPECT_EQ(f.readInteger("T", "b", 1), 90);
    EXPECT_EQ(f.readInteger("T", "c", 4), 4);
    EXPECT_EQ(f.readInteger("T", "missing", 3), 3);
    EXPECT_EQ(f.readText("Missing", "b", "5"), "5");
    EXPECT_EQ(f.readText("T", "long", ""), std::string(2046, 'x')); // a letter is never split
    EXPECT_EQ(f.readText("T", "huge", "").size(), 2047u);
    EXPECT_EQ(f.readText("T", "after", ""), "1");
}

TEST(SettingsFile, ASaveKeepsOtherKeysReplacesKnownOnesAndTheModeAndLink) {
    ScratchFolder dir;
    fs::create_directory(dir / "dotfiles");
    writeBytes(dir / "dotfiles/a.ini", "[Other]\nmine=keep me\n[Thumbnails]\nThumb Width=120\n");
    ::chmod((dir / "dotfiles/a.ini").c_str(), 0640);
    fs::create_symlink("dotfiles/a.ini", dir / "a.ini");
    SettingsFile f(dir / "a.ini");
    f.writeText("thumbnails", "thumb width", "64");
    f.writeText("Layout", "BannerString", "title\r\nUseFrames=1");
    f.writeInteger("Colors", "Text", 255);
    f.save();
    const SettingsFile again(dir / "a.ini");
    EXPECT_EQ(again.readText("Other", "mine", ""), "keep me");
    EXPECT_EQ(again.readInteger("Colors", "Text", 0), 255);
    EXPECT_EQ(again.readText("Layout", "UseFrames", "none"), "none");
    const std::string text = readBytes(dir / "dotfiles/a.ini");
    EXPECT_EQ(text.find("120"), std::string::npos);
    EXPECT_EQ(text.find("Thumb Width"), text.rfind("Thumb Width")); // replaced in place
    EXPECT_TRUE(fs::is_symlink(dir / "a.ini"));
    EXPECT_EQ(statusOf(dir / "dotfiles/a.ini").st_mode & 07777, 0640u);
    EXPECT_EQ(namesIn(dir / "dotfiles"), std::vector<std::string>{"a.ini"});
}

// A file marked read-only, one in such a folder, or one behind a path through a file is
// never replaced, not even by root; the file keeps its bytes and mode, nothing is left.
TEST(SettingsFile, ARefusedSaveNamesThePathAndLeavesTheFileAsItWas) {
    const struct {
        mode_t fileMode; // 0: no file
        mode_t folderMode;
        bool link;
    } cases[] = {{0444, 0755, false}, {0644, 0555, false}, {0, 0555, false}, {0444, 0755, true}};
    for (const auto& c : cases) {
        ScratchFolder dir;
        const std::string folder = dir / "config", ini = folder + "/Pictorant.ini";
        fs::create_directory(folder);
        if (c.fileMode) {
            writeBytes(ini, "[Layout]\nColumns=7\n");
            ::chmod(ini.c_str(), c.fileMode);
        }
        const std::string given = c.link ? dir / "link.ini" : ini;
        if (c.link)
            fs::create_symlink(ini, given);
        ::chmod(folder.c_str(), c.folderMode);
        SettingsFile f(given);
        f.writeText("Layout", "Columns", "3");
        EXPECT_EQ(errorOf<SettingsWriteError>([&] { f.save(); }, "written"),
                  "Unable to write to " + given)
            << std::oct << c.fileMode << " " << c.folderMode;
        ::chmod(folder.c_str(), 0755);
        EXPECT_EQ(namesIn(folder).size(), c.fileMode ? 1u : 0u);
        if (c.fileMode) {
            EXPECT_EQ(readBytes(ini), "[Layout]\nColumns=7\n");
            EXPECT_EQ(statusOf(ini).st_mode & 07777, c.fileMode);
        }
    }
    ScratchFolder dir;
    writeBytes(dir / "plain", "x");
    SettingsFile blocked(dir / "plain/Pictorant.ini");
    blocked.writeText("Layout", "Columns", "3");
    EXPECT_THROW(blocked.save(), SettingsWriteError);
    EXPECT_EQ(readBytes(dir / "plain"), "x");
}

// A file that could not be read is never replaced, even once it is mended.
TEST(SettingsFile, WhatCouldNotBeReadIsNeverReplaced) {
    ScratchFolder dir;
    const std::string path = dir / "Pictorant.ini";
    fs::create_directory(path);
    SettingsFile f(path);
    EXPECT_EQ(f.readError(), "Cannot read settings file " + path + ": not a regular file");
    f.writeText("Thumbnails", "Thumb Width", "300");
    EXPECT_NO_THROW(f.save());
    EXPECT_TRUE(fs::is_directory(path));
    fs::remove_all(path);
    writeBytes(path, "[Thumbnails]\nThumb Width=120\n");
    f.reload();
    EXPECT_EQ(f.readText("Thumbnails", "Thumb Width", "96"), "120");
    f.save();
    EXPECT_EQ(readBytes(path), "[Thumbnails]\nThumb Width=120\n");
}

TEST(SettingsLocation, BesideTheProgramOnlyWhenAFileStandsThereElseTheConfigFolder) {
    ScratchFolder exe, config;
    fs::create_symlink("gone.ini", exe / "Pictorant.ini");
    EXPECT_EQ(settingsFilePathFor(exe.path(), config.path()), config / "Pictorant/Pictorant.ini");
    fs::remove(exe / "Pictorant.ini");
    writeBytes(exe / "Pictorant.ini", "");
    EXPECT_EQ(settingsFilePathFor(exe.path(), config.path()), exe / "Pictorant.ini");
    const std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", exe.str().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(settingsFilePath(), exe / ".config/Pictorant/Pictorant.ini");
    EXPECT_TRUE(fs::is_directory(exe / ".config/Pictorant"));
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", oldHome.c_str(), 1);
}

} // namespace
} // namespace pictorant
