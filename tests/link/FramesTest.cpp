#include "link/Frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "link/RadioSettings.h"
#include "tests/support/Hex.h"

namespace qv {
namespace {

using test::hex;

TEST(Frames, WriteBlocksCarryTheWorkedChecksums) {
    CalibrationRecord record;
    for (std::uint8_t i = 0; i < 16; ++i) {
        record.setByte(16 + i, i);
        record.setByte(112 + i, 0xFF);
    }
    EXPECT_EQ(writeBlockFrame(0x6000, record),
              hex("57 60 00 10 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 70 06"));
    EXPECT_EQ(writeBlockFrame(0x6010, record),
              hex("57 60 10 10 00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F F8 06"));
    EXPECT_EQ(writeBlockFrame(0x6070, record),
              hex("57 60 70 10 FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF D0 06"));
}

TEST(Frames, FirstAcceptingRecogniserDecides) {
    constexpr std::array recognisers{isAccessAck, isIdentification, isAck, isRefusal,
                                     isBlockAnswer};
    const auto recognised = [&](const std::string& block) {
        return std::ranges::find_if(recognisers, [&](const auto is) { return is(hex(block)); }) -
               recognisers.begin();
    };
    const std::string block21 = "57 60 00 10 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 99";
    const std::string id16 = "49 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00";
    // By the recogniser that takes them: access acknowledgement, identification,
    // acknowledgement, refusal, block answer, none.
    const std::vector<std::string> blocks[] = {
        {"4B 56 06", "4B 56 06 57 00"},
        {id16},
        {"06"},
        {"0A"},
        {block21, block21 + " 06", "57 60 00 33" + block21.substr(11, 48) + " 00 00"},
        {"4B 56 0A", "4B 56", id16.substr(0, 44), id16 + " 00", "48" + id16.substr(2), "06 06",
         "0A 00", "", block21.substr(0, 59), "52" + block21.substr(2)}};
    for (std::size_t recogniser = 0; recogniser < 6; ++recogniser) {
        for (const std::string& block : blocks[recogniser]) {
            EXPECT_EQ(recognised(block), recogniser) << block;
        }
    }
}

TEST(Frames, IdentificationGivesModelAndVersion) {
    const auto id = readIdentification(hex("49 51 56 34 31 32 30 00 78 31 32 33 34 00 00 00"));
    EXPECT_EQ(id.model + " " + id.version, "QV4120 12.34");
    EXPECT_EQ(readIdentification(hex("06")).model, "") << "not an identification";
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
