#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

#include "record/FieldRecord.h"

namespace qv {
namespace {

TEST(FieldRecord, SixteenBitMembersAreLittleEndianAndUnsigned) {
    FieldRecord record;
    record.VfFreq = 0x1234;
    record.AmAsqL = 0xFFFF;
    record.UlSq[7] = 0xABCD;
    const FieldRecord::Bytes bytes = record.toBytes();
    EXPECT_EQ((std::array{bytes[0], bytes[1], bytes[106], bytes[107], bytes[116], bytes[117]}),
              (std::array<std::uint8_t, 6>{0x34, 0x12, 0xCD, 0xAB, 0xFF, 0xFF}));
    EXPECT_EQ(record.member(116, 2), 65535);
    EXPECT_EQ(FieldRecord::fromBytes(bytes), record);
}

TEST(FieldRecord, AMemberOutsideTheRecordOrAValueTooLargeIsRefused) {
    FieldRecord record;
    EXPECT_THROW(record.member(117, 2), std::out_of_range);
    EXPECT_THROW(record.member(0, 4), std::out_of_range);
    EXPECT_THROW(record.setMember(10, 1, 256), std::out_of_range);
    EXPECT_EQ(record, FieldRecord{});
}

}  // namespace
}  // namespace qv
