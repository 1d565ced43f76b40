#include "FieldCatalogue.h"

#include <algorithm>
#include <stdexcept>

namespace qv {

namespace {

using Catalog = std::array<FieldInfo, kFieldCount>;

constexpr std::array<std::string_view, 12> kChannelCaptions = {"1", "2", "3", "4",  "5",  "6",
                                                               "7", "8", "9", "10", "11", "12"};
constexpr std::array<std::string_view, 8> kSMeterCaptions = {"1", "3",  "5",  "7",
                                                             "9", "10", "20", "30"};

struct Plain {
    int index;
    std::string_view caption;
    Page page;
    std::string_view member;
    std::size_t offset;
    std::size_t size;
    int maxChars;
    int screenOrder;
};

// Plain members in field order.
constexpr std::array<Plain, 30> kPlainFields = {{
    {0, "VF FRQ", Page::Freq, "VfFreq", 0, 2, 5, 12},
    {1, "BF FRQ", Page::Freq, "BfFreq", 2, 2, 5, 13},
    {2, "USB FILTER BIAS", Page::Ssb, "UsbFilterBias", 4, 2, 5, 33},
    {3, "LSB FILTER BIAS", Page::Ssb, "LsbFilterBias", 6, 2, 5, 34},
    {4, "FM DEVIATION", Page::Fm, "FmDeviation", 8, 2, 5, 14},
    {5, "FM LOW POWER", Page::Fm, "FmLowPower", 10, 1, 3, 15},
    {6, "FM HIGH POWER", Page::Fm, "FmHighPower", 11, 1, 3, 16},
    {7, "AM LOW POWER", Page::Am, "AmLowPower", 12, 1, 3, 21},
    {8, "AM HIGH POWER", Page::Am, "AmHighPower", 13, 1, 3, 22},
    {9, "SSIB LO", Page::ReadOnly, "SsibLo", 14, 1, 2, 0},
    {10, "SSIB HI", Page::ReadOnly, "SsibHi", 15, 1, 2, 0},
    {11, "AM MOD LOW POWER", Page::Am, "AmModLowPower", 16, 1, 3, 23},
    {12, "AM MOD HIGH POWER", Page::Am, "AmModHighPower", 17, 1, 3, 24},
    {13, "SSB PEP LOW POWER", Page::Ssb, "SsbPepLowPower", 18, 1, 3, 27},
    {14, "SSB PEP HIGH POWER", Page::Ssb, "SsbPepHighPower", 19, 1, 3, 28},
    {15, "TX BIAS IQ1", Page::Other, "TxBiasIq1", 20, 1, 3, 1},
    {16, "TX BIAS IQ2", Page::Other, "TxBiasIq2", 21, 1, 3, 2},
    {17, "TX BIAS IQ3", Page::Other, "TxBiasIq3", 22, 1, 3, 3},
    {18, "RX BPF", Page::ReadOnly, "RxBpf", 23, 1, 2, 0},
    {19, "TX BPF", Page::ReadOnly, "TxBpf", 24, 1, 2, 0},
    {20, "***ASQ close level", Page::Other, "AsqCloseLevel", 25, 1, 3, 10},
    {21, "FM ASQH", Page::Other, "FmAsqH", 26, 2, 5, 6},
    {22, "FM ASQL", Page::Other, "FmAsqL", 28, 2, 5, 7},
    {23, "FM CTCSS LEVEL", Page::Fm, "FmCtcssLevel", 30, 2, 5, 17},
    {24, "FM DCS LEVEL", Page::Fm, "FmDcsLevel", 32, 2, 5, 18},
    {25, "RF-GAIN", Page::Other, "RfGain", 34, 1, 3, 4},
    {26, "***Squelch close level", Page::Other, "SquelchCloseLevel", 35, 1, 3, 11},
    {51, "13.8V Voltage Set", Page::Other, "VoltageSet", 60, 2, 5, 5},
    {76, "AM ASQH", Page::Other, "AmAsqH", 114, 2, 5, 8},
    {77, "AM ASQL", Page::Other, "AmAsqL", 116, 2, 5, 9},
}};

constexpr std::array<Plain, 8> kToneFields = {{
    {52, "FM TX RSSI (METER)", Page::Fm, "FmTxRssi", 62, 2, 5, 19},
    {53, "AM TX RSSI (METER)", Page::Am, "AmTxRssi", 64, 2, 5, 25},
    {54, "FM TONE SET", Page::Fm, "FmToneSet", 66, 2, 5, 20},
    {55, "AM TONE SET", Page::Am, "AmToneSet", 68, 2, 5, 26},
    {56, "LSB TONE SET", Page::Ssb, "LsbToneSet", 70, 2, 5, 29},
    {57, "USB TONE SET", Page::Ssb, "UsbToneSet", 72, 2, 5, 30},
    {58, "USB WAVE BALANCE", Page::Ssb, "UsbWaveBalance", 74, 1, 3, 31},
    {59, "LSB WAVE BALANCE", Page::Ssb, "LsbWaveBalance", 75, 1, 3, 32},
}};

constexpr bool editable(Page page) {
    return page != Page::ReadOnly;
}

constexpr void putPlain(Catalog& catalog, const Plain& p) {
    const bool closeLevel = p.index == 20 || p.index == 26;
    catalog[p.index] = FieldInfo{.index = p.index,
                                 .caption = p.caption,
                                 .page = p.page,
                                 .frame = {},
                                 .member = p.member,
                                 .element = -1,
                                 .offset = p.offset,
                                 .size = p.size,
                                 .maxChars = p.maxChars,
                                 .rangeMax = closeLevel ? 6 : (p.size == 1 ? 0xFF : 0xFFFF),
                                 .sent = editable(p.page),
                                 .screenOrder = p.screenOrder};
}

struct Group {
    int firstField;
    std::string_view frame;
    Page page;
    std::string_view member;
    std::size_t firstOffset;
    std::size_t size;
    int maxChars;
    int firstScreenOrder;  // 0: the group is read-only
};

template <std::size_t N>
constexpr void putGroup(Catalog& catalog, const Group& g,
                        const std::array<std::string_view, N>& captions) {
    for (int i = 0; i < static_cast<int>(N); ++i) {
        const int index = g.firstField + i;
        catalog[index] =
            FieldInfo{.index = index,
                      .caption = captions[i],
                      .page = g.page,
                      .frame = g.frame,
                      .member = g.member,
                      .element = i,
                      .offset = g.firstOffset + static_cast<std::size_t>(i) * g.size,
                      .size = g.size,
                      .maxChars = g.maxChars,
                      .rangeMax = g.size == 1 ? 0xFF : 0xFFFF,
                      .sent = editable(g.page),
                      .screenOrder = g.firstScreenOrder == 0 ? 0 : g.firstScreenOrder + i};
    }
}

constexpr Catalog buildCatalogue() {
    Catalog catalog{};
    for (const Plain& p : kPlainFields) {
        putPlain(catalog, p);
    }
    for (const Plain& p : kToneFields) {
        putPlain(catalog, p);
    }
    putGroup(catalog, {27, "TestWorkRxFreq", Page::ReadOnly, "TestWorkRxFreq", 36, 1, 2, 0},
             kChannelCaptions);
    putGroup(catalog, {39, "TestWorkTxFreq", Page::ReadOnly, "TestWorkTxFreq", 48, 1, 2, 0},
             kChannelCaptions);
    putGroup(catalog, {60, "AF SQ", Page::SMeter, "AfSq", 76, 2, 5, 35}, kSMeterCaptions);
    putGroup(catalog, {68, "UL SQ", Page::SMeter, "UlSq", 92, 2, 5, 43}, kSMeterCaptions);
    return catalog;
}

constexpr Catalog kCatalogue = buildCatalogue();

constexpr bool everyRowFilled() {
    for (int i = 0; i < kFieldCount; ++i) {
        if (kCatalogue[i].index != i || kCatalogue[i].size == 0) {
            return false;
        }
    }
    return true;
}
static_assert(everyRowFilled());

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
        return kCatalogue[a].screenOrder < kCatalogue[b].screenOrder;
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
