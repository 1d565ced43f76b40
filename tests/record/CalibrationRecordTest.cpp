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
        EXPECT_EQ(image.Byte(k), 0) << "offset " << k;
        image.SetByte(k, static_cast<std::uint8_t>(k + 1));
    }
    for (std::size_t k = 0; k < CalibrationRecord::kSize; ++k) {
        EXPECT_EQ(image.Byte(k), k + 1) << "offset " << k;
    }
}

TEST(CalibrationRecord, OffsetOutsideTheRecordIsRefusedNotWrapped) {
    CalibrationRecord image;
    for (std::size_t bad :
         {std::size_t{132}, std::size_t{256}, std::numeric_limits<std::size_t>::max()}) {
        EXPECT_THROW(image.Byte(bad), std::out_of_range) << bad;
        EXPECT_THROW(image.SetByte(bad, 1), std::out_of_range) << bad;
    }
    EXPECT_EQ(image.Byte(0), 0);
    EXPECT_EQ(image.Byte(131 - 128), 0);
}

TEST(FieldRecord, SixteenBitMembersAreLittleEndianAndUnsigned) {
    FieldRecord record;
    EXPECT_EQ(record.ToBytes(), FieldRecord::Bytes{});
    record.VfFreq = 0x1234;
    record.AmAsqL = 0xFFFF;
    record.UlSq[7] = 0xABCD;
    const FieldRecord::Bytes bytes = record.ToBytes();
    EXPECT_EQ(bytes[0], 0x34);
    EXPECT_EQ(bytes[1], 0x12);
    EXPECT_EQ(bytes[116], 0xFF);
    EXPECT_EQ(bytes[117], 0xFF);
    EXPECT_EQ(bytes[106], 0xCD);
    EXPECT_EQ(bytes[107], 0xAB);
    EXPECT_EQ(record.Member(116, 2), 65535);
    EXPECT_EQ(FieldRecord::FromBytes(bytes), record);
}

TEST(FieldRecord, MemberAccessOutsideTheRecordOrRangeIsRefused) {
    FieldRecord record;
    EXPECT_THROW(record.Member(117, 2), std::out_of_range);
    EXPECT_THROW(record.Member(118, 1), std::out_of_range);
    EXPECT_THROW(record.Member(0, 4), std::out_of_range);
    EXPECT_THROW(record.SetMember(10, 1, 256), std::out_of_range);
    EXPECT_EQ(record, FieldRecord{});
}

}  // namespace
}  // namespace qv
