#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <ostream>

#include "record/NumberText.h"

namespace qv {
namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct Case {
    const char* text;
    std::optional<std::int32_t> value;
    friend void PrintTo(const Case& c, std::ostream* os) { *os << '"' << c.text << '"'; }
};

class ReadNumberWithPoint : public testing::TestWithParam<Case> {};

TEST_P(ReadNumberWithPoint, ReadsTheNearestWholeNumber) {
    EXPECT_EQ(readNumber(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumberWithPoint,
    testing::Values(
        // Plain digits, leading zeros, blanks at either end, signs.
        Case{"0", 0}, Case{"007", 7}, Case{"65535", 65535}, Case{" 12 ", 12}, Case{"\t7\t", 7},
        Case{"+5", 5}, Case{"-0", 0}, Case{"-3", -3},
        // Halves go to the even neighbour, on both sides of zero.
        Case{"1.5", 2}, Case{"2.5", 2}, Case{"0.5", 0}, Case{"-0.5", 0}, Case{"-1.5", -2},
        Case{"3.49", 3}, Case{"3.51", 4}, Case{"5.", 5}, Case{".6", 1},
        // Rounded once, exactly, however many digits.
        Case{"2.50000000000000000001", 3}, Case{"2.49999999999999999999", 2},
        Case{"-2.50000000000000000001", -3}, Case{"2147483646.5", 2147483646},
        // Exponents.
        Case{"1e3", 1000}, Case{"1E+3", 1000}, Case{"25e-1", 2}, Case{"-1e2", -100},
        // Saturation to 32 bits, also past the double range.
        Case{"2147483647", kMax}, Case{"2147483648", kMax}, Case{"-2147483649", kMin},
        Case{"1e10", kMax}, Case{"-1e10", kMin}, Case{"1e400", kMax}, Case{"-1e400", kMin},
        Case{"1e-400", 0}, Case{"1e99999999999999999999", kMax}, Case{"0.000e999", 0},
        // Not numbers.
        Case{"", std::nullopt}, Case{" ", std::nullopt}, Case{".", std::nullopt},
        Case{"abc", std::nullopt}, Case{"12a", std::nullopt}, Case{"1 2", std::nullopt},
        Case{"--1", std::nullopt}, Case{"1e", std::nullopt}, Case{"e3", std::nullopt},
        Case{"1.2.3", std::nullopt}, Case{"inf", std::nullopt}, Case{"nan", std::nullopt},
        Case{"0x10", std::nullopt}, Case{"1,5", std::nullopt}, Case{"1,000", std::nullopt},
        Case{"\xEF\xBC\x91", std::nullopt}, Case{"2026/12/06", std::nullopt}));

TEST(ReadNumber, UsesTheGivenDecimalSeparator) {
    const NumberFormat comma{.decimalPoint = ","};
    EXPECT_EQ(readNumber("1,5", comma), 2);
    EXPECT_EQ(readNumber("2,5e1", comma), 25);
    EXPECT_EQ(readNumber("1.5", comma), std::nullopt);
    const NumberFormat arabic{.decimalPoint = "\xD9\xAB"};
    EXPECT_EQ(readNumber(std::string("3\xD9\xAB") + "5", arabic), 4);
}

}  // namespace
}  // namespace qv
