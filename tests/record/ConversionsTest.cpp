#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <set>
#include <string>

#include "record/Conversions.h"
#include "record/EditRules.h"
#include "record/FieldCatalogue.h"

namespace qv {
namespace {

// Field texts as the window keeps them: setting a text runs the field's change rule.
class Texts : public FieldTexts {
public:
    std::string Text(int field) const override { return texts_.at(field); }
    void SetText(int field, const std::string& text) override {
        texts_.at(field) = ApplyChangeRule(EditGroupOf(field), text);
    }
    void Put(int field, const std::string& text) { texts_.at(field) = text; }
    void FillAll(const std::string& text) { texts_.fill(text); }

private:
    std::array<std::string, kFieldCount> texts_{};
};

std::set<std::size_t> ReadOnlyOffsets() {
    std::set<std::size_t> offsets = {14, 15, 23, 24};
    for (std::size_t k = 36; k <= 59; ++k) {
        offsets.insert(k);
    }
    return offsets;
}

TEST(ShowByData, ShowsEveryMemberAsUnsignedDecimal) {
    CalibrationRecord image;
    image.SetByte(0, 0xFF);  // VfFreq
    image.SetByte(1, 0xFF);
    image.SetByte(76, 0x34);  // AfSq[0]
    image.SetByte(77, 0x12);
    image.SetByte(23, 200);  // RxBpf, a two-digit field
    image.SetByte(25, 9);    // AsqCloseLevel
    image.SetByte(35, 7);    // SquelchCloseLevel
    FieldRecord record;
    Texts texts;
    ShowByData(image, record, texts);
    EXPECT_EQ(texts.Text(0), "65535");
    EXPECT_EQ(texts.Text(60), "4660");
    EXPECT_EQ(texts.Text(18), "200");
    EXPECT_EQ(texts.Text(1), "0");
    // The close levels are clamped on show; the record keeps what the radio holds.
    EXPECT_EQ(texts.Text(20), "6");
    EXPECT_EQ(texts.Text(26), "6");
    EXPECT_EQ(record.AsqCloseLevel, 9);
    EXPECT_EQ(record.VfFreq, 65535);
}

TEST(GetRecordByImage, LeavesReservedAndReadsNothingPastTheMembers) {
    CalibrationRecord image;
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        image.SetByte(k, 0xA5);
    }
    FieldRecord record;
    record.Reserved = {1, 2, 3, 4, 5, 6};
    GetRecordByImage(image, record);
    EXPECT_EQ(record.Reserved, (std::array<std::uint8_t, 6>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(record.AmAsqL, 0xA5A5);
    EXPECT_EQ(record.TestWorkTxFreq[11], 0xA5);
}

TEST(GetImageByRecord, WritesOnlyTheSentMembers) {
    FieldRecord record = FieldRecord::FromBytes([] {
        FieldRecord::Bytes bytes;
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            bytes[k] = static_cast<std::uint8_t>(k + 1);
        }
        return bytes;
    }());
    CalibrationRecord image;
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        image.SetByte(k, 0xEE);
    }
    GetImageByRecord(record, image);
    const std::set<std::size_t> readOnly = ReadOnlyOffsets();
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        const bool kept = readOnly.contains(k) || (k >= 108 && k <= 113) || k >= 118;
        EXPECT_EQ(image.Byte(k), kept ? 0xEE : k + 1) << "offset " << k;
    }
}

TEST(GetRecordByShow, GathersNumbersTheWayTheChangeRuleReadsThem) {
    Texts texts;
    texts.FillAll("0");
    texts.Put(5, "007");
    texts.Put(6, "1.5");
    texts.Put(7, "2.5");
    texts.Put(8, " 12 ");
    texts.Put(0, "1e3");
    texts.Put(1, "-0");
    texts.Put(2, "65535");
    texts.Put(18, "200");
    FieldRecord record;
    ASSERT_FALSE(GetRecordByShow(texts, record));
    EXPECT_EQ(record.FmLowPower, 7);
    EXPECT_EQ(record.FmHighPower, 2);
    EXPECT_EQ(record.AmLowPower, 2);
    EXPECT_EQ(record.AmHighPower, 12);
    EXPECT_EQ(record.VfFreq, 1000);
    EXPECT_EQ(record.BfFreq, 0);
    EXPECT_EQ(record.UsbFilterBias, 65535);
    EXPECT_EQ(record.RxBpf, 200);
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
    Texts texts;
    texts.FillAll("1");
    texts.Put(bad.field, bad.text);
    FieldRecord record;
    record.Reserved = {9, 9, 9, 9, 9, 9};
    const FieldRecord before = record;
    CalibrationRecord image;
    const std::optional<GatherError> error = GetDataByShow(texts, record, image);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->field, bad.field);
    EXPECT_EQ(error->reason, bad.reason);
    for (const FieldInfo& f : Catalogue()) {
        EXPECT_EQ(record.Member(f.offset, f.size),
                  f.index < bad.field ? 1 : before.Member(f.offset, f.size))
            << "field " << f.index;
    }
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        ASSERT_EQ(image.Byte(k), 0) << "offset " << k;
    }
    EXPECT_NE(error->Message().find(std::string(Field(bad.field).caption)), std::string::npos);
    EXPECT_NE(error->Message().find(std::string(PageCaption(Field(bad.field).page))),
              std::string::npos);
}

using Reason = GatherError::Reason;
INSTANTIATE_TEST_SUITE_P(
    Texts, GatherFailure,
    testing::Values(BadText{0, "", Reason::Empty}, BadText{40, " ", Reason::Empty},
                    BadText{20, "abc", Reason::NotANumber}, BadText{26, "1-2", Reason::NotANumber},
                    BadText{5, "256", Reason::OutOfRange}, BadText{5, "255.5", Reason::OutOfRange},
                    BadText{30, "300", Reason::OutOfRange}, BadText{4, "65536", Reason::OutOfRange},
                    BadText{77, "-1", Reason::OutOfRange},
                    BadText{77, "1e10", Reason::OutOfRange}));

TEST(GatherError, SaysWhatIsWrongInWords) {
    EXPECT_EQ((GatherError{.field = 0, .reason = Reason::Empty, .text = ""}).Message(),
              "The field 0 \"VF FRQ\" on page \"FREQ\" is empty.");
    EXPECT_EQ((GatherError{.field = 20, .reason = Reason::NotANumber, .text = "x"}).Message(),
              "The field 20 \"***ASQ close level\" on page \"OTHER\" holds \"x\", which is not a "
              "number.");
    EXPECT_EQ((GatherError{.field = 5, .reason = Reason::OutOfRange, .text = "300"}).Message(),
              "The field 5 \"FM LOW POWER\" on page \"FM\" holds 300, outside its range 0 to 255.");
}

TEST(Conversions, ShowThenGatherGivesBackTheSameBytes) {
    CalibrationRecord image;
    for (std::size_t k = 0; k < 128; ++k) {
        image.SetByte(k, static_cast<std::uint8_t>(k * 37 + 11));
    }
    image.SetByte(25, 6);  // close levels within what the fields keep
    image.SetByte(35, 0);
    FieldRecord record;
    Texts texts;
    ShowByData(image, record, texts);
    std::array<std::string, kFieldCount> shown;
    for (int i = 0; i < kFieldCount; ++i) {
        shown[i] = texts.Text(i);
    }
    CalibrationRecord again;
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        again.SetByte(k, image.Byte(k));
    }
    FieldRecord gathered;
    ASSERT_FALSE(GetDataByShow(texts, gathered, again));
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        EXPECT_EQ(again.Byte(k), image.Byte(k)) << "offset " << k;
    }
    ShowByRecord(gathered, texts);
    for (int i = 0; i < kFieldCount; ++i) {
        EXPECT_EQ(texts.Text(i), shown[i]) << "field " << i;
    }
}

TEST(Bands, NameAndIndexOfTheTwoFrequencyRanges) {
    EXPECT_EQ(GetFreIndex("400 - 520 MHz"), 0);
    EXPECT_EQ(GetFreIndex("136 - 174 MHz"), 1);
    for (const char* other : {"136 - 174 mhz", "136 - 174  MHz", "", "136 - 174 MHz "}) {
        EXPECT_EQ(GetFreIndex(other), 0) << '"' << other << '"';
    }
    EXPECT_EQ(GetFreStr(0), "400 - 520 MHz");
    EXPECT_EQ(GetFreStr(1), "136 - 174 MHz");
    EXPECT_EQ(GetFreStr(2), "Unknown Band");
    EXPECT_EQ(GetFreStr(-1), "Unknown Band");
}

}  // namespace
}  // namespace qv
