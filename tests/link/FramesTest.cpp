#include "link/Frames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "link/RadioSettings.h"
#include "tests/support/Hex.h"

namespace qv {
namespace {

using test::hex;

// By the first recogniser that takes them: access acknowledgement, identification,
// acknowledgement, refusal, block answer, none. An identification gives model and version.
TEST(Frames, FirstAcceptingRecogniserDecides) {
    constexpr std::array recognisers{isAccessAck, isIdentification, isAck, isRefusal,
                                     isBlockAnswer};
    const std::string block21 = "57 60 00 10 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 99";
    const std::string id16 = "49 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00";
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
            const auto takes = [&](const auto is) { return is(hex(block)); };
            EXPECT_EQ(std::ranges::find_if(recognisers, takes) - recognisers.begin(), recogniser)
                << block;
        }
    }
    const auto id = readIdentification(hex("49 51 56 34 31 32 30 00 78 31 32 33 34 00 00 00"));
    EXPECT_EQ(id.model + " " + id.version, "QV4120 12.34");
}

TEST(RadioSettings, AccessCodeNeedsTenPrintableCharacters) {
    EXPECT_EQ(accessCodeOrDefault(" ~12345678"), " ~12345678");
    for (const char* bad :
         {"ABCDEFGHI", "ABCDEFGHIJK", "ABCDE\tGHIJ", "ABCDE\xC3\xA9GHI", "ABCDEFGHI\x7F"}) {
        EXPECT_EQ(accessCodeOrDefault(bad), "PROGRAMQV4") << bad;
    }
}

}  // namespace
}  // namespace qv
