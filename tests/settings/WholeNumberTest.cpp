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

INSTANTIATE_TEST_SUITE_P(
    Table, WholeNumberTest,
    ::testing::Values(WholeNumberCase{"90", 90}, WholeNumberCase{"001", 1},
                      WholeNumberCase{"0010", 10}, WholeNumberCase{"-5", -5},
                      WholeNumberCase{"+7", 7}, WholeNumberCase{"0x5A", 90},
                      WholeNumberCase{"0X5a", 90}, WholeNumberCase{"$5A", 90},
                      WholeNumberCase{"$FFFFFFFF", -1}, WholeNumberCase{"0x100000000", {}},
                      WholeNumberCase{"2147483647", 2147483647}, WholeNumberCase{"2147483648", {}},
                      WholeNumberCase{"-2147483648", -2147483647 - 1}, WholeNumberCase{"abc", {}},
                      WholeNumberCase{"", {}}, WholeNumberCase{"-", {}}, WholeNumberCase{"0x", {}},
                      WholeNumberCase{"$", {}}, WholeNumberCase{"12abc", {}},
                      WholeNumberCase{" 5", {}}, WholeNumberCase{"5 ", {}},
                      WholeNumberCase{"1.5", {}}, WholeNumberCase{"0xG1", {}}));

} // namespace
} // namespace pictorant
