#include "SettingsFile.h"

#include <gtest/gtest.h>

#include <optional>

namespace pictorant {
namespace {

struct WholeNumberCase {
    const char* text;
    std::optional<std::int32_t> expected;
};

void PrintTo(const WholeNumberCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class WholeNumberTest : public ::testing::TestWithParam<WholeNumberCase> {};

TEST_P(WholeNumberTest, ReadsLikeTheProfileIntegers) {
    const auto& c = GetParam();
    EXPECT_EQ(parseWholeNumber(c.text), c.expected) << "text: \"" << c.text << "\"";
}

INSTANTIATE_TEST_SUITE_P(Table, WholeNumberTest,
                         ::testing::Values(WholeNumberCase{"90", 90}, WholeNumberCase{"001", 1},
                                           WholeNumberCase{"0010", 10}, WholeNumberCase{"-5", -5},
                                           WholeNumberCase{"+7", 7}, WholeNumberCase{"0x5A", 90},
                                           WholeNumberCase{"0X5a", 90}, WholeNumberCase{"$5A", 90},
                                           WholeNumberCase{"-$5A", -90}, WholeNumberCase{"abc", {}},
                                           WholeNumberCase{"", {}}, WholeNumberCase{"-", {}},
                                           WholeNumberCase{"0x", {}}, WholeNumberCase{"$", {}},
                                           WholeNumberCase{"12abc", {}}, WholeNumberCase{" 5", {}},
                                           WholeNumberCase{"5 ", {}}, WholeNumberCase{"1.5", {}},
                                           WholeNumberCase{"0xG1", {}}, WholeNumberCase{"--5", {}},
                                           WholeNumberCase{"-+5", {}}, WholeNumberCase{"0x-5", {}},
                                           WholeNumberCase{"$+5", {}}));

// The edges of a signed 32-bit integer, in both bases: what does not fit is no number
// at all, never a wrapped one.
INSTANTIATE_TEST_SUITE_P(
    Range, WholeNumberTest,
    ::testing::Values(
        WholeNumberCase{"2147483647", 2147483647}, WholeNumberCase{"2147483648", {}},
        WholeNumberCase{"-2147483648", -2147483647 - 1}, WholeNumberCase{"-2147483649", {}},
        WholeNumberCase{"+2147483647", 2147483647}, WholeNumberCase{"+2147483648", {}},
        WholeNumberCase{"99999999999", {}}, WholeNumberCase{"4294967295", {}},
        WholeNumberCase{"4294967296", {}}, WholeNumberCase{"-4294967296", {}},
        WholeNumberCase{"99999999999999999999999", {}},
        WholeNumberCase{"00000000000000000002147483647", 2147483647},
        WholeNumberCase{"$7FFFFFFF", 2147483647}, WholeNumberCase{"0x7fffffff", 2147483647},
        WholeNumberCase{"$80000000", {}}, WholeNumberCase{"$FFFFFFFF", {}},
        WholeNumberCase{"0xFFFFFFFF", {}}, WholeNumberCase{"0x100000000", {}},
        WholeNumberCase{"-$80000000", -2147483647 - 1}, WholeNumberCase{"-0x80000001", {}},
        WholeNumberCase{"-$FFFFFFFF", {}},
        WholeNumberCase{"$0000000000000000007FFFFFFF", 2147483647},
        WholeNumberCase{"$FFFFFFFFFFFFFFFFFF", {}}));

} // namespace
} // namespace pictorant
