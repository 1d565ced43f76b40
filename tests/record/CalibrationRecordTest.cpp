#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "record/CalibrationRecord.h"
#include "record/FieldRecord.h"

namespace qv {
namespace {

TEST(CalibrationRecord, StartsZeroedAndKeepsEveryOffset) {
    CalibrationRecord image;
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        EXPECT_EQ(image.byte(k), 0) << "offset " << k;
        image.setByte(k, static_cast<std::uint8_t>(k + 1));
    }
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        EXPECT_EQ(image.byte(k), k + 1) << "offset " << k;
    }
}

TEST(CalibrationRecord, OffsetOutsideTheRecordIsRefusedNotWrapped) {
    CalibrationRecord image;
    for (std::size_t bad :
         {std::size_t{132}, std::size_t{256}, std::numeric_limits<std::size_t>::max()}) {
        EXPECT_THROW(image.byte(bad), std::out_of_range) << bad;
        EXPECT_THROW(image.setByte(bad, 1), std::out_of_range) << bad;
    }
    EXPECT_EQ(image.byte(0), 0);
    EXPECT_EQ(image.byte(131 - 128), 0);
}

TEST(FieldRecord, SixteenBitMembersAreLittleEndianAndUnsigned) {
    FieldRecord record;
    EXPECT_EQ(record.toBytes(), FieldRecord::Bytes{});
    record.VfFreq = 0x1234;
    record.AmAsqL = 0xFFFF;
    record.UlSq[7] = 0xABCD;
    const FieldRecord::Bytes bytes = record.toBytes();
    EXPECT_EQ(bytes[0], 0x34);
    EXPECT_EQ(bytes[1], 0x12);
    EXPECT_EQ(bytes[116], 0xFF);
    EXPECT_EQ(bytes[117], 0xFF);
    EXPECT_EQ(bytes[106], 0xCD);
    EXPECT_EQ(bytes[107], 0xAB);
    EXPECT_EQ(record.member(116, 2), 65535);
    EXPECT_EQ(FieldRecord::fromBytes(bytes), record);
}

TEST(FieldRecord, MemberAccessOutsideTheRecordOrRangeIsRefused) {
    FieldRecord record;
    EXPECT_THROW(record.member(117, 2), std::out_of_range);
    EXPECT_THROW(record.member(118, 1), std::out_of_range);
    EXPECT_THROW(record.member(0, 4), std::out_of_range);
    EXPECT_THROW(record.setMember(10, 1, 256), std::out_of_range);
    EXPECT_EQ(record, FieldRecord{});
}

}  // namespace
}  // namespace qv
