#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "record/FieldCatalogue.h"

namespace qv {
namespace {

// The members tile the field record in field order: none overlaps another, 16-bit ones start
// at even offsets, and only the six reserved bytes 108..113 belong to no field.
TEST(FieldCatalogue, MembersCoverTheRecordInFieldOrder) {
    std::vector<int> owner(118, -1);
    for (const FieldInfo& f : catalogue()) {
        EXPECT_EQ(f.offset % f.size, 0u) << f.index;
        EXPECT_TRUE(f.index == 0 || fieldInfo(f.index - 1).offset < f.offset) << f.index;
        for (std::size_t k = f.offset; k < f.offset + f.size; ++k) {
            ASSERT_LT(k, owner.size()) << f.index;
            EXPECT_EQ(owner[k], -1) << "offset " << k << ": fields " << owner[k] << ", " << f.index;
            owner[k] = f.index;
        }
    }
    for (std::size_t k = 0; k < owner.size(); ++k) {
        EXPECT_EQ(owner[k] == -1, k >= 108 && k < 114) << "offset " << k;
    }
}

// A write sends every member but the radio's own values at offsets 14, 15, 23, 24 and 36..59;
// those fields have no page, and only they. Each rule keeps its range and length limit: the
// close levels are 8-bit members kept to 0..6, and only fields 20 and 26 are close levels; the
// largest value of a range fits the field's length limit. Only the filter biases take the date.
// A field is described by index, caption and page; there are none but those of the catalogue.
TEST(FieldCatalogue, EachFieldHasTheRuleOfWhatItHolds) {
    struct Expected {
        std::size_t size;
        int rangeMax;
        int lengthLimit;
    };
    const std::map<ValueRule, Expected> rules = {{ValueRule::CloseLevel, {1, 6, 3}},
                                                 {ValueRule::Byte, {1, 255, 3}},
                                                 {ValueRule::Word, {2, 65535, 5}},
                                                 {ValueRule::ReadOnly, {1, 255, 2}}};
    int sent = 0;
    std::vector<int> closeLevels;
    std::vector<int> takers;
    for (const FieldInfo& f : catalogue()) {
        const bool radiosOwn = f.offset == 14 || f.offset == 15 || f.offset == 23 ||
                               f.offset == 24 || (f.offset >= 36 && f.offset < 60);
        EXPECT_EQ(f.readOnly(), radiosOwn) << f.index;
        EXPECT_EQ(f.rule == ValueRule::ReadOnly, radiosOwn) << f.index;
        EXPECT_EQ(f.page == Page::ReadOnly, radiosOwn) << f.index;
        sent += f.sent ? 1 : 0;
        const Expected& e = rules.at(f.rule);
        EXPECT_EQ(f.size, e.size) << f.index;
        EXPECT_EQ(f.rangeMax, e.rangeMax) << f.index;
        EXPECT_EQ(f.lengthLimit, e.lengthLimit) << f.index;
        if (f.rule == ValueRule::CloseLevel) {
            closeLevels.push_back(f.index);
        }
        if (f.takesDateOnFocus) {
            takers.push_back(f.index);
        }
    }
    EXPECT_EQ(sent, 50);
    EXPECT_EQ(closeLevels, std::vector<int>({20, 26}));
    EXPECT_EQ(takers, std::vector<int>({2, 3}));
    EXPECT_EQ(describeField(20), "field 20 \"***ASQ close level\" on page \"OTHER\"");
    EXPECT_EQ(describeField(68), "field 68 \"UL SQ 1\" on page \"S-Meter\"");
    EXPECT_THROW(fieldInfo(78), std::out_of_range);
    EXPECT_THROW(fieldInfo(-1), std::out_of_range);
}

// The window shows each page's fields in this order, top to bottom, left column first.
TEST(FieldCatalogue, PagesListTheirFieldsInScreenOrder) {
    const std::vector<std::pair<Page, std::vector<int>>> pages = {
        {Page::SMeter, {60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75}},
        {Page::Freq, {0, 1}},
        {Page::Other, {15, 16, 17, 25, 51, 21, 22, 76, 77, 20, 26}},
        {Page::Fm, {4, 5, 6, 23, 24, 52, 54}},
        {Page::Am, {7, 8, 11, 12, 53, 55}},
        {Page::Ssb, {13, 14, 56, 57, 58, 59, 2, 3}},
    };
    for (const auto& [page, fields] : pages) {
        EXPECT_EQ(fieldsOnPage(page), fields) << pageCaption(page);
    }
    EXPECT_EQ(fieldsOnPage(Page::ReadOnly).size(), 28u);
}

// On every page each column is filled from the top without gaps, each place holds one field,
// a frame keeps its columns to itself, and no two captions of a frame (or of a page outside
// frames) are alike.
TEST(FieldCatalogue, PlacesOnAPageAreDistinctAndGapless) {
    for (const Page page : kShownPages) {
        std::map<int, std::set<int>> rows;  // by column
        std::map<int, std::string_view> frameOfColumn;
        std::set<std::pair<std::string_view, std::string_view>> captions;
        for (const int field : fieldsOnPage(page)) {
            const FieldInfo& f = fieldInfo(field);
            EXPECT_TRUE(rows[f.place.column].insert(f.place.row).second) << field;
            EXPECT_EQ(frameOfColumn.try_emplace(f.place.column, f.frame).first->second, f.frame)
                << field;
            EXPECT_TRUE(captions.insert({f.frame, f.caption}).second) << field;
        }
        int column = 0;
        for (const auto& [c, used] : rows) {
            EXPECT_EQ(c, column++) << pageCaption(page);
            EXPECT_EQ(*used.rbegin() + 1, static_cast<int>(used.size())) << pageCaption(page);
        }
    }
}

}  // namespace
}  // namespace qv
