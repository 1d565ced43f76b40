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
    std::string text(int field) const override { return texts_.at(field); }
    void setText(int field, const std::string& text) override {
        texts_.at(field) = applyChangeRule(editGroupOf(field), text);
    }
    void put(int field, const std::string& text) { texts_.at(field) = text; }
    void fillAll(const std::string& text) { texts_.fill(text); }

private:
    std::array<std::string, kFieldCount> texts_{};
};

std::set<std::size_t> readOnlyOffsets() {
    std::set<std::size_t> offsets = {14, 15, 23, 24};
    for (std::size_t k = 36; k <= 59; ++k) {
        offsets.insert(k);
    }
    return offsets;
}

TEST(imageToTexts, ShowsEveryMemberAsUnsignedDecimal) {
    CalibrationRecord image;
    image.setByte(0, 0xFF);  // VfFreq
    image.setByte(1, 0xFF);
    image.setByte(76, 0x34);  // AfSq[0]
    image.setByte(77, 0x12);
    image.setByte(23, 200);  // RxBpf, a two-digit field
    image.setByte(25, 9);    // AsqCloseLevel
    image.setByte(35, 7);    // SquelchCloseLevel
    FieldRecord record;
    Texts texts;
    imageToTexts(image, record, texts);
    EXPECT_EQ(texts.text(0), "65535");
    EXPECT_EQ(texts.text(60), "4660");
    EXPECT_EQ(texts.text(18), "");  // read-only: in the record, never a text
    EXPECT_EQ(record.RxBpf, 200);
    EXPECT_EQ(texts.text(1), "0");
    // The close levels are clamped on show; the record keeps what the radio holds.
    EXPECT_EQ(texts.text(20), "6");
    EXPECT_EQ(texts.text(26), "6");
    EXPECT_EQ(record.AsqCloseLevel, 9);
    EXPECT_EQ(record.VfFreq, 65535);
}

TEST(imageToRecord, LeavesReservedAndReadsNothingPastTheMembers) {
    CalibrationRecord image;
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        image.setByte(k, 0xA5);
    }
    FieldRecord record;
    record.Reserved = {1, 2, 3, 4, 5, 6};
    imageToRecord(image, record);
    EXPECT_EQ(record.Reserved, (std::array<std::uint8_t, 6>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(record.AmAsqL, 0xA5A5);
    EXPECT_EQ(record.TestWorkTxFreq[11], 0xA5);
}

TEST(recordToImage, WritesOnlyTheSentMembers) {
    FieldRecord record = FieldRecord::fromBytes([] {
        FieldRecord::Bytes bytes;
        for (std::size_t k = 0; k < bytes.size(); ++k) {
            bytes[k] = static_cast<std::uint8_t>(k + 1);
        }
        return bytes;
    }());
    CalibrationRecord image;
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        image.setByte(k, 0xEE);
    }
    recordToImage(record, image);
    const std::set<std::size_t> readOnly = readOnlyOffsets();
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        const bool kept = readOnly.contains(k) || (k >= 108 && k <= 113) || k >= 118;
        EXPECT_EQ(image.byte(k), kept ? 0xEE : k + 1) << "offset " << k;
    }
}

TEST(textsToRecord, GathersNumbersTheWayTheChangeRuleReadsThem) {
    Texts texts;
    texts.fillAll("0");
    texts.put(5, "007");
    texts.put(6, "1.5");
    texts.put(7, "2.5");
    texts.put(8, " 12 ");
    texts.put(0, "1e3");
    texts.put(1, "-0");
    texts.put(2, "65535");
    texts.put(18, "200");
    FieldRecord record;
    record.RxBpf = 7;
    ASSERT_FALSE(textsToRecord(texts, record));
    EXPECT_EQ(record.FmLowPower, 7);
    EXPECT_EQ(record.FmHighPower, 2);
    EXPECT_EQ(record.AmLowPower, 2);
    EXPECT_EQ(record.AmHighPower, 12);
    EXPECT_EQ(record.VfFreq, 1000);
    EXPECT_EQ(record.BfFreq, 0);
    EXPECT_EQ(record.UsbFilterBias, 65535);
    EXPECT_EQ(record.RxBpf, 7);  // read-only: its text is never gathered
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
    texts.fillAll("1");
    texts.put(bad.field, bad.text);
    FieldRecord record;
    record.Reserved = {9, 9, 9, 9, 9, 9};
    const FieldRecord before = record;
    CalibrationRecord image;
    const std::optional<GatherError> error = textsToImage(texts, record, image);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->field, bad.field);
    EXPECT_EQ(error->reason, bad.reason);
    for (const FieldInfo& f : catalogue()) {
        EXPECT_EQ(record.member(f.offset, f.size),
                  f.index < bad.field && !f.readOnly() ? 1 : before.member(f.offset, f.size))
            << "field " << f.index;
    }
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        ASSERT_EQ(image.byte(k), 0) << "offset " << k;
    }
    EXPECT_NE(error->message().find(std::string(fieldInfo(bad.field).caption)), std::string::npos);
    EXPECT_NE(error->message().find(std::string(pageCaption(fieldInfo(bad.field).page))),
              std::string::npos);
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

TEST(GatherError, SaysWhatIsWrongInWords) {
    EXPECT_EQ((GatherError{.field = 0, .reason = Reason::Empty, .text = ""}).message(),
              "The field 0 \"VF FRQ\" on page \"FREQ\" is empty.");
    EXPECT_EQ((GatherError{.field = 20, .reason = Reason::NotANumber, .text = "x"}).message(),
              "The field 20 \"***ASQ close level\" on page \"OTHER\" holds \"x\", which is not a "
              "number.");
    EXPECT_EQ((GatherError{.field = 5, .reason = Reason::OutOfRange, .text = "300"}).message(),
              "The field 5 \"FM LOW POWER\" on page \"FM\" holds 300, outside its range 0 to 255.");
}

TEST(Conversions, ShowThenGatherGivesBackTheSameBytes) {
    CalibrationRecord image;
    for (std::size_t k = 0; k < 128; ++k) {
        image.setByte(k, static_cast<std::uint8_t>(k * 37 + 11));
    }
    image.setByte(25, 6);  // close levels within what the fields keep
    image.setByte(35, 0);
    FieldRecord record;
    Texts texts;
    imageToTexts(image, record, texts);
    std::array<std::string, kFieldCount> shown;
    for (int i = 0; i < kFieldCount; ++i) {
        shown[i] = texts.text(i);
    }
    CalibrationRecord again;
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        again.setByte(k, image.byte(k));
    }
    FieldRecord gathered;
    ASSERT_FALSE(textsToImage(texts, gathered, again));
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        EXPECT_EQ(again.byte(k), image.byte(k)) << "offset " << k;
    }
    recordToTexts(gathered, texts);
    for (int i = 0; i < kFieldCount; ++i) {
        EXPECT_EQ(texts.text(i), shown[i]) << "field " << i;
    }
}

}  // namespace
}  // namespace qv
