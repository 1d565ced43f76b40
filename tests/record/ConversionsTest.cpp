#include <gtest/gtest.h>

#include <string>

#include "record/Conversions.h"
#include "record/FieldCatalogue.h"
#include "tests/support/FakeFieldTexts.h"

namespace qv {
namespace {

using test::FakeFieldTexts;

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
        // The radio's own values, the reserved bytes and those beyond the record.
        const bool kept = k == 14 || k == 15 || k == 23 || k == 24 || (k >= 36 && k <= 59) ||
                          (k >= 108 && k <= 113) || k >= 118;
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

// A bad text stops the gather at its field: the fields before it are stored, it and the
// fields after it are not, and nothing reaches the calibration record.
TEST(Conversions, AGatherStopsAtABadTextNamingItsField) {
    using enum GatherError::Reason;
    const std::tuple<int, const char*, GatherError::Reason> cases[] = {
        {0, "", Empty},           {70, " ", Empty},  // empty, then no number, then out of range
        {20, "abc", NotANumber},  {26, "1-2", NotANumber},   {5, "256", OutOfRange},
        {5, "255.5", OutOfRange}, {60, "70000", OutOfRange}, {4, "65536", OutOfRange},
        {77, "-1", OutOfRange},   {77, "1e10", OutOfRange}};
    for (const auto& [field, text, reason] : cases) {
        SCOPED_TRACE(std::to_string(field) + " \"" + text + '"');
        FakeFieldTexts texts;
        texts.texts.fill("1");
        texts.texts[field] = text;
        FieldRecord record;
        CalibrationRecord image;
        const std::optional<GatherError> error = textsToImage(texts, record, image);
        ASSERT_TRUE(error);
        EXPECT_EQ(error->field, field);
        EXPECT_EQ(error->reason, reason);
        for (const FieldInfo& f : catalogue()) {
            EXPECT_EQ(record.member(f.offset, f.size), f.index < field && !f.readOnly() ? 1 : 0)
                << "field " << f.index;
        }
        for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
            ASSERT_EQ(image.byte(k), 0) << "offset " << k;
        }
    }
}

}  // namespace
}  // namespace qv
