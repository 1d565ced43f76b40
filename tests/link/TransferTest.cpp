#include "link/Transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <numeric>

#include "tests/support/FakeAnswerTimer.h"
#include "tests/support/FakeFieldTexts.h"
#include "tests/support/FakePause.h"
#include "tests/support/FakeSerialPort.h"
#include "tests/support/Hex.h"
#include "tests/support/RecordingListener.h"
#include "tests/support/WrittenWithSevens.h"

namespace qv {
namespace {

using test::hex;
using Lines = std::vector<std::string>;
using Memory = std::array<std::uint8_t, 128>;

const std::string kWriteReads = "AC ID R00 R10 R20 R30 R60 R70";
const std::string kBlocks = "W00 W10 W20 W30 W40 W50 W60 W70 END";
const Frame kRefusal = hex("0A");

Memory sevensOverEe() {
    Memory memory{};
    for (std::size_t k = 0; k < 8; ++k) {
        std::copy_n(test::kSevensOverEe[k].begin() + 4, 16, memory.begin() + 16 * k);
    }
    return memory;
}

// The radio's side of the line, answering from its own memory. Every outcome must find the
// port closed and the timer stopped.
class TransferTest : public testing::Test {
protected:
    TransferTest() {
        for (std::size_t i = 0; i < memory.size(); ++i) {
            memory[i] = static_cast<std::uint8_t>(i * 7 + 3);
        }
        texts.texts.fill("7");
        listener.atOutcome = [this] {
            EXPECT_FALSE(port.opened);
            EXPECT_FALSE(timer.running);
        };
    }

    Frame radioAnswer(const Frame& frame) {
        if (frame == hex("50 52 4F 47 52 41 4D 51 56 34")) {
            return hex("4B 56 06");
        }
        if (frame == hex("45 4E 44")) {
            return hex("06");
        }
        if (frame == hex("02")) {
            Frame identification = hex("49 00 00 00 00 00 00 00 00 30 31 30 32 00 00 00");
            std::ranges::copy(radioModel, identification.begin() + 1);
            return identification;
        }
        const std::size_t offset = frame.at(1) * 256U + frame.at(2) - 0x6000U;
        if (frame[0] == 'R') {
            Frame answer = hex("57");
            answer.insert(answer.end(), frame.begin() + 1, frame.end());
            answer.insert(answer.end(), &memory[offset], &memory[offset] + 16);
            answer.push_back(0);
            return answer;
        }
        const unsigned sum = std::accumulate(frame.begin() + 1, frame.begin() + 20, 0U);
        if (frame.size() != 22 || frame[20] != (sum & 0xFF) || frame[21] != 0x06) {
            return kRefusal;
        }
        std::copy(frame.begin() + 4, frame.begin() + 20, memory.begin() + offset);
        return hex("06");
    }

    // Answers every frame sent, as told or as the radio does, until the transfer waits for its
    // timer or has ended.
    void run() {
        while (answered_ < port.written.size()) {
            const std::size_t index = answered_++;
            const auto told = answers.find(index);
            const Frame answer =
                told != answers.end() ? told->second : radioAnswer(port.written[index]);
            if (!answer.empty()) {
                port.deliver(answer);
            }
        }
    }

    // Runs, letting the answer timer expire whenever the transfer waits for it.
    void runToEnd() {
        run();
        for (int ticks = 0; ticks < 30 && timer.running; ++ticks) {
            timer.expire();
            run();
        }
        EXPECT_FALSE(transfer.running());
    }

    void start(bool write) {
        if (!write) {
            transfer.startRead("/dev/radio");
            return;
        }
        transfer.startWrite("/dev/radio", [this](CalibrationRecord& image) {
            return textsToImage(texts, fieldRecord, image);
        });
    }

    void forget() {
        journal.clear();
        port.written.clear();
        port.thresholds.clear();
        listener.outcomes.clear();
        answers.clear();
        answered_ = 0;
    }

    // The frames sent: AC, ID, R00..R70 (read requests), W00..W70 (write blocks), END.
    std::string trace() const {
        std::string names;
        for (const Frame& f : port.written) {
            char name[4] = "AC";
            if (f.size() == 4 || f.size() == 22) {
                std::snprintf(name, sizeof name, "%c%02X", f[0], f[2]);
            }
            names += std::string(names.empty() ? "" : " ") + (f == hex("02")         ? "ID"
                                                              : f == hex("45 4E 44") ? "END"
                                                                                     : name);
        }
        return names;
    }

    Memory imageRead() const {
        Memory image{};
        for (std::size_t i = 0; i < image.size(); ++i) {
            image[i] = listener.image.byte(i);
        }
        return image;
    }

    test::Journal journal;
    test::FakeSerialPort port{journal};
    test::FakeAnswerTimer timer;
    test::FakePause pause{journal};
    test::RecordingListener listener{journal};
    test::FakeFieldTexts texts;
    FieldRecord fieldRecord;
    Transfer transfer{port, timer, pause, listener};

    Memory memory{};
    std::string radioModel = "QV-4120";
    std::map<std::size_t, Frame> answers;  // by frame sent; an empty one: the radio is silent

private:
    std::size_t answered_ = 0;
};

TEST_F(TransferTest, ReadSendsElevenFramesAndBringsTheRadiosMemory) {
    start(false);
    run();

    EXPECT_EQ(port.written,
              (std::vector<Frame>{hex("50 52 4F 47 52 41 4D 51 56 34"), hex("02"),
                                  hex("52 60 00 10"), hex("52 60 10 10"), hex("52 60 20 10"),
                                  hex("52 60 30 10"), hex("52 60 40 10"), hex("52 60 50 10"),
                                  hex("52 60 60 10"), hex("52 60 70 10"), hex("45 4E 44")}));
    EXPECT_EQ(port.thresholds, (std::vector<int>{3, 16, 21, 21, 21, 21, 21, 21, 21, 21, 1}));
    EXPECT_EQ(listener.outcomes, Lines{"read completed"});
    EXPECT_EQ(imageRead(), memory);
    EXPECT_EQ(Lines(journal.end() - 5, journal.end()),
              (Lines{"write", "close", "pause 3000", "pause 10", "read completed"}));
    EXPECT_EQ(std::ranges::count(journal, "pause 10"), 11);
    EXPECT_EQ(listener.identified, Lines{"QV-4120 01.02"});
    EXPECT_EQ(listener.progress,
              (Lines{"R1/8", "R2/8", "R3/8", "R4/8", "R5/8", "R6/8", "R7/8", "R8/8"}));
}

TEST_F(TransferTest, WriteAfterReadSendsTheFieldsWithTheRadiosReadOnlyBytes) {
    start(false);
    run();
    imageToTexts(listener.image, fieldRecord, texts);
    forget();
    memory[14] = 0x77;                 // read-only, changed in the radio since the read
    memory[40] = 0x55;                 // read-only
    memory[108] = memory[120] = 0x99;  // no field's: the write sends what the read found
    Memory expected = memory;
    expected[0] = 0xE1;  // 4321
    expected[1] = 0x10;
    expected[108] = 0xF7;
    expected[120] = 0x4B;
    answers = {{6, {}}};

    start(true);
    run();
    texts.texts[0] = "4321";  // before the fields are gathered: it goes to the radio
    runToEnd();

    EXPECT_EQ(trace(), "AC ID R00 R10 R20 R30 R70 R70 " + kBlocks);
    EXPECT_EQ(port.thresholds,
              (std::vector<int>{3, 16, 21, 21, 21, 21, 21, 21, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(memory, expected);
    EXPECT_EQ(listener.outcomes, Lines{"write completed"});
    EXPECT_EQ(std::ranges::count(journal, "pause 10"), 17);
    EXPECT_EQ(listener.progress.back(), "W8/8");
}

TEST_F(TransferTest, WriteWithoutReadKeepsEveryByteNoFieldHolds) {
    memory.fill(0xEE);
    start(true);
    run();

    std::vector<Frame> expected{hex("50 52 4F 47 52 41 4D 51 56 34"),
                                hex("02"),
                                hex("52 60 00 10"),
                                hex("52 60 10 10"),
                                hex("52 60 20 10"),
                                hex("52 60 30 10"),
                                hex("52 60 60 10"),
                                hex("52 60 70 10")};
    expected.insert(expected.end(), test::kSevensOverEe.begin(), test::kSevensOverEe.end());
    expected.push_back(hex("45 4E 44"));
    EXPECT_EQ(port.written, expected);
    EXPECT_EQ(listener.outcomes, Lines{"write completed"});
}

// A read sends AC ID R00..R70 END (frames 0..10); a write with no read before it sends
// AC ID R00 R10 R20 R30 R60 R70 (frames 0..7), W00..W70 (8..15) and END (16).
struct Fault {
    const char* name;
    bool write = false;
    std::map<std::size_t, Frame> answers = {};
    std::string trace = "";
    const char* outcome = "";
    std::string model = "";
    std::string radioModel = "QV-4120";
};

void PrintTo(const Fault& fault, std::ostream* out) {
    *out << fault.name;
}

class FaultyRadio : public TransferTest, public testing::WithParamInterface<Fault> {};

TEST_P(FaultyRadio, EndsWithOneOutcome) {
    const Fault& c = GetParam();
    answers = c.answers;
    radioModel = c.radioModel;
    transfer.setRadioSettings({.accessCode = "PROGRAMQV4", .model = c.model});
    if (c.write) {
        memory.fill(0xEE);
    }
    const Memory before = memory;
    start(c.write);
    runToEnd();

    EXPECT_EQ(trace(), c.trace);
    ASSERT_EQ(listener.outcomes, Lines{c.outcome});
    if (listener.outcomes[0] == "read completed") {
        EXPECT_EQ(imageRead(), before);
    } else if (listener.outcomes[0] == "write completed") {
        EXPECT_EQ(memory, sevensOverEe());
    }
}

const Frame kOther6010 = hex("57 60 10 10 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 55 00");

INSTANTIATE_TEST_SUITE_P(
    TransferTest, FaultyRadio,
    testing::Values(
        Fault{"AccessCodeUnanswered",
              false,
              {{0, {}}, {1, {}}, {2, {}}, {3, {}}},
              "AC AC AC AC",
              "NoAnswer"},
        Fault{"ReadRequestUnansweredThrice",
              false,
              {{4, {}}, {5, {}}, {6, {}}},
              "AC ID R00 R10 R20 R20 R20 R20 R30 R40 R50 R60 R70 END",
              "read completed"},
        Fault{"ReadRequestUnanswered",
              false,
              {{4, {}}, {5, {}}, {6, {}}, {7, {}}},
              "AC ID R00 R10 R20 R20 R20 R20",
              "NoAnswer"},
        Fault{"ReadAnswerForAnotherBlock",
              false,
              {{4, kOther6010}},
              "AC ID R00 R10 R20 R20 R30 R40 R50 R60 R70 END",
              "read completed"},
        Fault{"IdentificationLost",
              false,
              {{1, {}}},
              "AC ID AC R00 R10 R20 R30 R40 R50 R60 R70 END",
              "read completed"},
        Fault{"IdentificationLostInAWrite",
              true,
              {{1, {}}},
              "AC ID AC R00 R10 R20 R30 R60 R70 " + kBlocks,
              "write completed"},
        Fault{"IdentificationLostWithTheModelChecked",
              false,
              {{1, {}}},
              "AC ID AC ID R00 R10 R20 R30 R40 R50 R60 R70 END",
              "read completed",
              "QV-4120"},
        Fault{"IdentificationNeverComesWithTheModelChecked",
              false,
              {{1, {}}, {3, {}}, {5, {}}, {7, {}}},
              "AC ID AC ID AC ID AC ID",
              "NoAnswer",
              "QV-4120"},
        Fault{"OtherModel", true, {}, "AC ID", "WrongModel", "QV-4120", "QV-9999"},
        Fault{"ModelThatIsAPrefix", false, {}, "AC ID", "WrongModel", "QV-4120", "QV-412"},
        Fault{"OtherModelAfterALostIdentification",
              false,
              {{1, {}}},
              "AC ID AC ID",
              "WrongModel",
              "QV-4120",
              "QV-9999"},
        Fault{"AnyModelWhenNoneIsSet",
              false,
              {},
              "AC ID R00 R10 R20 R30 R40 R50 R60 R70 END",
              "read completed",
              "",
              "QV-9999"},
        Fault{"PreparationAnswerForAnotherBlock",
              true,
              {{2, kOther6010}},
              "AC ID R00 R00 R10 R20 R30 R60 R70 " + kBlocks,
              "write completed"},
        Fault{"PreparationReadUnanswered",
              true,
              {{6, {}}, {7, {}}, {8, {}}, {9, {}}},
              "AC ID R00 R10 R20 R30 R60 R60 R60 R60",
              "NoAnswer"},
        Fault{"WriteBlockRefusedThrice",
              true,
              {{9, kRefusal}, {10, kRefusal}, {11, kRefusal}},
              kWriteReads + " W00 W10 W10 W10 " + kBlocks.substr(4),
              "write completed"},
        Fault{"WriteBlockRefusedOrUnanswered",
              true,
              {{9, kRefusal}, {10, {}}, {11, kRefusal}, {12, {}}},
              kWriteReads + " W00 W10 W10 W10 W10",
              "NoAnswer"},
        Fault{"EndUnansweredOnce",
              false,
              {{10, {}}},
              "AC ID R00 R10 R20 R30 R40 R50 R60 R70 END END",
              "read completed"},
        Fault{"EndRefusedOnce",
              true,
              {{16, kRefusal}},
              kWriteReads + " " + kBlocks + " END",
              "write completed"},
        Fault{"EndNeverAcknowledged",
              false,
              {{10, kRefusal}, {11, {}}, {12, kRefusal}, {13, {}}},
              "AC ID R00 R10 R20 R30 R40 R50 R60 R70 END END END END",
              "NoAnswer"},
        Fault{"EndHasItsOwnResends",
              true,
              {{15, kRefusal}, {16, kRefusal}, {17, kRefusal}, {19, {}}, {20, kRefusal}, {21, {}}},
              kWriteReads + " W00 W10 W20 W30 W40 W50 W60 W70 W70 W70 W70 END END END END",
              "write completed"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransferTest, FieldWithoutAValueStopsTheWriteBeforeAnyBlock) {
    for (const bool endAnswered : {true, false}) {
        forget();
        texts.texts[5] = "";
        if (!endAnswered) {
            answers = {{8, {}}, {9, {}}, {10, {}}, {11, {}}};
        }
        start(true);
        runToEnd();
        EXPECT_EQ(trace(), kWriteReads + (endAnswered ? " END" : " END END END END"));
        ASSERT_EQ(listener.outcomes, Lines{"InvalidField"});
        EXPECT_EQ(listener.failure.field->field, 5);
        EXPECT_EQ(listener.failure.field->reason, GatherError::Reason::Empty);
    }
}

TEST_F(TransferTest, FrameThePortDoesNotTakeIsSentAgainLikeAnUnansweredOne) {
    for (const int refused : {3, 4}) {
        forget();
        port.refuseWrites = true;
        start(false);
        for (int k = 1; k < refused; ++k) {
            timer.expire();
        }
        port.refuseWrites = false;
        runToEnd();
        EXPECT_EQ(std::ranges::count(journal, "write refused"), refused);
        EXPECT_EQ(listener.outcomes, Lines{refused == 4 ? "NoAnswer" : "read completed"});
    }
}

TEST_F(TransferTest, PortThatCannotBeOpenedSendsNothing) {
    port.openFailure = "No such device: is the cable plugged in?";
    start(true);
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(listener.outcomes, Lines{"PortUnavailable"});
    EXPECT_EQ(listener.failure.reason, "No such device: is the cable plugged in?");
}

TEST_F(TransferTest, ResendReopensAClosedPortAndEndsWhenItCannot) {
    for (const bool reopens : {true, false}) {
        forget();
        answers = {{2, {}}};
        start(false);
        run();
        port.opened = false;
        port.openFailure = reopens ? std::nullopt : std::optional<std::string>("gone");
        runToEnd();
        EXPECT_EQ(trace(), reopens ? "AC ID R00 R00 R10 R20 R30 R40 R50 R60 R70 END" : "AC ID R00");
        EXPECT_EQ(listener.outcomes, Lines{reopens ? "read completed" : "ReopenFailed"});
    }
    EXPECT_EQ(listener.failure.reason, "gone");
}

TEST_F(TransferTest, LostPortEndsTheTransferAndNothingMovesAnIdleOne) {
    answers = {{3, {}}};
    start(false);
    run();
    port.lose();
    port.lose();
    for (const char* answer : {"4B 56 06", "06",
                               "57 60 10 10 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D"
                               " 0E 0F 10 00"}) {
        port.deliver(hex(answer));
    }
    EXPECT_EQ(trace(), "AC ID R00 R10");
    EXPECT_EQ(listener.outcomes, Lines{"PortLost"});
}

TEST_F(TransferTest, AnswersNotAskedForAreDropped) {
    answers = {{2, {}}};
    start(false);
    run();
    for (const char* answer : {"", "4B 56 06", "06", "0A", "4B 56 07",
                               "49 51 56 2D 34 31 32 30 00 00 30 31 30 32 00 00"}) {
        port.deliver(hex(answer));
    }
    EXPECT_EQ(trace(), "AC ID R00");
    EXPECT_TRUE(timer.running);
    EXPECT_TRUE(listener.outcomes.empty());
}

TEST_F(TransferTest, StartingAgainAbandonsTheRunningTransfer) {
    answers = {{5, {}}};
    start(false);
    run();
    forget();
    start(true);
    EXPECT_EQ(journal, (Lines{"close", "open", "write"}));
    runToEnd();
    EXPECT_EQ(trace(), kWriteReads + " " + kBlocks);
    EXPECT_EQ(listener.outcomes, Lines{"write completed"});
}

// The long pause after END keeps the window painting: it may be closed meanwhile, and a
// device lost then no longer matters.
TEST_F(TransferTest, LongPauseAfterEnd) {
    for (const bool abandoned : {false, true}) {
        forget();
        pause.during = [&](int milliseconds) {
            if (milliseconds == 3000) {
                abandoned ? transfer.abandon() : port.lose();
            }
        };
        start(false);
        run();
        EXPECT_EQ(listener.outcomes, abandoned ? Lines{} : Lines{"read completed"});
    }
}

TEST_F(TransferTest, AccessCodeComesFromTheSettings) {
    transfer.setRadioSettings({.accessCode = "ABCDEFGHIJ", .model = ""});
    start(false);
    EXPECT_EQ(port.written, std::vector<Frame>{hex("41 42 43 44 45 46 47 48 49 4A")});
}

}  // namespace
}  // namespace qv
