#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "record/EditRules.h"

namespace qv {
namespace {

// Fields of each value rule.
constexpr int kCloseLevel = 20;
constexpr int kByte = 25;
constexpr int kWord = 0;
constexpr int kReadOnly = 9;

// The rule runs again on its own replacement; that second run must change nothing.
TEST(ChangeRule, CorrectsTheTextAndIsStableOnItsResult) {
    // Within range the text is left alone, leading zeros and fractions included; beyond it, it is
    // clamped; below zero it is 0; no number is "0", except in the close levels, which keep it.
    const std::tuple<int, const char*, const char*> cases[] = {
        {kByte, "123", "123"},     {kByte, "007", "007"},  // in the order of the rules above
        {kByte, "1.5", "1.5"},     {kWord, "65535", "65535"},  {kCloseLevel, "6", "6"},
        {kReadOnly, "99", "99"},   {kByte, "300", "255"},      {kByte, "256", "255"},
        {kByte, "255.5", "255"},   {kByte, "255.4", "255.4"},  {kWord, "70000", "65535"},
        {kWord, "1e10", "65535"},  {kCloseLevel, "7", "6"},    {26, "200", "6"},
        {kReadOnly, "200", "200"}, {kByte, "-3", "0"},         {kWord, "-1e10", "0"},
        {kCloseLevel, "-1", "0"},  {kReadOnly, "-1", "0"},     {kByte, "", "0"},
        {kWord, "abc", "0"},       {kReadOnly, "", "0"},       {kWord, "2026/12/06", "0"},
        {kCloseLevel, "", ""},     {kCloseLevel, "abc", "abc"}};
    for (const auto& [field, text, expected] : cases) {
        const std::string once = applyChangeRule(field, text);
        EXPECT_EQ(once, expected) << field << " \"" << text << '"';
        EXPECT_EQ(applyChangeRule(field, once), once) << field << " \"" << text << '"';
    }
}

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
