#include "SettingsFile.h"
#include "SettingsLocation.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <sys/stat.h>

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

mode_t modeOf(const std::filesystem::path& path) {
    struct stat st {};
    ::lstat(path.c_str(), &st);
    return st.st_mode & 07777;
}

std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A settings file the user marked read-only, or one in such a folder, is never replaced,
// not even by root, whom the bits do not stop. The file keeps its bytes and mode, and
// nothing is left beside it.
TEST(SettingsFileRefusal, ReadOnlyFileOrFolderGivesUnableToWriteAndStaysAsItWas) {
    struct Case {
        const char* name;
        mode_t fileMode; // 0: no file
        mode_t folderMode;
        const char* link; // the path given is this link to the file, when set
    };
    const Case cases[] = {
        {"file 0444 in a writable folder", 0444, 0755, nullptr},
        {"file 0400", 0400, 0755, nullptr},
        {"file 0555", 0555, 0755, nullptr},
        {"writable file in a folder without write bits", 0644, 0555, nullptr},
        {"no file yet in a folder without write bits", 0, 0555, nullptr},
        {"a link to a read-only file", 0444, 0755, "link.ini"},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const auto folder = dir / "config";
        std::filesystem::create_directory(folder);
        const auto ini = folder / "Pictorant.ini";
        if (c.fileMode) {
            writeFile(ini, "[Layout]\nColumns=7\n");
            ::chmod(ini.c_str(), c.fileMode);
        }
        auto given = ini;
        if (c.link) {
            given = dir / c.link;
            std::filesystem::create_symlink(ini, given);
        }
        ::chmod(folder.c_str(), c.folderMode);
        SettingsFile f(given);
        f.writeText("Layout", "Columns", "3");
        try {
            f.save();
            ADD_FAILURE() << c.name << ": the file was written";
        } catch (const SettingsWriteError& e) {
            EXPECT_EQ(std::string(e.what()), "Unable to write to " + given.string()) << c.name;
        }
        ::chmod(folder.c_str(), 0755);
        if (c.fileMode) {
            EXPECT_EQ(readFile(ini), "[Layout]\nColumns=7\n") << c.name;
            EXPECT_EQ(modeOf(ini), c.fileMode) << c.name;
            EXPECT_EQ(namesIn(folder), std::vector<std::string>{"Pictorant.ini"}) << c.name;
        } else {
            EXPECT_TRUE(namesIn(folder).empty()) << c.name;
        }
        if (c.link) {
            EXPECT_TRUE(std::filesystem::is_symlink(given)) << c.name;
        }
    }
}

TEST(SettingsFileSave, ANewFileGetsTheUsualModeAndAnOldOneKeepsItsOwn) {
    TempFolder dir;
    const mode_t oldMask = ::umask(022);
    SettingsFile fresh(dir / "new.ini");
    fresh.writeText("Layout", "Columns", "3");
    fresh.save();
    ::umask(oldMask);
    EXPECT_EQ(modeOf(dir / "new.ini"), 0644u) << "the umask decides, as for any new file";

    writeFile(dir / "old.ini", "[Layout]\nColumns=7\n");
    ::chmod((dir / "old.ini").c_str(), 0640);
    SettingsFile old(dir / "old.ini");
    old.writeText("Layout", "Columns", "4");
    old.save();
    EXPECT_EQ(modeOf(dir / "old.ini"), 0640u);
    EXPECT_EQ(SettingsFile(dir / "old.ini").readText("Layout", "Columns", ""), "4");
}

TEST(SettingsFileSave, ALinkedFileIsRewrittenWhereItIsAndTheLinkStays) {
    TempFolder dir;
    std::filesystem::create_directory(dir / "dotfiles");
    writeFile(dir / "dotfiles" / "Pictorant.ini", "[Layout]\nColumns=7\n");
    std::filesystem::create_symlink("dotfiles/Pictorant.ini", dir / "Pictorant.ini");
    SettingsFile f(dir / "Pictorant.ini");
    f.writeText("Layout", "Columns", "2");
    f.save();
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "Pictorant.ini"));
    EXPECT_EQ(SettingsFile(dir / "dotfiles" / "Pictorant.ini").readText("Layout", "Columns", ""),
              "2");
    EXPECT_EQ(namesIn(dir / "dotfiles"), std::vector<std::string>{"Pictorant.ini"});
}

TEST(SettingsLocationTest, BesideTheExecutableOnlyWhenAFileAlreadyStandsThere) {
    struct Case {
        const char* name;
        std::function<void(const std::filesystem::path& exe)> prepare;
        bool beside;
    };
    const Case cases[] = {
        {"a portable copy", [](const auto& exe) { writeFile(exe / "Pictorant.ini", ""); }, true},
        {"a link to a file",
         [](const auto& exe) {
             writeFile(exe / "real.ini", "");
             std::filesystem::create_symlink("real.ini", exe / "Pictorant.ini");
         },
         true},
        // A writable program folder is no reason to create the file there.
        {"a writable folder without the file", [](const auto&) {}, false},
        {"a folder of that name",
         [](const auto& exe) { std::filesystem::create_directory(exe / "Pictorant.ini"); }, false},
        {"a link that leads nowhere",
         [](const auto& exe) {
             std::filesystem::create_symlink("gone.ini", exe / "Pictorant.ini");
         },
         false},
    };
    for (const auto& c : cases) {
        TempFolder exe, config;
        c.prepare(exe.path());
        const auto expected =
            c.beside ? exe / "Pictorant.ini" : config.path() / "Pictorant" / "Pictorant.ini";
        EXPECT_EQ(settingsFilePathFor(exe.path(), config.path()), expected) << c.name;
    }
    TempFolder config;
    EXPECT_EQ(settingsFilePathFor({}, config.path()),
              config.path() / "Pictorant" / "Pictorant.ini");
}

// The help document and other data: share/pictorant/ beside the program's bin/ (or the
// build folder's app/), else the program's own folder.
TEST(ProgramDataFile, SharedFolderFirstThenBesideTheProgram) {
    namespace fs = std::filesystem;
    struct Case {
        const char* name;
        std::vector<const char*> present; // relative to the prefix
        const char* found;
    };
    const Case cases[] = {
        {"installed", {"share/pictorant/Help.htm"}, "share/pictorant/Help.htm"},
        {"carried beside the program", {"bin/Help.htm"}, "bin/Help.htm"},
        {"both: the installed one",
         {"bin/Help.htm", "share/pictorant/Help.htm"},
         "share/pictorant/Help.htm"},
        {"a folder of that name is no file",
         {"share/pictorant/Help.htm/"},
         "share/pictorant/Help.htm"},
        {"neither: where it should be", {}, "share/pictorant/Help.htm"},
        {"another program's folder is not ours",
         {"share/other/Help.htm", "share/Help.htm"},
         "share/pictorant/Help.htm"},
    };
    for (const auto& c : cases) {
        TempFolder prefix;
        fs::create_directory(prefix / "bin");
        for (const char* file : c.present) {
            const fs::path path = prefix / file;
            if (std::string(file).ends_with("/")) {
                fs::create_directories(path);
            } else {
                fs::create_directories(path.parent_path());
                writeFile(path, "help");
            }
        }
        EXPECT_EQ(programDataFile(prefix / "bin", "Help.htm"), prefix / c.found) << c.name;
    }
}

// The environment of one test, put back afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnvironment() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(SettingsLocationTest, TheConfigFolderComesFromTheEnvironmentAndIsMade) {
    // The test program's own folder holds no Pictorant.ini, so the config folder wins.
    TempFolder home, xdg;
    const ScopedEnvironment homeVar("HOME", home.str().c_str());
    {
        const ScopedEnvironment xdgVar("XDG_CONFIG_HOME", xdg.str().c_str());
        EXPECT_EQ(settingsFilePath(), xdg / "Pictorant" / "Pictorant.ini");
        EXPECT_TRUE(std::filesystem::is_directory(xdg / "Pictorant"));
        EXPECT_FALSE(std::filesystem::exists(xdg / "Pictorant" / "Pictorant.ini"));
    }
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/config"}) {
        const ScopedEnvironment xdgVar("XDG_CONFIG_HOME", unusable);
        EXPECT_EQ(settingsFilePath(), home / ".config" / "Pictorant" / "Pictorant.ini")
            << (unusable ? unusable : "unset");
    }
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
