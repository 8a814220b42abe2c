// Thumbnail sizes on the command line and in a settings file: sizes beyond a picture's
// limits and numbers beyond 32 bits are bad option values (status 2, the reason, nothing
// written); the largest allowed sizes are made.

#include "../engine/PictureMaker.h"
#include "BatchRunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sys/resource.h>

namespace pictorant {
namespace {

namespace fs = std::filesystem;
using namespace pictorant::testing;

const std::string kLimits = " (at most 65535 pixels a side and 268435456 pixels in all).";

struct SizeCase {
    const char* name;
    std::vector<std::string> args; // after "thumbnails", before the file a.jpg
    const char* settings;          // the body of s.ini given with --settings, or ""
    int status;
    std::string says; // part of standard error
    Size made{0, 0};  // the thumbnail's size when status is 0
};
void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << c.name;
}

// The tool is started with its address space held to 2 GiB, so a refusal that goes
// missing fails its case instead of taking the machine's memory. Sanitizer builds reserve
// far more address space than they use and run without the limit.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kLimitAddressSpace = false;
#else
constexpr bool kLimitAddressSpace = true;
#endif

class AddressSpaceLimit {
public:
    explicit AddressSpaceLimit(rlim_t bytes) {
        if (!kLimitAddressSpace || ::getrlimit(RLIMIT_AS, &old_) != 0)
            return;
        rlimit lowered = old_;
        lowered.rlim_cur = std::min(bytes, old_.rlim_max);
        set_ = ::setrlimit(RLIMIT_AS, &lowered) == 0;
    }
    ~AddressSpaceLimit() {
        if (set_)
            ::setrlimit(RLIMIT_AS, &old_);
    }
    AddressSpaceLimit(const AddressSpaceLimit&) = delete;
    AddressSpaceLimit& operator=(const AddressSpaceLimit&) = delete;

private:
    rlimit old_{};
    bool set_ = false;
};

class BatchSizes : public ::testing::TestWithParam<SizeCase> {};

TEST_P(BatchSizes, RefusedBeforeAnyFileOrMade) {
    const SizeCase& c = GetParam();
    TempFolder dir;
    makePicture(dir / "a.jpg", 20, 10);
    std::vector<std::string> args = {"thumbnails", "--type", "bmp", "--resize", "fast"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    if (*c.settings) {
        writeFile(dir / "s.ini", c.settings);
        args.insert(args.end(), {"--settings", "s.ini"});
    }
    args.push_back("a.jpg");
    const auto before = folderSnapshot(dir.path());

    std::optional<BatchProcess> process;
    {
        const AddressSpaceLimit limit(rlim_t(2) << 30); // inherited by the tool only
        process.emplace(dir.path(), args);
    }
    const std::optional<BatchResult> r = process->waitFor(20);
    ASSERT_TRUE(r) << "pictorant-batch did not end within 20 seconds";
    EXPECT_EQ(r->status, c.status) << r->out << r->err;
    EXPECT_NE(r->err.find(c.says), std::string::npos) << r->err;
    if (c.status == 0) {
        EXPECT_EQ(pictureSize(dir / "Thumb001.bmp"), c.made);
    } else {
        EXPECT_EQ(folderSnapshot(dir.path()), before) << "something was written";
        if (c.status == 2) {
            EXPECT_EQ(r->out.find("Operation"), std::string::npos) << "the run started";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, BatchSizes,
    ::testing::Values(
        SizeCase{"WidestSide", {"--width", "65535", "--height", "1"}, "", 0, "", {65535, 1}},
        SizeCase{"WidthOnePast",
                 {"--width", "65536", "--height", "1"},
                 "",
                 2,
                 "pictorant-batch: Thumbnail size too large: 65536 x 1" + kLimits},
        SizeCase{"HeightOnePast", {"--width", "1", "--height", "65536"}, "", 2, "1 x 65536"},
        SizeCase{"AreaOnePast",
                 {"--width", "16385", "--height", "16384"},
                 "",
                 2,
                 "too large: 16385 x 16384"},
        SizeCase{"ThirtyThousandSquare",
                 {"--width", "30000", "--height", "30000"},
                 "",
                 2,
                 "too large: 30000 x 30000"},
        SizeCase{"HeightIntMax",
                 {"--width", "1", "--height", "2147483647"},
                 "",
                 2,
                 "too large: 1 x 2147483647"},
        SizeCase{"BothIntMax",
                 {"--width", "2147483647", "--height", "2147483647"},
                 "",
                 2,
                 "too large: 2147483647 x 2147483647"},
        SizeCase{"RatioLargestSideOnePast",
                 {"--ratio", "--width", "65536"},
                 "",
                 2,
                 "Thumbnail size too large: largest side 65536 (at most 65535 pixels a side)."},
        SizeCase{
            "RatioIntMin", {"--ratio", "--width", "-2147483648"}, "", 2, "largest side 2147483648"},
        SizeCase{"RatioLargestSideAtTheCapKeepsTheSource",
                 {"--ratio", "--width", "65535"},
                 "",
                 0,
                 "",
                 {20, 10}},
        // Numbers beyond 32 bits are no numbers at all, never wrapped ones.
        SizeCase{"WidthAllBitsSet",
                 {"--width", "$FFFFFFFF"},
                 "",
                 2,
                 "the thumbnail width must be a whole number, not $FFFFFFFF"},
        SizeCase{"WidthOnePastIntMax",
                 {"--width", "2147483648"},
                 "",
                 2,
                 "width must be a whole number, not 2147483648"},
        SizeCase{"HeightBelowIntMin",
                 {"--height", "-2147483649"},
                 "",
                 2,
                 "height must be a whole number, not -2147483649"},
        SizeCase{"WidthElevenNines",
                 {"--width", "99999999999"},
                 "",
                 2,
                 "width must be a whole number, not 99999999999"},
        SizeCase{"WidthText", {"--width", "wide"}, "", 2, "width must be a whole number, not wide"},
        // A settings file's boxes are read by the same rules.
        SizeCase{"SettingsWidthPast",
                 {},
                 "[Thumbnails]\nThumb Width=70000\n",
                 2,
                 "too large: 70000 x 96"},
        SizeCase{"SettingsWidthAllBitsSet",
                 {},
                 "[Thumbnails]\nThumb Width=0xFFFFFFFF\n",
                 2,
                 "width must be a whole number, not 0xFFFFFFFF"},
        SizeCase{"SettingsRatioAtTheCap",
                 {},
                 "[Thumbnails]\nThumb Width=65535\nThumb Height=99999\nMaintain Ratio=1\n",
                 0,
                 "",
                 {20, 10}},
        // A dry run refuses as the run would.
        SizeCase{"DryRun",
                 {"--dry-run", "--width", "30000", "--height", "30000"},
                 "",
                 2,
                 "too large: 30000 x 30000"},
        // A forced side can only be judged per source: the run stops at it.
        SizeCase{"ForcedSideTooLargeForTheSource",
                 {"--ratio", "--force-width", "--width", "65535"},
                 "",
                 1,
                 "Thumbnail of a.jpg too large: 65535 x 32768" + kLimits}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace pictorant
