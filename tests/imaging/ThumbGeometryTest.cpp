#include "imaging/ThumbGeometry.h"
#include "imaging/PictureError.h"
#include "tests/support/FileFaults.h"

#include <gtest/gtest.h>

#include <limits>

using namespace pictorant;

namespace {

// The ratio kept within `maxSide`, or a side forced to it.
ThumbSizeOptions fit(int maxSide, bool forceWidth = false, bool forceHeight = false) {
    return {maxSide, 96, true, forceWidth, forceHeight};
}

// Each case gives the size as "w x h", or the error a zero divisor raises.
TEST(ThumbSize, FollowsTheRulesAndZeroDivisorsRaiseFloatingPointErrors) {
    const char* byZero = "Floating point division by zero";
    const char* invalid = "Invalid floating point operation";
    const struct {
        const char* what;
        int w, h;
        ThumbSizeOptions options;
        const char* expected;
    } cases[] = {
        // clang-format off
        {"landscape", 400, 300, fit(100), "100 x 75"},
        {"portrait", 300, 400, fit(100), "75 x 100"},
        {"smaller than the limit is kept", 80, 60, fit(100), "80 x 60"},
        {"a side equal to the limit scales", 100, 60, fit(100), "100 x 60"},
        {"50.5 rounds to the even 50", 200, 100, fit(101), "101 x 50"},
        {"51.5 rounds to the even 52", 200, 103, fit(100), "100 x 52"},
        {"a side may become 0", 1000, 5, fit(96), "96 x 0"},
        {"square not smaller than the limit", 500, 500, fit(96), "96 x 96"},
        {"square smaller than the limit", 50, 50, fit(96), "50 x 50"},
        {"force width enlarges", 300, 200, fit(600, true), "600 x 400"},
        {"force height enlarges", 300, 200, fit(600, false, true), "900 x 600"},
        {"force width wins over force height", 300, 200, {600, 96, true, true, true}, "600 x 400"},
        {"a negative width box is a limit of its absolute value", 400, 300, fit(-120), "120 x 90"},
        {"ratio off takes the boxes as typed", 400, 300, {-120, 50, false, true, true}, "-120 x 50"},
        {"ratio off makes every thumbnail the box size", 1000, 5, {96, 96, false, false, false}, "96 x 96"},
        // 3/10 in 64-bit-mantissa precision lies just above 0.3, so 28.5 rounds up; in
        // double precision it would lie below and give 28.
        {"the quotient is extended precision", 1000, 300, fit(95), "95 x 29"},
        {"2.1 x 15 = 31.5 lies just below in extended precision", 100, 15, fit(210, true), "210 x 31"},
        {"empty picture kept under the limit", 0, 0, fit(96), "0 x 0"},
        {"zero width with a tall picture", 0, 200, fit(96), "0 x 96"},
        // clang-format on
        {"force width of a zero-width picture", 0, 10, fit(96, true), byZero},
        {"force height of a zero-height picture", 10, 0, fit(96, false, true), byZero},
        {"0 / 0 when the limit is 0 as well", 0, 10, fit(0, true), invalid},
        {"fit of an empty picture with limit 0", 0, 0, fit(0), invalid},
        {"a result beyond the range of whole numbers", 1, 1000000, fit(1000000, true), invalid},
        {"the most negative width box", 10, 10, fit(std::numeric_limits<int>::min()), invalid},
    };
    for (const auto& c : cases) {
        std::string size;
        const std::string error = pictorant::testing::errorOf<PictureError>(
            [&] {
                const ThumbSize s = ComputeThumbSize(c.w, c.h, c.options);
                size = std::to_string(s.width) + " x " + std::to_string(s.height);
            },
            "");
        EXPECT_EQ(error.empty() ? size : error, c.expected) << c.what;
    }
}

} // namespace
