// The whole transfer over a real pseudo-terminal: the serial adapter on the Qt event loop
// against the simulated radio.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "SimulatedRadio.h"
#include "link/QtAnswerTimer.h"
#include "link/SerialPortAdapter.h"
#include "link/Transfer.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/FakeFieldTexts.h"
#include "tests/support/FakePause.h"
#include "tests/support/RadioProcess.h"
#include "tests/support/RecordingListener.h"
#include "tests/support/WrittenWithSevens.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using Memory = sim::SimulatedRadio::Memory;

class EndToEnd : public testing::Test {
protected:
    EndToEnd() {
        texts.texts.fill("7");
        listener.atOutcome = [this] { EXPECT_FALSE(port.isOpen()); };
    }

    // The one outcome of the transfer, once it has come.
    std::string outcome() {
        if (!test::waitUntil([&] { return !listener.outcomes.empty(); }, 15s)) {
            return "none; the radio's log:\n" + radio.log();
        }
        test::runEventLoopFor(100ms);
        return listener.outcomes.size() == 1 ? listener.outcomes[0] : "more than one";
    }

    void startWrite(const std::string& device) {
        transfer.startWrite(device, [this](CalibrationRecord& image) {
            return textsToImage(texts, fieldRecord, image);
        });
    }

    Memory imageRead() const {
        Memory image{};
        for (std::size_t i = 0; i < image.size(); ++i) {
            image[i] = listener.image.byte(i);
        }
        return image;
    }

    QTemporaryDir dir;
    test::RadioProcess radio{dir.filePath("radio.bin"), dir.filePath("radio.log")};
    test::Journal journal;
    SerialPortAdapter port;
    QTimer waitTimer;
    QtAnswerTimer timer{waitTimer};
    test::FakePause pause{journal};
    test::RecordingListener listener{journal};
    test::FakeFieldTexts texts;
    FieldRecord fieldRecord;
    Transfer transfer{port, timer, pause, listener};
};

TEST_F(EndToEnd, WriteAfterReadChangesOnlyTheEditedField) {
    const std::string device = radio.start();
    transfer.startRead(device);
    ASSERT_EQ(outcome(), "read completed");
    EXPECT_EQ(imageRead(), sim::builtInImage());
    imageToTexts(listener.image, fieldRecord, texts);
    listener.outcomes.clear();
    texts.texts[0] = "4321";

    startWrite(device);
    EXPECT_EQ(outcome(), "write completed");
    Memory expected = sim::builtInImage();
    expected[0] = 0xE1;
    expected[1] = 0x10;
    EXPECT_EQ(radio.memoryAfterStop(), expected);
}

// The radio misbehaves on the frames it receives, counted from 1. A read: the access code,
// the identification, reads 3..10, END 11. A write to a radio whose memory is all 0xEE, with
// no read before: reads 3..8, write blocks 9..16, END 17.
struct FaultCase {
    const char* name;
    bool write;
    QStringList options;
    const char* outcome;
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.name;
}

class WithFault : public EndToEnd, public testing::WithParamInterface<FaultCase> {};

TEST_P(WithFault, EndsWithOneOutcomeAndThePortClosed) {
    const FaultCase& c = GetParam();
    transfer.setRadioSettings({.accessCode = "PROGRAMQV4", .model = "QV-4120"});
    if (c.write) {
        QFile image(dir.filePath("radio.bin"));
        ASSERT_TRUE(image.open(QIODevice::WriteOnly));
        image.write(QByteArray(128, '\xEE'));
        image.close();
        startWrite(radio.start(c.options));
    } else {
        transfer.startRead(radio.start(c.options));
    }
    EXPECT_EQ(outcome(), c.outcome);
    EXPECT_FALSE(port.isOpen());
    if (std::string(c.outcome) == "read completed") {
        EXPECT_EQ(imageRead(), sim::builtInImage());
    } else if (std::string(c.outcome) == "write completed") {
        const Memory memory = radio.memoryAfterStop();
        for (std::size_t k = 0; k < test::kSevensOverEe.size(); ++k) {
            EXPECT_EQ(Frame(memory.begin() + 16 * k, memory.begin() + 16 * k + 16),
                      Frame(test::kSevensOverEe[k].begin() + 4, test::kSevensOverEe[k].end() - 2));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    EndToEnd, WithFault,
    testing::Values(
        FaultCase{"Read", false, {}, "read completed"},
        FaultCase{"ThreeSilences", false, {"--fault", "silence@3-5"}, "read completed"},
        FaultCase{"FourSilences", false, {"--fault", "silence@3-6"}, "NoAnswer"},
        FaultCase{"IdentificationLost", false, {"--fault", "silence@2"}, "read completed"},
        FaultCase{"GarbledAnswer", false, {"--fault", "garble@4"}, "read completed"},
        FaultCase{"AnswerForAnotherBlock", false, {"--fault", "other-address@4"}, "read completed"},
        FaultCase{"EndRefused", false, {"--fault", "refuse@11"}, "read completed"},
        FaultCase{"EndUnanswered", false, {"--fault", "silence@11"}, "read completed"},
        FaultCase{"EndNeverAcknowledged", false, {"--fault", "silence@11-14"}, "NoAnswer"},
        FaultCase{"LineDropped", false, {"--fault", "drop@5"}, "PortLost"},
        FaultCase{"OtherModel", false, {"--model", "QV-9999"}, "WrongModel"},
        FaultCase{"Write", true, {}, "write completed"},
        FaultCase{"PreparationAnswerForAnotherBlock",
                  true,
                  {"--fault", "other-address@3"},
                  "write completed"},
        FaultCase{"WriteBlockRefused", true, {"--fault", "refuse@9"}, "write completed"},
        FaultCase{"WriteBlockRefusedFourTimes", true, {"--fault", "refuse@9-12"}, "NoAnswer"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv
