#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "record/Conversions.h"
#include "record/FieldCatalogue.h"
#include "tests/support/FakeFieldTexts.h"

namespace qv {
namespace {

using test::FakeFieldTexts;

bool readOnlyOffset(std::size_t k) {
    return k == 14 || k == 15 || k == 23 || k == 24 || (k >= 36 && k <= 59);
}

bool unheldOffset(std::size_t k) {
    return (k >= 108 && k <= 113) || k >= 118;
}

// The radio's memory into the fields and back: every editable member as unsigned decimal, the
// read-only members only in the record, and the bytes no field holds never touched.
TEST(Conversions, ShowAndGatherTouchOnlyWhatTheFieldsHold) {
    CalibrationRecord image;
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        image.setByte(k, static_cast<std::uint8_t>(k * 37 + 11));
    }
    image.setByte(0, 0xFF);  // VfFreq 65535
    image.setByte(1, 0xFF);
    image.setByte(25, 9);  // a close level the radio holds beyond what the field shows
    FieldRecord record;
    record.Reserved = {1, 2, 3, 4, 5, 6};
    FakeFieldTexts texts;
    imageToTexts(image, record, texts);
    EXPECT_EQ(texts.texts[0], "65535");
    EXPECT_EQ(texts.texts[60], "11271");  // 0x2C07, little-endian at 76
    EXPECT_EQ(texts.texts[20], "9");
    EXPECT_EQ(texts.texts[18], "");  // read-only: in the record, never a text
    EXPECT_EQ(record.RxBpf, image.byte(23));
    EXPECT_EQ(record.Reserved, (std::array<std::uint8_t, 6>{1, 2, 3, 4, 5, 6}));

    CalibrationRecord gathered;
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        gathered.setByte(k, 0xEE);
    }
    texts.texts[18] = "1";  // a read-only field's text is never gathered
    FieldRecord again;
    ASSERT_FALSE(textsToImage(texts, again, gathered));
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        const bool kept = readOnlyOffset(k) || unheldOffset(k);
        EXPECT_EQ(gathered.byte(k), kept ? 0xEE : image.byte(k)) << "offset " << k;
    }
}

TEST(Conversions, GatherReadsNumbersTheWayTheChangeRuleDoes) {
    const std::tuple<int, const char*, int> cases[] = {
        {5, "007", 7},    {6, "1.5", 2}, {7, "2.5", 2},      {8, " 12 ", 12},
        {0, "1e3", 1000}, {1, "-0", 0},  {2, "65535", 65535}};
    FakeFieldTexts texts;
    texts.texts.fill("0");
    for (const auto& [field, text, value] : cases) {
        texts.texts[field] = text;
    }
    FieldRecord record;
    ASSERT_FALSE(textsToRecord(texts, record));
    for (const auto& [field, text, value] : cases) {
        EXPECT_EQ(record.member(fieldInfo(field).offset, fieldInfo(field).size), value) << text;
    }
}

struct BadText {
    int field;
    std::string text;
    GatherError::Reason reason;
    friend void PrintTo(const BadText& b, std::ostream* os) {
        *os << "field " << b.field << " \"" << b.text << '"';
    }
};

class GatherFailure : public testing::TestWithParam<BadText> {};

// A bad text stops the gather at its field: the fields before it are stored, it and the
// fields after it are not, and nothing reaches the calibration record.
TEST_P(GatherFailure, NamesTheFieldAndStoresNothingOutOfRange) {
    const BadText& bad = GetParam();
    FakeFieldTexts texts;
    texts.texts.fill("1");
    texts.texts[bad.field] = bad.text;
    FieldRecord record;
    CalibrationRecord image;
    const std::optional<GatherError> error = textsToImage(texts, record, image);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->field, bad.field);
    EXPECT_EQ(error->reason, bad.reason);
    for (const FieldInfo& f : catalogue()) {
        EXPECT_EQ(record.member(f.offset, f.size), f.index < bad.field && !f.readOnly() ? 1 : 0)
            << "field " << f.index;
    }
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        ASSERT_EQ(image.byte(k), 0) << "offset " << k;
    }
}

using Reason = GatherError::Reason;
INSTANTIATE_TEST_SUITE_P(
    Texts, GatherFailure,
    testing::Values(BadText{0, "", Reason::Empty}, BadText{70, " ", Reason::Empty},
                    BadText{20, "abc", Reason::NotANumber}, BadText{26, "1-2", Reason::NotANumber},
                    BadText{5, "256", Reason::OutOfRange}, BadText{5, "255.5", Reason::OutOfRange},
                    BadText{60, "70000", Reason::OutOfRange},
                    BadText{4, "65536", Reason::OutOfRange}, BadText{77, "-1", Reason::OutOfRange},
                    BadText{77, "1e10", Reason::OutOfRange}));

}  // namespace
}  // namespace qv
