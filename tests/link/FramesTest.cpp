#include "link/Frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numeric>

#include "link/RadioSettings.h"

namespace qv {
namespace {

Frame concat(std::initializer_list<Frame> parts) {
    Frame all;
    for (const Frame& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

TEST(Frames, WriteBlocksCarryTheWorkedChecksums) {
    Frame counting(16);
    std::iota(counting.begin(), counting.end(), 0);
    CalibrationRecord record;
    for (std::uint8_t i = 0; i < 16; ++i) {
        record.setByte(16 + i, counting[i]);
        record.setByte(112 + i, 0xFF);
    }
    EXPECT_EQ(writeBlockFrame(0x6000, record),
              concat({{0x57, 0x60, 0x00, 0x10}, Frame(16, 0x00), {0x70, 0x06}}));
    EXPECT_EQ(writeBlockFrame(0x6010, record),
              concat({{0x57, 0x60, 0x10, 0x10}, counting, {0xF8, 0x06}}));
    EXPECT_EQ(writeBlockFrame(0x6070, record),
              concat({{0x57, 0x60, 0x70, 0x10}, Frame(16, 0xFF), {0xD0, 0x06}}));
}

enum Kind : std::size_t { AccessAck, Identification, Ack, Refusal, BlockAnswer, None };

// The first recogniser, in the fixed order, that accepts the block.
std::size_t recognise(const Frame& block) {
    constexpr std::array recognisers{isAccessAck, isIdentification, isAck, isRefusal,
                                     isBlockAnswer};
    return std::ranges::find_if(recognisers, [&](const auto is) { return is(block); }) -
           recognisers.begin();
}

TEST(Frames, FirstAcceptingRecogniserDecides) {
    const Frame block21 = concat({{0x57, 0x60, 0x00, 0x10}, Frame(16, 1), {0x99}});
    const std::pair<Frame, Kind> cases[] = {
        {{0x4B, 0x56, 0x06}, AccessAck},
        {{0x4B, 0x56, 0x06, 0x57, 0x00}, AccessAck},
        {{0x4B, 0x56, 0x0A}, None},
        {{0x4B, 0x56}, None},
        {concat({{0x49}, Frame(15, 0)}), Identification},
        {concat({{0x49}, Frame(14, 0)}), None},
        {concat({{0x49}, Frame(16, 0)}), None},
        {concat({{0x48}, Frame(15, 0)}), None},
        {{0x06}, Ack},
        {{0x06, 0x06}, None},
        {{0x0A}, Refusal},
        {{0x0A, 0x00}, None},
        {{}, None},
        {block21, BlockAnswer},
        {concat({block21, {0x06}}), BlockAnswer},
        {Frame(block21.begin(), block21.end() - 1), None},
        {concat({{0x57, 0x60, 0x00, 0x33}, Frame(16, 1), {0x00, 0x00}}), BlockAnswer},
        {concat({{0x52}, Frame(20, 0)}), None},
    };
    for (const auto& [block, kind] : cases) {
        EXPECT_EQ(recognise(block), kind) << testing::PrintToString(block);
    }
}

TEST(Frames, IdentificationGivesModelAndVersion) {
    const auto id = [](const std::string& model) {
        Frame block(16, 0);
        block[0] = 0x49;
        std::ranges::copy(model, block.begin() + 1);
        block[8] = 'x';
        std::copy_n("1234", 4, block.begin() + 9);
        return readIdentification(block);
    };
    EXPECT_EQ(id("QV4120").model, "QV4120");
    EXPECT_EQ(id("QV4120").version, "12.34");
    EXPECT_EQ(id("QV-4120").model, "QV-4120") << "seven characters, no NUL";
    EXPECT_EQ(id("").model, "");
    EXPECT_EQ(readIdentification({0x06}).model, "") << "not an identification";
}

TEST(RadioSettings, AccessCodeNeedsTenPrintableCharacters) {
    EXPECT_EQ(accessCodeOrDefault("ABCDEFGHIJ"), "ABCDEFGHIJ");
    EXPECT_EQ(accessCodeOrDefault(" ~12345678"), " ~12345678");
    for (const char* bad :
         {"ABCDEFGHI", "ABCDEFGHIJK", "", "ABCDE\tGHIJ", "ABCDE\xC3\xA9GHI", "ABCDEFGHI\x7F"}) {
        EXPECT_EQ(accessCodeOrDefault(bad), "PROGRAMQV4") << bad;
    }
}

}  // namespace
}  // namespace qv
