#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/FieldCatalogue.h"

namespace qv {
namespace {

// The catalogue as the window and the radio's memory map give it, written out independently
// of how the library builds it, so that one wrong cell fails.
struct Row {
    int field;
    const char* caption;
    Page page;
    std::size_t offset;
    std::size_t size;
    int maxChars;
    int rangeMax;
    bool sent;
    int screenOrder;
};

std::vector<Row> expectedRows() {
    using enum Page;
    std::vector<Row> rows = {
        {0, "VF FRQ", Freq, 0, 2, 5, 65535, true, 12},
        {1, "BF FRQ", Freq, 2, 2, 5, 65535, true, 13},
        {2, "USB FILTER BIAS", Ssb, 4, 2, 5, 65535, true, 33},
        {3, "LSB FILTER BIAS", Ssb, 6, 2, 5, 65535, true, 34},
        {4, "FM DEVIATION", Fm, 8, 2, 5, 65535, true, 14},
        {5, "FM LOW POWER", Fm, 10, 1, 3, 255, true, 15},
        {6, "FM HIGH POWER", Fm, 11, 1, 3, 255, true, 16},
        {7, "AM LOW POWER", Am, 12, 1, 3, 255, true, 21},
        {8, "AM HIGH POWER", Am, 13, 1, 3, 255, true, 22},
        {9, "SSIB LO", ReadOnly, 14, 1, 2, 255, false, 0},
        {10, "SSIB HI", ReadOnly, 15, 1, 2, 255, false, 0},
        {11, "AM MOD LOW POWER", Am, 16, 1, 3, 255, true, 23},
        {12, "AM MOD HIGH POWER", Am, 17, 1, 3, 255, true, 24},
        {13, "SSB PEP LOW POWER", Ssb, 18, 1, 3, 255, true, 27},
        {14, "SSB PEP HIGH POWER", Ssb, 19, 1, 3, 255, true, 28},
        {15, "TX BIAS IQ1", Other, 20, 1, 3, 255, true, 1},
        {16, "TX BIAS IQ2", Other, 21, 1, 3, 255, true, 2},
        {17, "TX BIAS IQ3", Other, 22, 1, 3, 255, true, 3},
        {18, "RX BPF", ReadOnly, 23, 1, 2, 255, false, 0},
        {19, "TX BPF", ReadOnly, 24, 1, 2, 255, false, 0},
        {20, "***ASQ close level", Other, 25, 1, 3, 6, true, 10},
        {21, "FM ASQH", Other, 26, 2, 5, 65535, true, 6},
        {22, "FM ASQL", Other, 28, 2, 5, 65535, true, 7},
        {23, "FM CTCSS LEVEL", Fm, 30, 2, 5, 65535, true, 17},
        {24, "FM DCS LEVEL", Fm, 32, 2, 5, 65535, true, 18},
        {25, "RF-GAIN", Other, 34, 1, 3, 255, true, 4},
        {26, "***Squelch close level", Other, 35, 1, 3, 6, true, 11},
        {51, "13.8V Voltage Set", Other, 60, 2, 5, 65535, true, 5},
        {52, "FM TX RSSI (METER)", Fm, 62, 2, 5, 65535, true, 19},
        {53, "AM TX RSSI (METER)", Am, 64, 2, 5, 65535, true, 25},
        {54, "FM TONE SET", Fm, 66, 2, 5, 65535, true, 20},
        {55, "AM TONE SET", Am, 68, 2, 5, 65535, true, 26},
        {56, "LSB TONE SET", Ssb, 70, 2, 5, 65535, true, 29},
        {57, "USB TONE SET", Ssb, 72, 2, 5, 65535, true, 30},
        {58, "USB WAVE BALANCE", Ssb, 74, 1, 3, 255, true, 31},
        {59, "LSB WAVE BALANCE", Ssb, 75, 1, 3, 255, true, 32},
        {76, "AM ASQH", Other, 114, 2, 5, 65535, true, 8},
        {77, "AM ASQL", Other, 116, 2, 5, 65535, true, 9},
    };
    const char* channels[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12"};
    const char* points[] = {"1", "3", "5", "7", "9", "10", "20", "30"};
    for (int i = 0; i < 12; ++i) {
        rows.push_back({27 + i, channels[i], Page::ReadOnly, 36u + i, 1, 2, 255, false, 0});
        rows.push_back({39 + i, channels[i], Page::ReadOnly, 48u + i, 1, 2, 255, false, 0});
    }
    for (int i = 0; i < 8; ++i) {
        rows.push_back({60 + i, points[i], Page::SMeter, 76u + 2 * i, 2, 5, 65535, true, 35 + i});
        rows.push_back({68 + i, points[i], Page::SMeter, 92u + 2 * i, 2, 5, 65535, true, 43 + i});
    }
    return rows;
}

TEST(FieldCatalogue, EveryCellMatchesTheLayout) {
    const std::vector<Row> rows = expectedRows();
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kFieldCount));
    for (const Row& row : rows) {
        SCOPED_TRACE("field " + std::to_string(row.field));
        const FieldInfo& f = fieldInfo(row.field);
        EXPECT_EQ(f.index, row.field);
        EXPECT_EQ(f.caption, row.caption);
        EXPECT_EQ(f.page, row.page);
        EXPECT_EQ(f.offset, row.offset);
        EXPECT_EQ(f.size, row.size);
        EXPECT_EQ(f.maxChars, row.maxChars);
        EXPECT_EQ(f.rangeMax, row.rangeMax);
        EXPECT_EQ(f.sent, row.sent);
        EXPECT_EQ(f.screenOrder, row.screenOrder);
    }
}

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

TEST(FieldCatalogue, DescribesAFieldForTheUser) {
    EXPECT_EQ(describeField(20), "field 20 \"***ASQ close level\" on page \"OTHER\"");
    EXPECT_EQ(describeField(68), "field 68 \"UL SQ 1\" on page \"S-Meter\"");
    EXPECT_THROW(fieldInfo(78), std::out_of_range);
    EXPECT_THROW(fieldInfo(-1), std::out_of_range);
}

}  // namespace
}  // namespace qv
