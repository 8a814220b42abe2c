// --settings with files that are odd: not files at all, marked, or with a huge line.

#include "../settings/TempFolder.h"
#include "BatchRunner.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace pictorant {
namespace {

using namespace pictorant::testing;
namespace fs = std::filesystem;

struct SettingsCase {
    const char* name;
    std::function<std::string(const fs::path& dir)> make; // makes it, gives the path to pass
    int status;
    const char* err;     // standard error, exactly, with PATH for the given path
    const char* written; // the copy's name in the folder, or "" for none
};
void PrintTo(const SettingsCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string kKept = "[Thumbnails]\nNaming Option=SufName\n";

class SettingsCli : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(SettingsCli, ReadsTheFileOrRefusesTheRun) {
    const SettingsCase& c = GetParam();
    TempFolder dir;
    writeFile(dir / "a.jpg", "content of a.jpg");
    const std::string path = c.make(dir.path());
    const BatchResult r =
        runBatch(dir.path(), {"copy", "--settings", path, "--qualifier", "_k", "a.jpg"});
    EXPECT_EQ(r.status, c.status) << r.err;
    std::string err = c.err;
    if (const auto at = err.find("PATH"); at != std::string::npos)
        err.replace(at, 4, path);
    EXPECT_EQ(r.err, err);
    std::vector<std::string> copies;
    for (const auto& e : fs::directory_iterator(dir.path()))
        if (e.path().filename().string().find("_k") != std::string::npos)
            copies.push_back(e.path().filename().string());
    EXPECT_EQ(copies,
              *c.written ? std::vector<std::string>{c.written} : std::vector<std::string>{});
}

const char* const kRefused = "pictorant-batch: Cannot read settings file PATH: not a regular file\n"
                             "(see pictorant-batch copy --help)\n";

INSTANTIATE_TEST_SUITE_P(
    Table, SettingsCli,
    ::testing::Values(
        SettingsCase{"Plain",
                     [](const fs::path& d) {
                         writeFile(d / "s.ini", kKept);
                         return std::string("s.ini");
                     },
                     0, "", "a_k.jpg"},
        SettingsCase{"ByteOrderMark",
                     [](const fs::path& d) {
                         writeFile(d / "s.ini", "\xEF\xBB\xBF" + kKept);
                         return std::string("s.ini");
                     },
                     0, "", "a_k.jpg"},
        SettingsCase{"HugeLine",
                     [](const fs::path& d) {
                         writeFile(d / "s.ini",
                                   "[Layout]\nBanner=" + std::string(4 << 20, 'b') + "\n" + kKept);
                         return std::string("s.ini");
                     },
                     0, "", "a_k.jpg"},
        SettingsCase{"Folder",
                     [](const fs::path& d) {
                         fs::create_directory(d / "s.ini");
                         return std::string("s.ini");
                     },
                     2, kRefused, ""},
        SettingsCase{"Fifo",
                     [](const fs::path& d) {
                         ::mkfifo((d / "s.ini").c_str(), 0644);
                         return std::string("s.ini");
                     },
                     2, kRefused, ""},
        SettingsCase{"Device", [](const fs::path&) { return std::string("/dev/zero"); }, 2,
                     kRefused, ""},
        SettingsCase{"Missing", [](const fs::path&) { return std::string("none.ini"); }, 2,
                     "pictorant-batch: settings file none.ini not found\n"
                     "(see pictorant-batch copy --help)\n",
                     ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pictorant
