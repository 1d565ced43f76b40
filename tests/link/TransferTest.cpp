#include "link/Transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>

#include "tests/support/LinkFakes.h"
#include "tests/support/WrittenWithSevens.h"

namespace qv {
namespace {

using test::Journal;
using test::RecordingObserver;

const Frame kAccessCode{'P', 'R', 'O', 'G', 'R', 'A', 'M', 'Q', 'V', '4'};
const Frame kIdentify{0x02};
const Frame kEnd{0x45, 0x4E, 0x44};
const Frame kRefusal{0x0A};

Frame read(std::uint8_t low) {
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

// The radio's side of the line, answering from its own memory.
class TransferTest : public testing::Test {
protected:
    using Memory = std::array<std::uint8_t, 128>;

    TransferTest() {
        transfer.setObserver(&observer);
        for (std::size_t i = 0; i < radio.size(); ++i) {
            radio[i] = static_cast<std::uint8_t>(i * 7 + 3);
        }
        texts.texts.fill("7");
    }

    Frame radioAnswer(const Frame& frame) {
        if (frame == kAccessCode) {
            return {'K', 'V', 0x06};
        }
        if (frame == kIdentify) {
            Frame identification(16, 0);
            identification[0] = 'I';
            std::ranges::copy(radioModel, identification.begin() + 1);
            std::copy_n("0102", 4, identification.begin() + 9);
            return identification;
        }
        if (frame == kEnd) {
            return {0x06};
        }
        const auto address = static_cast<std::uint16_t>(frame.at(1) * 256 + frame.at(2));
        const std::size_t offset = address - 0x6000U;
        if (frame[0] == 'R') {
            return Block('R' + 5, address, &radio[offset]);
        }
        if (frame != Block('W', address, &frame[4])) {
            return kRefusal;
        }
        std::copy(frame.begin() + 4, frame.begin() + 20, radio.begin() + offset);
        return {0x06};
    }

    // Answers every frame as the radio does, except where told otherwise, until the
    // transfer waits for its timer or has ended.
    void run() {
        while (answered_ < port.written.size()) {
            const std::size_t index = answered_++;
            const auto scripted = answers.find(index);
            const Frame answer =
                scripted != answers.end() ? scripted->second : radioAnswer(port.written[index]);
            if (!answer.empty()) {
                port.deliver(answer);
            }
        }
    }

    // Run, letting the answer timer expire whenever the transfer waits on it.
    void runToEnd() {
        for (int ticks = 0; ticks < 20; ++ticks) {
            run();
            if (!timer.running) {
                return;
            }
            timer.expire();
        }
        FAIL() << "the transfer never ended";
    }

    std::string lastNotice() const {
        return notices.shown.empty() ? "" : notices.shown.back().first;
    }

    // The transfer ended with this one message and left nothing open or running.
    void expectEndedWith(const std::string& message, NoticeIcon icon = NoticeIcon::None) {
        ASSERT_EQ(notices.shown.size(), 1U) << lastNotice();
        EXPECT_EQ(notices.shown[0], std::pair(message, icon));
        EXPECT_FALSE(port.opened);
        EXPECT_FALSE(timer.running);
        EXPECT_EQ(transfer.state().TransferMode, kIdle);
    }

    void forgetFrames() {
        port.written.clear();
        port.thresholds.clear();
        notices.shown.clear();
        pause.durations.clear();
        answered_ = 0;
    }

    static std::vector<Frame> writeFrames(bool withReserved, const Memory& image) {
        std::vector<Frame> frames{kAccessCode, kIdentify,  read(0x00),
                                  read(0x10),  read(0x20), read(0x30)};
        if (withReserved) {
            frames.push_back(read(0x60));
        }
        frames.push_back(read(0x70));
        for (std::size_t offset = 0; offset < 128; offset += 16) {
            frames.push_back(
                Block('W', static_cast<std::uint16_t>(0x6000 + offset), &image[offset]));
        }
        frames.push_back(kEnd);
        return frames;
    }

    Journal journal;
    test::FakeSerialPort port{journal};
    test::FakeAnswerTimer timer;
    test::FakePause pause{journal};
    test::FakeNotices notices{journal};
    test::FakeFieldTexts texts;
    CalibrationRecord record;
    FieldRecord fieldRecord;
    RecordingObserver observer;
    Transfer transfer{port, timer, pause, notices, texts, record, fieldRecord};

    Memory radio{};
    std::string radioModel = "QV-4120";
    std::map<std::size_t, Frame> answers;  // by frame index; empty: the radio stays silent

private:
    std::size_t answered_ = 0;
};

TEST_F(TransferTest, ReadSendsElevenFramesAndShowsTheRecord) {
    ASSERT_TRUE(transfer.startRead("/dev/radio"));
    run();

    const std::vector<Frame> frames{kAccessCode, kIdentify,  read(0x00), read(0x10),
                                    read(0x20),  read(0x30), read(0x40), read(0x50),
                                    read(0x60),  read(0x70), kEnd};
    EXPECT_EQ(port.written, frames);
    EXPECT_EQ(port.thresholds, (std::vector<int>{3, 16, 21, 21, 21, 21, 21, 21, 21, 21, 1}));
    expectEndedWith(kReadComplete);
    for (std::size_t i = 0; i < CalibrationRecord::kSize; ++i) {
        ASSERT_EQ(record.byte(i), i < radio.size() ? radio[i] : 0) << "offset " << i;
    }
    EXPECT_EQ(texts.texts[77], std::to_string(radio[116] | radio[117] << 8));
    // The port is closed before the long pause, the message comes after it.
    const auto at = [&](const std::string& entry) { return std::ranges::find(journal, entry); };
    EXPECT_LT(at("close"), at("pause 3000"));
    EXPECT_LT(at("pause 3000"), at("show Read Complete!"));
    EXPECT_EQ(std::ranges::count(pause.durations, 10), 11);
    EXPECT_EQ(observer.model + " " + observer.version, "QV-4120 01.02");
    EXPECT_EQ(observer.blocks.size(), 8U);
    EXPECT_EQ(observer.blocks.back(), (RecordingObserver::Block{false, 8, 8}));
    EXPECT_EQ(observer.ended, 1);
}

TEST_F(TransferTest, WriteAfterReadSendsSixteenFramesKeepingTheRadiosReadOnlyBytes) {
    ASSERT_TRUE(transfer.startRead("/dev/radio"));
    run();
    ASSERT_EQ(lastNotice(), kReadComplete);
    forgetFrames();
    texts.texts[0] = "4321";         // VfFreq, offsets 0 and 1
    texts.texts[9] = "1";            // SsibLo, read-only: the radio's own value goes back
    radio[14] = 0x77;                // changed in the radio since the read
    radio[40] = 0x55;                // TestWorkRxFreq
    radio[108] = radio[120] = 0x99;  // no field's: a write after a read sends what it stored
    Memory expected = radio;
    expected[0] = 4321 & 0xFF;
    expected[1] = 4321 >> 8;
    expected[108] = static_cast<std::uint8_t>(108 * 7 + 3);
    expected[120] = static_cast<std::uint8_t>(120 * 7 + 3);

    ASSERT_TRUE(transfer.startWrite("/dev/radio"));
    run();

    EXPECT_EQ(port.written, writeFrames(false, expected));
    EXPECT_EQ(port.thresholds,
              (std::vector<int>{3, 16, 21, 21, 21, 21, 21, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(radio, expected);
    expectEndedWith(kWriteComplete);
    EXPECT_EQ(std::ranges::count(pause.durations, 10), 17);
    EXPECT_EQ(observer.blocks.back(), (RecordingObserver::Block{true, 8, 8}));
}

TEST_F(TransferTest, WriteWithoutEarlierReadKeepsEveryByteNoFieldHolds) {
    const Memory expected = test::writtenWithSevens(radio);
    ASSERT_TRUE(transfer.startWrite("/dev/radio"));
    run();

    EXPECT_EQ(port.written, writeFrames(true, expected));
    EXPECT_EQ(radio, expected) << "reserved bytes and offsets 118..127 came back unchanged";
    expectEndedWith(kWriteComplete);
}

// The radio stays silent on, or refuses, a frame and the re-sends that follow it.
struct LineFault {
    const char* name;
    bool write;
    std::size_t frame;
    std::size_t times;
    bool refuse;
};

void PrintTo(const LineFault& c, std::ostream* out) {
    *out << c.name;
}

class FaultyLine : public TransferTest, public testing::WithParamInterface<LineFault> {};

TEST_P(FaultyLine, ThreeResendsRecoverAndAFourthFailureEndsTheTransfer) {
    const LineFault& c = GetParam();
    for (std::size_t k = c.frame; k < c.frame + c.times; ++k) {
        answers[k] = c.refuse ? kRefusal : Frame{};
    }
    ASSERT_TRUE(c.write ? transfer.startWrite("/dev/radio") : transfer.startRead("/dev/radio"));
    runToEnd();

    const bool recovers = c.times <= kResendLimit;
    const std::size_t sent = recovers ? (c.write ? 17 : 11) + c.times : c.frame + 4;
    ASSERT_EQ(port.written.size(), sent) << "nothing is sent after the fourth failure";
    // The identify request and END are not saved: silence after either re-sends the frame
    // before it, and an acknowledgement of that goes on from the step already set.
    const Frame& silenced = port.written[c.frame];
    const std::size_t again =
        !c.refuse && (silenced == kIdentify || silenced == kEnd) ? c.frame - 1 : c.frame;
    for (std::size_t k = 1; k <= std::min<std::size_t>(c.times, kResendLimit); ++k) {
        EXPECT_EQ(port.written[c.frame + k], port.written[again]) << "re-send " << k;
        EXPECT_EQ(port.thresholds[c.frame + k], port.thresholds[again]) << "re-send " << k;
    }
    if (recovers) {
        EXPECT_EQ(lastNotice(), c.write ? kWriteComplete : kReadComplete);
    } else {
        expectEndedWith(kCommunicationError);
    }
}

// A read sends 11 frames (END is frame 10); a write with no read before it sends 17: the
// access code, the identify request, six reads (frames 2..7), eight blocks, END (frame 16).
INSTANTIATE_TEST_SUITE_P(
    TransferTest, FaultyLine,
    testing::Values(LineFault{"AccessCodeSilentOnce", false, 0, 1, false},
                    LineFault{"AccessCodeSilentFourTimes", false, 0, 4, false},
                    LineFault{"IdentifyRequestSilentOnce", false, 1, 1, false},
                    LineFault{"ReadRequestSilentThrice", false, 4, 3, false},
                    LineFault{"ReadRequestSilentFourTimes", false, 4, 4, false},
                    LineFault{"ReadEndSilentTwice", false, 10, 2, false},
                    LineFault{"ReadEndSilentFourTimes", false, 10, 4, false},
                    LineFault{"ReadEndRefused", false, 10, 1, true},
                    LineFault{"ReadEndRefusedFourTimes", false, 10, 4, true},
                    LineFault{"WriteIdentifyRequestSilentOnce", true, 1, 1, false},
                    LineFault{"PreparationReadSilentTwice", true, 6, 2, false},
                    LineFault{"PreparationReadSilentFourTimes", true, 6, 4, false},
                    LineFault{"WriteBlockSilentThrice", true, 9, 3, false},
                    LineFault{"WriteBlockSilentFourTimes", true, 9, 4, false},
                    LineFault{"WriteBlockRefusedTwice", true, 8, 2, true},
                    LineFault{"WriteBlockRefusedFourTimes", true, 8, 4, true},
                    LineFault{"WriteEndSilentOnce", true, 16, 1, false},
                    LineFault{"WriteEndSilentFourTimes", true, 16, 4, false},
                    LineFault{"WriteEndRefused", true, 16, 1, true},
                    LineFault{"WriteEndRefusedFourTimes", true, 16, 4, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransferTest, EveryFrameGetsItsOwnThreeResends) {
    answers = {{4, {}}, {5, {}}, {6, {}}, {8, {}}, {9, {}}, {10, {}}};
    ASSERT_TRUE(transfer.startRead("/dev/radio"));
    runToEnd();
    EXPECT_EQ(lastNotice(), kReadComplete);
}

TEST_F(TransferTest, UnansweredEndLeavesNothingPendingForTheNextTransfer) {
    answers = {{10, {}}, {11, {}}, {12, {}}, {13, {}}};
    ASSERT_TRUE(transfer.startRead("/dev/radio"));
    runToEnd();
    ASSERT_EQ(lastNotice(), kCommunicationError);
    forgetFrames();
    answers.clear();
    journal.clear();

    ASSERT_TRUE(transfer.startWrite("/dev/radio"));
    run();
    EXPECT_EQ(std::ranges::count(journal, "close"), 1) << "closed once, after END";
    expectEndedWith(kWriteComplete);
}

TEST_F(TransferTest, BlockAnswerIsStoredAtTheAddressItCarries) {
    struct Case {
        std::uint16_t address;
        std::size_t firstStored;  // 0 when nothing is stored
    };
    for (const Case c : {Case{0x6010, 16}, Case{0x6074, 116}, Case{0x6080, 0}, Case{0x5FF0, 0}}) {
        record = CalibrationRecord{};
        // Asked for 0x6020; silence on the next request stops the read there.
        answers = {{4, Block('W', c.address, Frame(16, 0xEE).data())}, {5, {}}};
        ASSERT_TRUE(transfer.startRead("/dev/radio"));
        run();
        EXPECT_EQ(port.written.size(), 6U) << "acknowledged: the next request went out";
        for (std::size_t i = 0; i < CalibrationRecord::kSize; ++i) {
            const bool stored = c.firstStored != 0 && i >= c.firstStored && i < c.firstStored + 16;
            const std::uint8_t want = stored ? 0xEE : i < 32 ? radio[i] : 0;
            ASSERT_EQ(record.byte(i), want) << std::hex << c.address << " offset " << std::dec << i;
        }
        forgetFrames();
    }
}

// A write sends back the radio's own read-only bytes only when it has them: an answer to a
// preparation read that carries another address is not that answer, and the read is asked again.
TEST_F(TransferTest, WritePreparationAnswerForAnotherAddressIsAskedAgain) {
    const Memory expected = test::writtenWithSevens(radio);
    answers = {{2, Block('W', 0x6010, &radio[16])}};
    ASSERT_TRUE(transfer.startWrite("/dev/radio"));
    runToEnd();

    EXPECT_EQ(port.written.at(3), read(0x00));
    EXPECT_EQ(radio, expected) << "SSIB LO and HI kept";
    EXPECT_EQ(lastNotice(), kWriteComplete);
}

TEST_F(TransferTest, UnrecognisedAnswersAreDropped) {
    ASSERT_TRUE(transfer.startRead("/dev/radio"));
    const std::vector<Frame> garbage{{},           {0x4B, 0x56, 0x07}, {0x06, 0x06},
                                     {0x0A, 0x0A}, Frame(15, 0x49),    Frame(20, 0x57),
                                     {0x15}};
    for (const Frame& block : garbage) {
        port.deliver(block);
    }
    EXPECT_EQ(port.written.size(), 1U);
    EXPECT_TRUE(timer.running);
    EXPECT_EQ(transfer.state().ReadStep, kStepAccessCodeSent);
}

TEST_F(TransferTest, StartingAgainWhileRunningStartsOver) {
    answers = {{5, {}}};
    ASSERT_TRUE(transfer.startRead("/dev/radio"));
    run();
    journal.clear();
    forgetFrames();
    answers.clear();

    ASSERT_TRUE(transfer.startWrite("/dev/radio"));
    EXPECT_EQ(journal, (Journal{"close", "open", "write"}));
    run();
    EXPECT_EQ(port.written, writeFrames(true, test::writtenWithSevens(radio)));
    expectEndedWith(kWriteComplete);
}

TEST_F(TransferTest, FieldThatCannotBeGatheredStopsTheWriteBeforeAnyBlock) {
    texts.texts[5] = "";
    const Memory before = radio;
    ASSERT_TRUE(transfer.startWrite("/dev/radio"));
    run();

    EXPECT_EQ(port.written.size(), 9U);
    EXPECT_EQ(port.written.back(), kEnd) << "straight after the six reads";
    EXPECT_EQ(radio, before);
    const GatherError empty{.field = 5, .reason = GatherError::Reason::Empty, .text = ""};
    expectEndedWith(std::string(kWriteStopped) + "\n" + empty.message(), NoticeIcon::Stop);
}

TEST_F(TransferTest, ModelCheckStopsOnAnotherRadio) {
    struct Case {
        const char* expected;
        const char* radio;
        std::int16_t language;
        std::string message;
    };
    for (const Case& c :
         {Case{"", "QV-9999", 1, kReadComplete}, Case{"QV-4120", "QV-4120", 1, kReadComplete},
          Case{"QV-4120", "QV-9999", 1, kModelErrorEnglish},
          Case{"QV-4120", "QV-412", 2, kModelErrorChinese}}) {
        transfer.setRadioSettings({.accessCode = "PROGRAMQV4", .model = c.expected});
        transfer.setLanguageId(c.language);
        radioModel = c.radio;
        forgetFrames();
        ASSERT_TRUE(transfer.startRead("/dev/radio"));
        run();
        EXPECT_EQ(port.written.size(), c.message == kReadComplete ? 11U : 2U) << c.radio;
        expectEndedWith(c.message);
    }
}

// Silence after the identify request makes the re-sent access code skip the identification;
// a transfer that must check the radio's model asks for it again instead.
TEST_F(TransferTest, ModelCheckIsNotSkippedWhenTheIdentificationIsLost) {
    for (const bool write : {false, true}) {
        transfer.setRadioSettings({.accessCode = "PROGRAMQV4", .model = "QV-4120"});
        radioModel = "QV-9999";
        const Memory before = radio;
        forgetFrames();
        answers = {{1, {}}};
        ASSERT_TRUE(write ? transfer.startWrite("/dev/radio") : transfer.startRead("/dev/radio"));
        runToEnd();
        EXPECT_EQ(port.written,
                  (std::vector<Frame>{kAccessCode, kIdentify, kAccessCode, kIdentify}));
        EXPECT_EQ(radio, before);
        expectEndedWith(kModelErrorEnglish);
    }
}

TEST_F(TransferTest, AccessCodeComesFromTheSettings) {
    transfer.setRadioSettings({.accessCode = "ABCDEFGHIJ", .model = ""});
    ASSERT_TRUE(transfer.startRead("/dev/radio"));
    EXPECT_EQ(port.written.at(0), Frame({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J'}));
}

TEST_F(TransferTest, PortThatCannotBeOpenedSendsNothing) {
    port.openFailure = "No such device: is the cable plugged in?";
    EXPECT_FALSE(transfer.startWrite("/dev/none"));
    expectEndedWith("Cannot Open Communication Port.\nNo such device: is the cable plugged in?",
                    NoticeIcon::Stop);
    EXPECT_TRUE(port.written.empty());
}

TEST_F(TransferTest, ResendReopensAClosedPortAndEndsWhenItCannot) {
    for (const bool reopens : {true, false}) {
        forgetFrames();
        answers = {{2, {}}};
        ASSERT_TRUE(transfer.startRead("/dev/radio"));
        run();
        port.opened = false;
        port.openFailure = reopens ? std::nullopt : std::optional<std::string>("gone");
        runToEnd();
        EXPECT_EQ(port.written.size(), reopens ? 12U : 3U);
        expectEndedWith(reopens ? kReadComplete : kResendError);
    }
}

TEST_F(TransferTest, LostPortEndsTheTransferWithOneMessage) {
    answers = {{3, {}}};
    ASSERT_TRUE(transfer.startRead("/dev/radio"));
    run();
    port.lose();
    expectEndedWith(kPortLost, NoticeIcon::Stop);
    EXPECT_EQ(observer.ended, 1);

    port.lose();
    EXPECT_EQ(notices.shown.size(), 1U) << "a port lost while idle says nothing";
}

TEST_F(TransferTest, NothingHappensWhileIdle) {
    transfer.WaitTimer_Timer();
    port.deliver({0x06});
    port.deliver(Block('W', 0x6000, radio.data()));
    EXPECT_TRUE(port.written.empty());
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(record.byte(0), 0);
}

}  // namespace
}  // namespace qv
