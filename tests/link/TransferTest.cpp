#include "link/Transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <set>

#include "LinkFakes.h"
#include "record/Conversions.h"

namespace qv {
namespace {

using test::FakeAnswerTimer;
using test::FakeFieldTexts;
using test::FakeNotices;
using test::FakePause;
using test::FakeSerialPort;
using test::Journal;
using test::RecordingObserver;

const Frame kAccessCode{'P', 'R', 'O', 'G', 'R', 'A', 'M', 'Q', 'V', '4'};
const Frame kIdentify{0x02};
const Frame kEnd{0x45, 0x4E, 0x44};

Frame Read(std::uint8_t low) {
    return {0x52, 0x60, low, 0x10};
}

Frame Block(std::uint8_t command, std::uint16_t address, const std::uint8_t* data) {
    Frame frame{command, static_cast<std::uint8_t>(address >> 8),
                static_cast<std::uint8_t>(address & 0xFF), 0x10};
    frame.insert(frame.end(), data, data + 16);
    frame.push_back(static_cast<std::uint8_t>(std::accumulate(frame.begin() + 1, frame.end(), 0U)));
    if (command == 'W') {
        frame.push_back(0x06);
    }
    return frame;
}

Frame Identification(const std::string& model) {
    Frame frame(16, 0);
    frame[0] = 'I';
    std::copy(model.begin(), model.end(), frame.begin() + 1);
    std::copy_n("0102", 4, frame.begin() + 9);
    return frame;
}

// The radio's side, answering from its own memory.
class TransferTest : public testing::Test {
protected:
    using Memory = std::array<std::uint8_t, 128>;

    TransferTest() {
        transfer.SetObserver(&observer);
        for (std::size_t i = 0; i < radio.size(); ++i) {
            radio[i] = static_cast<std::uint8_t>(i * 7 + 3);
        }
        texts.texts.fill("7");
    }

    std::optional<Frame> RadioAnswer(const Frame& frame) {
        if (frame == kAccessCode) {
            return Frame{'K', 'V', 0x06};
        }
        if (frame == kIdentify) {
            return Identification(radioModel);
        }
        if (frame == kEnd) {
            return Frame{0x06};
        }
        const std::size_t offset = frame.at(1) * 256 + frame.at(2) - 0x6000;
        if (frame[0] == 'R') {
            return Block('R' + 5, static_cast<std::uint16_t>(offset + 0x6000), &radio[offset]);
        }
        if (frame != Block('W', static_cast<std::uint16_t>(offset + 0x6000), &frame[4])) {
            return Frame{0x0A};
        }
        std::copy(frame.begin() + 4, frame.begin() + 20, radio.begin() + offset);
        return Frame{0x06};
    }

    // Answers every frame as the radio does, except where told otherwise, until the
    // transfer waits for its timer or has ended.
    void Run() {
        while (answered_ < port.written.size()) {
            const std::size_t index = answered_++;
            if (silent.count(index) != 0) {
                continue;
            }
            const auto scripted = answers.find(index);
            const auto answer =
                scripted != answers.end() ? scripted->second : RadioAnswer(port.written[index]);
            port.Deliver(*answer);
        }
    }

    // Run, letting the answer timer expire whenever the transfer waits on it.
    void RunToEnd() {
        for (int ticks = 0; ticks < 20; ++ticks) {
            Run();
            if (!timer.running) {
                return;
            }
            timer.Expire();
        }
        FAIL() << "the transfer never ended";
    }

    std::string LastNotice() const {
        return notices.shown.empty() ? "" : notices.shown.back().first;
    }

    void ReadFully() {
        ASSERT_TRUE(transfer.StartRead("/dev/radio"));
        RunToEnd();
        ASSERT_EQ(LastNotice(), kReadComplete);
        ForgetFrames();
        notices.shown.clear();
        journal.clear();
        pause.durations.clear();
    }

    bool Start(bool write) {
        return write ? transfer.StartWrite("/dev/radio") : transfer.StartRead("/dev/radio");
    }

    void ForgetFrames() {
        port.written.clear();
        port.thresholds.clear();
        answered_ = 0;
    }

    static std::vector<Frame> ReadFrames() {
        std::vector<Frame> frames{kAccessCode, kIdentify};
        for (std::uint8_t low = 0; low < 0x80; low += 0x10) {
            frames.push_back(Read(low));
        }
        frames.push_back(kEnd);
        return frames;
    }

    std::vector<Frame> WriteFrames(bool withReserved, const Memory& image) const {
        std::vector<Frame> frames{kAccessCode, kIdentify,  Read(0x00),
                                  Read(0x10),  Read(0x20), Read(0x30)};
        if (withReserved) {
            frames.push_back(Read(0x60));
        }
        frames.push_back(Read(0x70));
        for (std::size_t offset = 0; offset < 128; offset += 16) {
            frames.push_back(
                Block('W', static_cast<std::uint16_t>(0x6000 + offset), &image[offset]));
        }
        frames.push_back(kEnd);
        return frames;
    }

    Journal journal;
    FakeSerialPort port{journal};
    FakeAnswerTimer timer;
    FakePause pause{journal};
    FakeNotices notices{journal};
    FakeFieldTexts texts;
    CalibrationRecord record;
    FieldRecord fieldRecord;
    RecordingObserver observer;
    Transfer transfer{port, timer, pause, notices, texts, record, fieldRecord};

    Memory radio{};
    std::string radioModel = "QV-4120";
    std::set<std::size_t> silent;
    std::map<std::size_t, Frame> answers;

private:
    std::size_t answered_ = 0;
};

TEST_F(TransferTest, ReadSendsElevenFramesAndShowsTheRecord) {
    ASSERT_TRUE(transfer.StartRead("/dev/radio"));
    EXPECT_EQ(port.device, "/dev/radio");
    Run();

    EXPECT_EQ(port.written, ReadFrames());
    EXPECT_EQ(port.thresholds, (std::vector<int>{3, 16, 21, 21, 21, 21, 21, 21, 21, 21, 1}));
    for (std::size_t i = 0; i < 128; ++i) {
        ASSERT_EQ(record.Byte(i), radio[i]) << "offset " << i;
    }
    for (std::size_t i = 128; i < 132; ++i) {
        EXPECT_EQ(record.Byte(i), 0);
    }
    EXPECT_EQ(texts.texts[0], std::to_string(radio[0] | radio[1] << 8));
    EXPECT_EQ(texts.texts[77], std::to_string(radio[116] | radio[117] << 8));
    // The port is closed before the long pause, the message comes after it.
    const auto at = [&](const std::string& entry) {
        return std::find(journal.begin(), journal.end(), entry) - journal.begin();
    };
    EXPECT_LT(at("close"), at("pause 3000"));
    EXPECT_LT(at("pause 3000"), at("show Read Complete!"));
    EXPECT_EQ(std::count(pause.durations.begin(), pause.durations.end(), 10), 11);
    EXPECT_EQ(notices.shown.back().second, NoticeIcon::None);
    const TransferState& s = transfer.State();
    EXPECT_EQ(s.TransferMode, kIdle);
    EXPECT_EQ(s.BlockAddress, 0x5FF0);
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(timer.running);
    EXPECT_EQ(observer.model, "QV-4120");
    EXPECT_EQ(observer.version, "01.02");
    EXPECT_EQ(observer.blocks.size(), 8U);
    EXPECT_EQ(observer.blocks.back(), (RecordingObserver::Block{false, 8, 8}));
    EXPECT_EQ(observer.ended, 1);
}

TEST_F(TransferTest, WriteAfterReadSendsSixteenFramesKeepingTheRadiosReadOnlyBytes) {
    ReadFully();
    texts.texts[0] = "4321";  // VfFreq, offsets 0 and 1
    texts.texts[9] = "1";     // SsibLo, read-only: the radio's own value goes back
    radio[14] = 0x77;         // changed in the radio since the read
    radio[40] = 0x55;         // TestWorkRxFreq
    radio[108] = 0x99;        // Reserved: a write after a read sends what the read stored
    Memory expected = radio;
    expected[0] = 4321 & 0xFF;
    expected[1] = 4321 >> 8;
    expected[108] = static_cast<std::uint8_t>(108 * 7 + 3);

    ASSERT_TRUE(transfer.StartWrite("/dev/radio"));
    Run();

    EXPECT_EQ(port.written, WriteFrames(false, expected));
    EXPECT_EQ(radio, expected);
    EXPECT_EQ(LastNotice(), kWriteComplete);
    EXPECT_EQ(std::count(pause.durations.begin(), pause.durations.end(), 10), 17);
    EXPECT_FALSE(port.open);
    EXPECT_EQ(observer.blocks.back(), (RecordingObserver::Block{true, 8, 8}));
}

TEST_F(TransferTest, WriteWithoutEarlierReadKeepsEveryByteNoFieldHolds) {
    Memory expected = radio;
    CalibrationRecord sevens;
    FieldRecord sevensRecord;
    GetDataByShow(texts, sevensRecord, sevens);
    for (const FieldInfo& f : Catalogue()) {
        if (f.sent) {
            expected[f.offset] = sevens.Byte(f.offset);
            if (f.size == 2) {
                expected[f.offset + 1] = sevens.Byte(f.offset + 1);
            }
        }
    }

    ASSERT_TRUE(transfer.StartWrite("/dev/radio"));
    Run();

    EXPECT_EQ(port.written, WriteFrames(true, expected));
    EXPECT_EQ(radio, expected) << "reserved bytes and offsets 118..127 came back unchanged";
    EXPECT_EQ(LastNotice(), kWriteComplete);
}

struct SilenceCase {
    const char* name;
    bool write;
    std::size_t frame;  // the frame that meets silence
    int silences;
};

void PrintTo(const SilenceCase& c, std::ostream* out) {
    *out << c.name;
}

class Silence : public TransferTest, public testing::WithParamInterface<SilenceCase> {};

TEST_P(Silence, ThreeResendsRecoverAndTheFourthSilenceEndsTheTransfer) {
    const SilenceCase& c = GetParam();
    for (int k = 0; k < c.silences; ++k) {
        silent.insert(c.frame + static_cast<std::size_t>(k));
    }
    ASSERT_TRUE(Start(c.write));
    RunToEnd();

    if (c.silences <= kResendLimit) {
        EXPECT_EQ(LastNotice(), c.write ? kWriteComplete : kReadComplete);
        return;
    }
    EXPECT_EQ(notices.shown.size(), 1U);
    EXPECT_EQ(LastNotice(), kCommunicationError);
    EXPECT_EQ(port.written.size(), c.frame + 4) << "nothing sent after the fourth silence";
    for (std::size_t k = 2; k < 4; ++k) {
        EXPECT_EQ(port.written[c.frame + k], port.written[c.frame + 1]);
    }
    EXPECT_EQ(transfer.State().TransferMode, kIdle);
    EXPECT_FALSE(port.open);
    EXPECT_FALSE(timer.running);
}

INSTANTIATE_TEST_SUITE_P(TransferTest, Silence,
                         testing::Values(SilenceCase{"AccessCodeOnce", false, 0, 1},
                                         SilenceCase{"AccessCodeFourTimes", false, 0, 4},
                                         SilenceCase{"ReadRequestThrice", false, 4, 3},
                                         SilenceCase{"ReadRequestFourTimes", false, 4, 4},
                                         SilenceCase{"ReadEndTwice", false, 10, 2},
                                         SilenceCase{"ReadEndFourTimes", false, 10, 4},
                                         SilenceCase{"PreparationReadTwice", true, 6, 2},
                                         SilenceCase{"PreparationReadFourTimes", true, 6, 4},
                                         SilenceCase{"WriteBlockThrice", true, 9, 3},
                                         SilenceCase{"WriteBlockFourTimes", true, 9, 4},
                                         SilenceCase{"WriteEndOnce", true, 16, 1},
                                         SilenceCase{"WriteEndFourTimes", true, 16, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransferTest, SilenceAfterIdentifyRequestResendsAccessCodeThenReadsBlocks) {
    for (const bool write : {false, true}) {
        silent = {1};
        ASSERT_TRUE(Start(write));
        RunToEnd();
        ASSERT_GE(port.written.size(), 4U);
        EXPECT_EQ(port.written[2], kAccessCode);
        EXPECT_EQ(port.thresholds[2], 3);
        EXPECT_EQ(port.written[3], Read(0x00)) << "no second identify request";
        EXPECT_EQ(LastNotice(), write ? kWriteComplete : kReadComplete);
        ForgetFrames();
    }
}

TEST_F(TransferTest, RefusedEndIsSentAgain) {
    for (const bool write : {false, true}) {
        const std::size_t end = write ? 15 : 10;  // the write follows the read
        answers = {{end, {0x0A}}};
        ASSERT_TRUE(Start(write));
        Run();
        ASSERT_EQ(port.written.size(), end + 2);
        EXPECT_EQ(port.written[end + 1], kEnd);
        EXPECT_EQ(LastNotice(), write ? kWriteComplete : kReadComplete);
        ForgetFrames();
    }
}

TEST_F(TransferTest, RefusedWriteBlockIsSentAgainNeverSkipped) {
    answers[8] = {0x0A};
    answers[9] = {0x0A};
    ASSERT_TRUE(transfer.StartWrite("/dev/radio"));
    Run();
    ASSERT_EQ(port.written.size(), 19U);
    EXPECT_EQ(port.written[9], port.written[8]);
    EXPECT_EQ(port.written[10], port.written[8]);
    EXPECT_EQ(port.written[11][2], 0x10) << "then the next block";
    EXPECT_EQ(LastNotice(), kWriteComplete);
    EXPECT_EQ(radio[0], 7);
}

TEST_F(TransferTest, FourRefusalsOfOneBlockEndTheWrite) {
    for (std::size_t i = 8; i < 12; ++i) {
        answers[i] = {0x0A};
    }
    ASSERT_TRUE(transfer.StartWrite("/dev/radio"));
    Run();
    EXPECT_EQ(port.written.size(), 12U);
    EXPECT_EQ(LastNotice(), kCommunicationError);
    EXPECT_FALSE(port.open);
}

TEST_F(TransferTest, BlockAnswerIsStoredAtTheAddressItCarries) {
    const std::array<std::uint8_t, 16> ee = [] {
        std::array<std::uint8_t, 16> a{};
        a.fill(0xEE);
        return a;
    }();
    struct Case {
        std::uint16_t address;
        std::size_t firstStored;  // 0 when nothing is stored
    };
    for (const Case c : {Case{0x6010, 16}, Case{0x6074, 116}, Case{0x6080, 0}, Case{0x5FF0, 0}}) {
        record = CalibrationRecord{};
        answers = {{4, Block('W', c.address, ee.data())}};  // asked for 0x6020
        silent = {5, 6, 7, 8, 9, 10};                       // stop after it
        ASSERT_TRUE(transfer.StartRead("/dev/radio"));
        Run();
        EXPECT_EQ(port.written.size(), 6U) << "acknowledged: the next request went out";
        for (std::size_t i = 0; i < CalibrationRecord::kSize; ++i) {
            const bool stored = c.firstStored != 0 && i >= c.firstStored && i < c.firstStored + 16;
            const bool fromRadio = i < 32 && !stored;
            const std::uint8_t want = stored ? 0xEE : fromRadio ? radio[i] : 0;
            ASSERT_EQ(record.Byte(i), want) << std::hex << c.address << " offset " << std::dec << i;
        }
        ForgetFrames();
    }
}

TEST_F(TransferTest, UnrecognisedAnswersAreDropped) {
    ASSERT_TRUE(transfer.StartRead("/dev/radio"));
    const std::vector<Frame> garbage{{},           {0x4B, 0x56, 0x07}, {0x06, 0x06},
                                     {0x0A, 0x0A}, Frame(15, 0x49),    Frame(20, 0x57),
                                     {0x15}};
    for (const Frame& block : garbage) {
        port.Deliver(block);
    }
    EXPECT_EQ(port.written.size(), 1U);
    EXPECT_TRUE(timer.running);
    EXPECT_EQ(transfer.State().ReadStep, kStepAccessCodeSent);
}

TEST_F(TransferTest, StartingAgainWhileRunningStartsOver) {
    silent = {5};
    ASSERT_TRUE(transfer.StartRead("/dev/radio"));
    Run();
    journal.clear();

    ASSERT_TRUE(transfer.StartWrite("/dev/other"));
    EXPECT_EQ(journal, (Journal{"close", "open", "write"}));
    EXPECT_EQ(port.written.back(), kAccessCode);
    const TransferState& s = transfer.State();
    EXPECT_EQ(s.TransferMode, kWriting);
    EXPECT_EQ(s.WriteStep, kStepAccessCodeSent);
    EXPECT_EQ(s.BlockAddress, 0x5FF0);
    EXPECT_EQ(s.RetryCount, 0);
    EXPECT_FALSE(s.EndPending);
    silent.clear();
    Run();
    EXPECT_EQ(LastNotice(), kWriteComplete);
    EXPECT_EQ(notices.shown.size(), 1U);
}

TEST_F(TransferTest, FieldThatCannotBeGatheredStopsTheWriteBeforeAnyBlock) {
    texts.texts[5] = "";
    const Memory before = radio;
    ASSERT_TRUE(transfer.StartWrite("/dev/radio"));
    Run();

    EXPECT_EQ(port.written.size(), 9U);
    EXPECT_EQ(port.written.back(), kEnd);
    EXPECT_TRUE(std::none_of(port.written.begin(), port.written.end(),
                             [](const Frame& f) { return f[0] == 'W'; }));
    EXPECT_EQ(radio, before);
    ASSERT_EQ(notices.shown.size(), 1U);
    EXPECT_EQ(notices.shown[0].first.rfind(std::string(kWriteStopped) + "\n", 0), 0U);
    EXPECT_NE(notices.shown[0].first.find("field 5"), std::string::npos);
    EXPECT_EQ(notices.shown[0].second, NoticeIcon::Stop);
    EXPECT_FALSE(port.open);
    EXPECT_EQ(transfer.State().TransferMode, kIdle);
}

struct ModelCase {
    const char* expected;
    const char* radio;
    std::int16_t language;
    const char* message;  // empty: the transfer goes on
};

TEST_F(TransferTest, ModelCheckStopsOnAnotherRadio) {
    const ModelCase cases[] = {
        {"", "QV-9999", 1, ""},
        {"QV-4120", "QV-4120", 1, ""},
        {"QV-4120", "QV-9999", 1, kModelErrorEnglish},
        {"QV-4120", "QV-412", 2, kModelErrorChinese},
    };
    for (const ModelCase& c : cases) {
        transfer.SetRadioSettings({.accessCode = "PROGRAMQV4", .model = c.expected});
        transfer.SetLanguageId(c.language);
        radioModel = c.radio;
        notices.shown.clear();
        ForgetFrames();
        ASSERT_TRUE(transfer.StartRead("/dev/radio"));
        Run();
        if (std::string(c.message).empty()) {
            EXPECT_EQ(LastNotice(), kReadComplete) << c.radio;
            continue;
        }
        EXPECT_EQ(port.written.size(), 2U) << "nothing after the identification";
        EXPECT_EQ(LastNotice(), c.message);
        EXPECT_EQ(notices.shown.size(), 1U);
        EXPECT_FALSE(port.open);
        EXPECT_FALSE(timer.running);
        EXPECT_EQ(transfer.State().TransferMode, kIdle);
    }
}

TEST_F(TransferTest, AccessCodeComesFromTheSettings) {
    transfer.SetRadioSettings({.accessCode = "ABCDEFGHIJ", .model = ""});
    ASSERT_TRUE(transfer.StartRead("/dev/radio"));
    EXPECT_EQ(port.written.at(0), Frame({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J'}));
}

TEST_F(TransferTest, PortThatCannotBeOpenedSendsNothing) {
    port.openFailure = "No such device: is the cable plugged in?";
    EXPECT_FALSE(transfer.StartWrite("/dev/none"));
    ASSERT_EQ(notices.shown.size(), 1U);
    EXPECT_EQ(notices.shown[0].first,
              "Cannot Open Communication Port.\nNo such device: is the cable plugged in?");
    EXPECT_EQ(notices.shown[0].second, NoticeIcon::Stop);
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(transfer.State().TransferMode, kIdle);
    EXPECT_FALSE(timer.running);
}

TEST_F(TransferTest, FailedReopenOnResendEndsTheTransfer) {
    silent = {2};
    ASSERT_TRUE(transfer.StartRead("/dev/radio"));
    Run();
    port.open = false;
    port.openFailure = "gone";
    timer.Expire();
    EXPECT_EQ(LastNotice(), kResendError);
    EXPECT_EQ(port.written.size(), 3U);
    EXPECT_EQ(transfer.State().TransferMode, kIdle);
    EXPECT_FALSE(timer.running);
}

TEST_F(TransferTest, ClosedPortIsReopenedForAResend) {
    silent = {2};
    ASSERT_TRUE(transfer.StartRead("/dev/radio"));
    Run();
    port.open = false;
    timer.Expire();
    EXPECT_TRUE(port.open);
    EXPECT_EQ(port.written.back(), Read(0x00));
    Run();
    EXPECT_EQ(LastNotice(), kReadComplete);
}

TEST_F(TransferTest, LostPortEndsTheTransferWithOneMessage) {
    silent = {3};
    ASSERT_TRUE(transfer.StartRead("/dev/radio"));
    Run();
    port.Lose();
    ASSERT_EQ(notices.shown.size(), 1U);
    EXPECT_EQ(notices.shown[0].first, kPortLost);
    EXPECT_EQ(notices.shown[0].second, NoticeIcon::Stop);
    EXPECT_EQ(transfer.State().TransferMode, kIdle);
    EXPECT_FALSE(timer.running);
    EXPECT_EQ(observer.ended, 1);

    port.Lose();
    EXPECT_EQ(notices.shown.size(), 1U) << "a port lost while idle says nothing";
}

TEST_F(TransferTest, NothingHappensWhileIdle) {
    transfer.WaitTimer_Timer();
    port.Deliver({0x06});
    port.Deliver(Block('W', 0x6000, radio.data()));
    EXPECT_TRUE(port.written.empty());
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(record.Byte(0), 0);
}

}  // namespace
}  // namespace qv
