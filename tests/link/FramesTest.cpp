#include "link/Frames.h"

#include <gtest/gtest.h>

#include "link/RadioSettings.h"

namespace qv {
namespace {

Frame Repeat(std::uint8_t value, std::size_t count) {
    return Frame(count, value);
}

Frame Concat(std::initializer_list<Frame> parts) {
    Frame all;
    for (const Frame& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

CalibrationRecord RecordWithBlock(std::uint16_t address, const Frame& data) {
    CalibrationRecord record;
    for (std::size_t i = 0; i < data.size(); ++i) {
        record.SetByte(address - CalibrationRecord::kBaseAddress + i, data[i]);
    }
    return record;
}

Frame Counting() {
    Frame data;
    for (std::uint8_t i = 0; i < 16; ++i) {
        data.push_back(i);
    }
    return data;
}

TEST(Frames, WriteBlocksCarryTheWorkedChecksums) {
    EXPECT_EQ(WriteBlockFrame(0x6000, CalibrationRecord{}),
              Concat({{0x57, 0x60, 0x00, 0x10}, Repeat(0x00, 16), {0x70, 0x06}}));
    EXPECT_EQ(WriteBlockFrame(0x6010, RecordWithBlock(0x6010, Counting())),
              Concat({{0x57, 0x60, 0x10, 0x10}, Counting(), {0xF8, 0x06}}));
    EXPECT_EQ(WriteBlockFrame(0x6070, RecordWithBlock(0x6070, Repeat(0xFF, 16))),
              Concat({{0x57, 0x60, 0x70, 0x10}, Repeat(0xFF, 16), {0xD0, 0x06}}));
}

TEST(Frames, ChecksumSumsFromTheFirstOffsetUpToItsPosition) {
    Frame frame{0xFF, 0x01, 0x02, 0x03, 0x00, 0xEE, 0xEE};
    FrameChecksum(frame, 1, 2);
    EXPECT_EQ(frame, (Frame{0xFF, 0x01, 0x02, 0x03, 0x06, 0xEE, 0xEE}));
}

TEST(Frames, RequestsAreByteForByte) {
    EXPECT_EQ(AccessCodeFrame("PROGRAMQV4"),
              Frame({'P', 'R', 'O', 'G', 'R', 'A', 'M', 'Q', 'V', '4'}));
    EXPECT_EQ(IdentifyRequestFrame(), Frame{0x02});
    EXPECT_EQ(ReadRequestFrame(0x6000), (Frame{0x52, 0x60, 0x00, 0x10}));
    EXPECT_EQ(ReadRequestFrame(0x6070), (Frame{0x52, 0x60, 0x70, 0x10}));
    EXPECT_EQ(EndFrame(), (Frame{0x45, 0x4E, 0x44}));
}

enum class Kind { AccessAck, Identification, Ack, Refusal, BlockAnswer, None };

// The first recogniser, in the fixed order, that accepts the block.
Kind Recognise(const Frame& block) {
    if (IsAccessAck(block))
        return Kind::AccessAck;
    if (IsIdentification(block))
        return Kind::Identification;
    if (IsAck(block))
        return Kind::Ack;
    if (IsRefusal(block))
        return Kind::Refusal;
    if (IsBlockAnswer(block))
        return Kind::BlockAnswer;
    return Kind::None;
}

struct RecogniserCase {
    const char* name;
    Frame block;
    Kind kind;
};

void PrintTo(const RecogniserCase& c, std::ostream* out) {
    *out << c.name;
}

class Recognisers : public testing::TestWithParam<RecogniserCase> {};

TEST_P(Recognisers, FirstAcceptingRecogniserDecides) {
    EXPECT_EQ(Recognise(GetParam().block), GetParam().kind) << GetParam().name;
}

const Frame kBlock21 = Concat({{0x57, 0x60, 0x00, 0x10}, Repeat(1, 16), {0x99}});

INSTANTIATE_TEST_SUITE_P(
    Frames, Recognisers,
    testing::Values(
        RecogniserCase{"access ack", {0x4B, 0x56, 0x06}, Kind::AccessAck},
        RecogniserCase{"access ack with more", {0x4B, 0x56, 0x06, 0x57, 0x00}, Kind::AccessAck},
        RecogniserCase{"K V other", {0x4B, 0x56, 0x0A}, Kind::None},
        RecogniserCase{"K V only", {0x4B, 0x56}, Kind::None},
        RecogniserCase{"identification", Concat({{0x49}, Repeat(0, 15)}), Kind::Identification},
        RecogniserCase{"identification 15", Concat({{0x49}, Repeat(0, 14)}), Kind::None},
        RecogniserCase{"identification 17", Concat({{0x49}, Repeat(0, 16)}), Kind::None},
        RecogniserCase{"16 bytes not I", Concat({{0x48}, Repeat(0, 15)}), Kind::None},
        RecogniserCase{"ack", {0x06}, Kind::Ack},
        RecogniserCase{"ack and more", {0x06, 0x06}, Kind::None},
        RecogniserCase{"refusal", {0x0A}, Kind::Refusal},
        RecogniserCase{"refusal and more", {0x0A, 0x00}, Kind::None},
        RecogniserCase{"empty", {}, Kind::None},
        RecogniserCase{"block 21", kBlock21, Kind::BlockAnswer},
        RecogniserCase{"block 22", Concat({kBlock21, {0x06}}), Kind::BlockAnswer},
        RecogniserCase{"block 20", Frame(kBlock21.begin(), kBlock21.end() - 1), Kind::None},
        RecogniserCase{"block odd length byte",
                       Concat({{0x57, 0x60, 0x00, 0x33}, Repeat(1, 16), {0x00, 0x00}}),
                       Kind::BlockAnswer},
        RecogniserCase{"21 bytes not W", Concat({{0x52}, Repeat(0, 20)}), Kind::None}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        }
        return name;
    });

TEST(Frames, BlockAnswerGivesItsOwnAddressAndData) {
    const Frame block = Concat({{0x57, 0x60, 0x74, 0x10}, Counting(), {0x00}});
    EXPECT_EQ(BlockAnswerAddress(block), 0x6074);
    EXPECT_EQ(BlockAnswerByte(block, 0), 0x00);
    EXPECT_EQ(BlockAnswerByte(block, 15), 0x0F);
}

TEST(Frames, IdentificationGivesModelAndVersion) {
    const auto id = [](const std::string& model, const std::string& version) {
        Frame block(16, 0);
        block[0] = 0x49;
        std::copy(model.begin(), model.end(), block.begin() + 1);
        block[8] = 'x';
        std::copy(version.begin(), version.end(), block.begin() + 9);
        return ReadIdentification(block);
    };
    EXPECT_EQ(id("QV4120", "1234").model, "QV4120");
    EXPECT_EQ(id("QV4120", "1234").version, "12.34");
    EXPECT_EQ(id("QV-4120", "0102").model, "QV-4120") << "seven characters, no NUL";
    EXPECT_EQ(id("", "0102").model, "");
    EXPECT_EQ(ReadIdentification({0x06}).model, "") << "not an identification";
}

TEST(RadioSettings, AccessCodeNeedsTenPrintableCharacters) {
    EXPECT_EQ(AccessCodeOrDefault("ABCDEFGHIJ"), "ABCDEFGHIJ");
    EXPECT_EQ(AccessCodeOrDefault(" ~12345678"), " ~12345678");
    EXPECT_EQ(AccessCodeOrDefault("ABCDEFGHI"), "PROGRAMQV4");
    EXPECT_EQ(AccessCodeOrDefault("ABCDEFGHIJK"), "PROGRAMQV4");
    EXPECT_EQ(AccessCodeOrDefault(""), "PROGRAMQV4");
    EXPECT_EQ(AccessCodeOrDefault(std::string("ABCDE\tGHIJ")), "PROGRAMQV4");
    EXPECT_EQ(AccessCodeOrDefault("ABCDE\xC3\xA9GHI"), "PROGRAMQV4");
}

}  // namespace
}  // namespace qv
