#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "record/EditRules.h"
#include "record/FieldCatalogue.h"

namespace qv {
namespace {

TEST(EditRules, GroupsFollowTheLengthLimitAndTheCloseLevels) {
    const std::pair<int, EditGroup> cases[] = {
        {20, EditGroup::CloseLevel}, {26, EditGroup::CloseLevel}, {25, EditGroup::Byte},
        {58, EditGroup::Byte},       {0, EditGroup::Word},        {77, EditGroup::Word},
        {9, EditGroup::TwoDigit},    {50, EditGroup::TwoDigit},
    };
    for (const auto& [field, group] : cases) {
        EXPECT_EQ(editGroupOf(field), group) << "field " << field;
    }
}

struct ChangeCase {
    EditGroup group;
    std::string text;
    std::string expected;
    friend void PrintTo(const ChangeCase& c, std::ostream* os) {
        *os << static_cast<int>(c.group) << " \"" << c.text << '"';
    }
};

class ChangeRule : public testing::TestWithParam<ChangeCase> {};

TEST_P(ChangeRule, CorrectsTheTextAndIsStableOnItsResult) {
    const ChangeCase& c = GetParam();
    const std::string once = applyChangeRule(c.group, c.text);
    EXPECT_EQ(once, c.expected) << '"' << c.text << '"';
    // The rule runs again on its own replacement; that second run must change nothing.
    EXPECT_EQ(applyChangeRule(c.group, once), once);
}

using enum EditGroup;
INSTANTIATE_TEST_SUITE_P(
    Texts, ChangeRule,
    testing::Values(
        // Within range the text is left alone, leading zeros and fractions included.
        ChangeCase{Byte, "123", "123"}, ChangeCase{Byte, "007", "007"},
        ChangeCase{Byte, "1.5", "1.5"}, ChangeCase{Word, "65535", "65535"},
        ChangeCase{CloseLevel, "6", "6"}, ChangeCase{TwoDigit, "99", "99"},
        // Clamps.
        ChangeCase{Byte, "300", "255"}, ChangeCase{Byte, "256", "255"},
        ChangeCase{Byte, "255.5", "255"}, ChangeCase{Byte, "255.4", "255.4"},
        ChangeCase{Word, "70000", "65535"}, ChangeCase{Word, "1e10", "65535"},
        ChangeCase{CloseLevel, "7", "6"}, ChangeCase{CloseLevel, "200", "6"},
        ChangeCase{TwoDigit, "200", "200"},
        // Below zero.
        ChangeCase{Byte, "-3", "0"}, ChangeCase{Word, "-1e10", "0"},
        ChangeCase{CloseLevel, "-1", "0"}, ChangeCase{TwoDigit, "-1", "0"},
        // Not a number: "0", except in the close levels, which keep it.
        ChangeCase{Byte, "", "0"}, ChangeCase{Word, "abc", "0"}, ChangeCase{TwoDigit, "", "0"},
        ChangeCase{Word, "2026/12/06", "0"}, ChangeCase{CloseLevel, "", ""},
        ChangeCase{CloseLevel, "abc", "abc"}));

TEST(ChangeRule, ReadsTheSystemDecimalSeparator) {
    const NumberFormat comma{.decimalPoint = ","};
    EXPECT_EQ(applyChangeRule(Byte, "255,6", comma), "255");
    EXPECT_EQ(applyChangeRule(Byte, "1,5", comma), "1,5");
    EXPECT_EQ(applyChangeRule(Byte, "1.5", comma), "0");
}

TEST(KeyFilter, LetsOnlyDigitsAndControlCharactersThrough) {
    struct Case {
        int key;
        KeyVerdict verdict;
    };
    const Case cases[] = {
        {'0', {'0', false}}, {'9', {'9', false}},  {8, {8, false}},   {9, {9, false}},
        {127, {127, false}}, {13, {0, true}},  // Enter moves on like Tab, inserting nothing
        {3, {0, false}},     {22, {0, false}},     {24, {0, false}},  // Ctrl+C, Ctrl+V, Ctrl+X
        {'a', {0, false}},   {'e', {0, false}},    {' ', {0, false}}, {'-', {0, false}},
        {'.', {0, false}},   {',', {0, false}},    {'/', {0, false}}, {':', {0, false}},
        {128, {0, false}},   {0x4E00, {0, false}}, {-1, {0, false}},
    };
    for (const Case& c : cases) {
        const KeyVerdict v = filterKey(c.key);
        EXPECT_EQ(v.key, c.verdict.key) << c.key;
        EXPECT_EQ(v.moveFocus, c.verdict.moveFocus) << c.key;
    }
}

TEST(FocusRule, OnlyTheFilterBiasAndSsibFieldsTakeTheDate) {
    for (int i = 0; i < kFieldCount; ++i) {
        EXPECT_EQ(fillsDateOnFocus(i), i == 2 || i == 3 || i == 9 || i == 10) << i;
    }
}

}  // namespace
}  // namespace qv
