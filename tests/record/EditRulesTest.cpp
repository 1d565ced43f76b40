#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "record/EditRules.h"

namespace qv {
namespace {

// Fields of each value rule.
constexpr int kCloseLevel = 20;
constexpr int kByte = 25;
constexpr int kWord = 0;
constexpr int kReadOnly = 9;

struct ChangeCase {
    int field;
    std::string text;
    std::string expected;
    friend void PrintTo(const ChangeCase& c, std::ostream* os) {
        *os << "field " << c.field << " \"" << c.text << '"';
    }
};

class ChangeRule : public testing::TestWithParam<ChangeCase> {};

TEST_P(ChangeRule, CorrectsTheTextAndIsStableOnItsResult) {
    const ChangeCase& c = GetParam();
    const std::string once = applyChangeRule(c.field, c.text);
    EXPECT_EQ(once, c.expected);
    // The rule runs again on its own replacement; that second run must change nothing.
    EXPECT_EQ(applyChangeRule(c.field, once), once);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ChangeRule,
    testing::Values(
        // Within range the text is left alone, leading zeros and fractions included.
        ChangeCase{kByte, "123", "123"}, ChangeCase{kByte, "007", "007"},
        ChangeCase{kByte, "1.5", "1.5"}, ChangeCase{kWord, "65535", "65535"},
        ChangeCase{kCloseLevel, "6", "6"}, ChangeCase{kReadOnly, "99", "99"},
        // Clamps.
        ChangeCase{kByte, "300", "255"}, ChangeCase{kByte, "256", "255"},
        ChangeCase{kByte, "255.5", "255"}, ChangeCase{kByte, "255.4", "255.4"},
        ChangeCase{kWord, "70000", "65535"}, ChangeCase{kWord, "1e10", "65535"},
        ChangeCase{kCloseLevel, "7", "6"}, ChangeCase{26, "200", "6"},
        ChangeCase{kReadOnly, "200", "200"},
        // Below zero.
        ChangeCase{kByte, "-3", "0"}, ChangeCase{kWord, "-1e10", "0"},
        ChangeCase{kCloseLevel, "-1", "0"}, ChangeCase{kReadOnly, "-1", "0"},
        // Not a number: "0", except in the close levels, which keep it.
        ChangeCase{kByte, "", "0"}, ChangeCase{kWord, "abc", "0"}, ChangeCase{kReadOnly, "", "0"},
        ChangeCase{kWord, "2026/12/06", "0"}, ChangeCase{kCloseLevel, "", ""},
        ChangeCase{kCloseLevel, "abc", "abc"}));

TEST(ChangeRule, ReadsTheSystemDecimalSeparator) {
    const NumberFormat comma{.decimalPoint = ","};
    EXPECT_EQ(applyChangeRule(kByte, "255,6", comma), "255");
    EXPECT_EQ(applyChangeRule(kByte, "1,5", comma), "1,5");
    EXPECT_EQ(applyChangeRule(kByte, "1.5", comma), "0");
}

// A text longer than the field's limit is taken as the whole number it reads as, brought into
// range, or refused (nothing) when it is no number: never cut to its first characters.
TEST(LengthLimit, ALongTextGivesItsNumberOrNothing) {
    // Within the limit a text stays as it is.
    const std::tuple<int, const char*, const char*> cases[] = {
        {kByte, "1.5", "1.5"},      {kByte, "abc", "abc"},        {kByte, " 12.5 ", "12"},
        {kByte, "000000012", "12"}, {kByte, "  13.5", "14"},      {kByte, "1000", "255"},
        {kByte, "-12345", "0"},     {kCloseLevel, "  5  ", "5"},  {kCloseLevel, "0009", "6"},
        {kWord, "123456", "65535"}, {kWord, "00000000042", "42"}, {kReadOnly, "0000012", "12"}};
    for (const auto& [field, text, expected] : cases) {
        EXPECT_EQ(fitLengthLimit(field, text), expected) << field << " \"" << text << '"';
    }
    // No number, or one too long for a read-only field, which has no top: refused.
    for (const auto& [field, text] :
         {std::pair{kByte, "12 34"}, {kCloseLevel, "abcd"}, {kReadOnly, "0000123"}}) {
        EXPECT_EQ(fitLengthLimit(field, text), std::nullopt) << field << " \"" << text << '"';
    }
    EXPECT_EQ(fitLengthLimit(kByte, "0012,6", {.decimalPoint = ","}), "13");
    const std::string threeCharacters = "\xE4\xB8\x80\xE4\xB8\x80\xE4\xB8\x80";  // in 9 bytes
    EXPECT_EQ(fitLengthLimit(kByte, threeCharacters), threeCharacters);
}

TEST(KeyFilter, LetsOnlyDigitsAndControlCharactersThrough) {
    for (const char32_t passes : {U'0', U'9', U'\b', U'\t', U'\x7F', U'\x01'}) {
        EXPECT_TRUE(typedCharacterPasses(passes)) << static_cast<int>(passes);
    }
    for (const char32_t dropped :
         {U'a', U'e', U' ', U'-', U'+', U'.', U',', U'/', U':', U'\x80', U'\u4E00', U'\uFF11'}) {
        EXPECT_FALSE(typedCharacterPasses(dropped)) << static_cast<int>(dropped);
    }
}

}  // namespace
}  // namespace qv
