#include "FieldCatalogue.h"

#include <algorithm>
#include <stdexcept>

namespace qv {

namespace {

using Catalog = std::array<FieldInfo, kFieldCount>;
using enum ValueRule;

constexpr std::array<std::string_view, 12> kChannelCaptions = {"1", "2", "3", "4",  "5",  "6",
                                                               "7", "8", "9", "10", "11", "12"};
constexpr std::array<std::string_view, 8> kSMeterCaptions = {"1", "3",  "5",  "7",
                                                             "9", "10", "20", "30"};

constexpr bool kTakesDate = true;

struct Plain {
    int index;
    std::string_view caption;
    Page page;
    std::size_t offset;
    std::size_t size;
    ValueRule rule;
    Place place;
    bool takesDateOnFocus = false;
};

// Plain members in field order.
constexpr std::array<Plain, 38> kPlainFields = {{
    {0, "VF FRQ", Page::Freq, 0, 2, Word, {0, 0}},
    {1, "BF FRQ", Page::Freq, 2, 2, Word, {0, 1}},
    {2, "USB FILTER BIAS", Page::Ssb, 4, 2, Word, {1, 2}, kTakesDate},
    {3, "LSB FILTER BIAS", Page::Ssb, 6, 2, Word, {1, 3}, kTakesDate},
    {4, "FM DEVIATION", Page::Fm, 8, 2, Word, {0, 0}},
    {5, "FM LOW POWER", Page::Fm, 10, 1, Byte, {0, 1}},
    {6, "FM HIGH POWER", Page::Fm, 11, 1, Byte, {0, 2}},
    {7, "AM LOW POWER", Page::Am, 12, 1, Byte, {0, 0}},
    {8, "AM HIGH POWER", Page::Am, 13, 1, Byte, {0, 1}},
    {9, "SSIB LO", Page::ReadOnly, 14, 1, ReadOnly, {}},
    {10, "SSIB HI", Page::ReadOnly, 15, 1, ReadOnly, {}},
    {11, "AM MOD LOW POWER", Page::Am, 16, 1, Byte, {0, 2}},
    {12, "AM MOD HIGH POWER", Page::Am, 17, 1, Byte, {0, 3}},
    {13, "SSB PEP LOW POWER", Page::Ssb, 18, 1, Byte, {0, 0}},
    {14, "SSB PEP HIGH POWER", Page::Ssb, 19, 1, Byte, {0, 1}},
    {15, "TX BIAS IQ1", Page::Other, 20, 1, Byte, {0, 0}},
    {16, "TX BIAS IQ2", Page::Other, 21, 1, Byte, {0, 1}},
    {17, "TX BIAS IQ3", Page::Other, 22, 1, Byte, {0, 2}},
    {18, "RX BPF", Page::ReadOnly, 23, 1, ReadOnly, {}},
    {19, "TX BPF", Page::ReadOnly, 24, 1, ReadOnly, {}},
    {20, "***ASQ close level", Page::Other, 25, 1, CloseLevel, {1, 4}},
    {21, "FM ASQH", Page::Other, 26, 2, Word, {1, 0}},
    {22, "FM ASQL", Page::Other, 28, 2, Word, {1, 1}},
    {23, "FM CTCSS LEVEL", Page::Fm, 30, 2, Word, {0, 3}},
    {24, "FM DCS LEVEL", Page::Fm, 32, 2, Word, {1, 0}},
    {25, "RF-GAIN", Page::Other, 34, 1, Byte, {0, 3}},
    {26, "***Squelch close level", Page::Other, 35, 1, CloseLevel, {1, 5}},
    {51, "13.8V Voltage Set", Page::Other, 60, 2, Word, {0, 4}},
    {52, "FM TX RSSI (METER)", Page::Fm, 62, 2, Word, {1, 1}},
    {53, "AM TX RSSI (METER)", Page::Am, 64, 2, Word, {0, 4}},
    {54, "FM TONE SET", Page::Fm, 66, 2, Word, {1, 2}},
    {55, "AM TONE SET", Page::Am, 68, 2, Word, {0, 5}},
    {56, "LSB TONE SET", Page::Ssb, 70, 2, Word, {0, 2}},
    {57, "USB TONE SET", Page::Ssb, 72, 2, Word, {0, 3}},
    {58, "USB WAVE BALANCE", Page::Ssb, 74, 1, Byte, {1, 0}},
    {59, "LSB WAVE BALANCE", Page::Ssb, 75, 1, Byte, {1, 1}},
    {76, "AM ASQH", Page::Other, 114, 2, Word, {1, 2}},
    {77, "AM ASQL", Page::Other, 116, 2, Word, {1, 3}},
}};

// An array member whose elements are consecutive fields in a frame, filling its columns top to
// bottom.
struct Group {
    int firstField;
    std::string_view frame;
    Page page;
    std::size_t firstOffset;
    std::size_t size;
    ValueRule rule;
    int firstColumn;
    int rowsPerColumn;
};

constexpr int lengthLimitOf(ValueRule rule) {
    switch (rule) {
        case CloseLevel:
        case Byte:
            return 3;
        case Word:
            return 5;
        case ReadOnly:
            break;
    }
    return 2;
}

constexpr int rangeMaxOf(ValueRule rule, std::size_t size) {
    return rule == CloseLevel ? 6 : (size == 1 ? 0xFF : 0xFFFF);
}

constexpr FieldInfo makeField(int index, std::string_view caption, Page page,
                              std::string_view frame, std::size_t offset, std::size_t size,
                              ValueRule rule, Place place, bool takesDateOnFocus) {
    return FieldInfo{.index = index,
                     .caption = caption,
                     .page = page,
                     .frame = frame,
                     .offset = offset,
                     .size = size,
                     .rule = rule,
                     .lengthLimit = lengthLimitOf(rule),
                     .takesDateOnFocus = takesDateOnFocus,
                     .place = place,
                     .rangeMax = rangeMaxOf(rule, size),
                     .sent = rule != ReadOnly};
}

template <std::size_t N>
constexpr void putGroup(Catalog& catalog, const Group& g,
                        const std::array<std::string_view, N>& captions) {
    for (int i = 0; i < static_cast<int>(N); ++i) {
        catalog[g.firstField + i] = makeField(
            g.firstField + i, captions[i], g.page, g.frame,
            g.firstOffset + static_cast<std::size_t>(i) * g.size, g.size, g.rule,
            {.column = g.firstColumn + i / g.rowsPerColumn, .row = i % g.rowsPerColumn}, false);
    }
}

constexpr Catalog buildCatalogue() {
    Catalog catalog{};
    for (const Plain& p : kPlainFields) {
        catalog[p.index] = makeField(p.index, p.caption, p.page, {}, p.offset, p.size, p.rule,
                                     p.place, p.takesDateOnFocus);
    }
    putGroup(catalog, {27, "TestWorkRxFreq", Page::ReadOnly, 36, 1, ReadOnly, 0, 9},
             kChannelCaptions);
    putGroup(catalog, {39, "TestWorkTxFreq", Page::ReadOnly, 48, 1, ReadOnly, 2, 9},
             kChannelCaptions);
    putGroup(catalog, {60, "AF SQ", Page::SMeter, 76, 2, Word, 0, 4}, kSMeterCaptions);
    putGroup(catalog, {68, "UL SQ", Page::SMeter, 92, 2, Word, 2, 4}, kSMeterCaptions);
    return catalog;
}

constexpr Catalog kCatalogue = buildCatalogue();

// Every row is filled, a word is a 16-bit member and the other rules 8-bit ones, and exactly
// the fields that no page shows are read-only.
constexpr bool everyRowConsistent() {
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldInfo& f = kCatalogue[i];
        if (f.index != i || f.size != (f.rule == Word ? 2u : 1u) ||
            (f.rule == ReadOnly) != (f.page == Page::ReadOnly)) {
            return false;
        }
    }
    return true;
}
static_assert(everyRowConsistent());

constexpr std::array<std::string_view, 7> kPageCaptions = {"read-only", "S-Meter", "FREQ", "OTHER",
                                                           "FM",        "AM",      "SSB"};

}  // namespace

std::string_view pageCaption(Page page) {
    return kPageCaptions.at(static_cast<std::size_t>(page));
}

const std::array<FieldInfo, kFieldCount>& catalogue() {
    return kCatalogue;
}

const FieldInfo& fieldInfo(int index) {
    return kCatalogue.at(static_cast<std::size_t>(index));
}

std::vector<int> fieldsOnPage(Page page) {
    std::vector<int> fields;
    for (const FieldInfo& f : kCatalogue) {
        if (f.page == page) {
            fields.push_back(f.index);
        }
    }
    std::stable_sort(fields.begin(), fields.end(), [](int a, int b) {
        const Place& p = kCatalogue[a].place;
        const Place& q = kCatalogue[b].place;
        return p.column != q.column ? p.column < q.column : p.row < q.row;
    });
    return fields;
}

std::string fieldName(int index) {
    const FieldInfo& f = fieldInfo(index);
    return f.frame.empty() ? std::string(f.caption)
                           : std::string(f.frame) + " " + std::string(f.caption);
}

std::string describeField(int index) {
    return "field " + std::to_string(index) + " \"" + fieldName(index) + "\" on page \"" +
           std::string(pageCaption(fieldInfo(index).page)) + "\"";
}

}  // namespace qv
