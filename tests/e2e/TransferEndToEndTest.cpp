// The whole transfer over a real pseudo-terminal: the serial adapter on the Qt event loop
// against the simulated radio.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "tests/support/EventLoopWait.h"
#include "tests/support/LinkFakes.h"
#include "tests/support/RadioProcess.h"
#include "SimulatedRadio.h"
#include "tests/support/WrittenWithSevens.h"
#include "link/QtAnswerTimer.h"
#include "link/SerialPortAdapter.h"
#include "link/Transfer.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using Memory = sim::SimulatedRadio::Memory;

class EndToEnd : public testing::Test {
protected:
    EndToEnd() { texts.texts.fill("7"); }

    std::string outcome() {
        if (!test::waitUntil([&] { return !notices.shown.empty(); }, 15s)) {
            return "no message; the radio's log:\n" + radio.log();
        }
        return notices.shown.front().first;
    }

    QTemporaryDir dir;
    test::RadioProcess radio{dir.filePath("radio.bin"), dir.filePath("radio.log")};
    test::Journal journal;
    SerialPortAdapter port;
    QTimer waitTimer;
    QtAnswerTimer timer{waitTimer};
    test::FakePause pause{journal};
    test::FakeNotices notices{journal};
    test::FakeFieldTexts texts;
    CalibrationRecord record;
    FieldRecord fieldRecord;
    Transfer transfer{port, timer, pause, notices, texts, record, fieldRecord};
};

TEST_F(EndToEnd, ReadBringsTheRadiosMemory) {
    ASSERT_TRUE(transfer.startRead(radio.start()));
    EXPECT_EQ(outcome(), kReadComplete);
    const Memory image = sim::builtInImage();
    for (std::size_t i = 0; i < image.size(); ++i) {
        ASSERT_EQ(record.byte(i), image[i]) << "offset " << i;
    }
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(texts.texts[0], std::to_string(image[0] | image[1] << 8));
}

TEST_F(EndToEnd, WriteAfterReadChangesOnlyTheEditedField) {
    const std::string device = radio.start();
    ASSERT_TRUE(transfer.startRead(device));
    ASSERT_EQ(outcome(), kReadComplete);
    notices.shown.clear();
    texts.texts[0] = "4321";

    ASSERT_TRUE(transfer.startWrite(device));
    EXPECT_EQ(outcome(), kWriteComplete);
    Memory expected = sim::builtInImage();
    expected[0] = 4321 & 0xFF;
    expected[1] = 4321 >> 8;
    EXPECT_EQ(radio.memoryAfterStop(), expected);
}

TEST_F(EndToEnd, WriteWithoutReadKeepsTheRadiosOwnBytes) {
    ASSERT_TRUE(transfer.startWrite(radio.start()));
    EXPECT_EQ(outcome(), kWriteComplete);
    EXPECT_EQ(radio.memoryAfterStop(), test::writtenWithSevens(sim::builtInImage()));
}

TEST_F(EndToEnd, RefusedWriteBlockIsSentAgain) {
    // Frames 3..8 are the six preparation reads, 9 is the first write block.
    ASSERT_TRUE(transfer.startWrite(radio.start({"--fault", "refuse@9"})));
    EXPECT_EQ(outcome(), kWriteComplete);
    EXPECT_EQ(radio.memoryAfterStop(), test::writtenWithSevens(sim::builtInImage()));
}

struct FaultCase {
    const char* name;
    QStringList options;
    const char* outcome;
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.name;
}

class ReadWithFault : public EndToEnd, public testing::WithParamInterface<FaultCase> {};

TEST_P(ReadWithFault, EndsInTheRightMessageWithThePortClosed) {
    transfer.setRadioSettings({.accessCode = "PROGRAMQV4", .model = "QV-4120"});
    ASSERT_TRUE(transfer.startRead(radio.start(GetParam().options)));
    EXPECT_EQ(outcome(), GetParam().outcome);
    EXPECT_TRUE(test::waitUntil([&] { return !port.isOpen(); }, 5s));
    EXPECT_EQ(transfer.state().TransferMode, kIdle);
    test::runEventLoopFor(100ms);
    EXPECT_EQ(notices.shown.size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(
    EndToEnd, ReadWithFault,
    testing::Values(FaultCase{"SilenceOnce", {"--fault", "silence@3"}, kReadComplete},
                    FaultCase{"SilenceThrice", {"--fault", "silence@3-5"}, kReadComplete},
                    FaultCase{"SilenceFourTimes", {"--fault", "silence@3-6"}, kCommunicationError},
                    FaultCase{"GarbledAnswer", {"--fault", "garble@4"}, kReadComplete},
                    FaultCase{"OtherAddress", {"--fault", "other-address@4"}, kReadComplete},
                    FaultCase{"RefusedEnd", {"--fault", "refuse@11"}, kReadComplete},
                    FaultCase{"LineDropped", {"--fault", "drop@5"}, kPortLost},
                    FaultCase{"OtherModel", {"--model", "QV-9999"}, kModelErrorEnglish}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv
