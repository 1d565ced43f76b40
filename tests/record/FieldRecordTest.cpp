#include <gtest/gtest.h>

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
    EXPECT_EQ(bytes[0], 0x34);
    EXPECT_EQ(bytes[1], 0x12);
    EXPECT_EQ(bytes[106], 0xCD);
    EXPECT_EQ(bytes[107], 0xAB);
    EXPECT_EQ(bytes[116], 0xFF);
    EXPECT_EQ(bytes[117], 0xFF);
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
