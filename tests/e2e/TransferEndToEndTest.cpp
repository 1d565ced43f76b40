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

// A read, or a write with no read before to a radio whose memory is all 0xEE, with the radio's
// options and the one outcome. The radio counts the frames it receives from 1: a read sends
// the access code, the identify request, reads 3..10 and END 11 when all goes well; such a
// write reads 3..8, writes blocks 9..16 and sends END 17.
struct Case {
    bool write;
    QStringList options;
    const char* outcome;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << (c.write ? "write " : "read ") << c.options.join(' ').toStdString() << " => "
         << c.outcome;
}

class EndToEnd : public testing::TestWithParam<Case> {
protected:
    QTemporaryDir dir;
    test::RadioProcess radio{dir.filePath("radio.bin"), dir.filePath("radio.log")};
    std::vector<std::string> journal;
    SerialPortAdapter port;
    QTimer waitTimer;
    QtAnswerTimer timer{waitTimer};
    test::FakePause pause{journal};
    test::RecordingListener listener{journal};
    test::FakeFieldTexts texts;
    FieldRecord fieldRecord;
    Transfer transfer{port, timer, pause, listener};
};

TEST_P(EndToEnd, EndsWithOneOutcomeAndThePortClosed) {
    const Case& c = GetParam();
    texts.texts.fill("7");
    listener.atOutcome = [this] { EXPECT_FALSE(port.isOpen()); };
    transfer.setRadioSettings({.accessCode = "PROGRAMQV4", .model = "QV-4120"});
    if (c.write) {
        QFile image(dir.filePath("radio.bin"));
        ASSERT_TRUE(image.open(QIODevice::WriteOnly) && image.write(QByteArray(128, '\xEE')));
        image.close();
        transfer.startWrite(radio.start(c.options), [this](CalibrationRecord& image) {
            return textsToImage(texts, fieldRecord, image);
        });
    } else {
        transfer.startRead(radio.start(c.options));
    }
    ASSERT_TRUE(test::waitUntil([&] { return !listener.outcomes.empty(); }, 15s)) << radio.log();
    test::runEventLoopFor(100ms);
    EXPECT_EQ(listener.outcomes, std::vector<std::string>{c.outcome});
    if (std::string(c.outcome) == "read completed") {
        EXPECT_EQ(listener.memory(), sim::builtInImage());
    } else if (std::string(c.outcome) == "write completed") {
        const sim::SimulatedRadio::Memory memory = radio.memoryAfterStop();
        EXPECT_EQ(Frame(memory.begin(), memory.end()), test::kSevensOverEe);
    }
}

// The model is checked. A read: 1 AC, 2 ID (silent), 3 AC, 4 ID, 5..7 R00 (silent), 8 R00, 9 R10
// (garbled), 10 R10, 11 R20 (another block's answer), 12 R20, 13..17 R30..R70, 18 END
// (refused), 19 END (silent), 20 END. A write: 1 AC, 2 ID, 3 R00 (another block's answer),
// 4 R00, 5..9 the other reads, 10 W00, 11..13 W10 (refused), 14 W10, ...
INSTANTIATE_TEST_SUITE_P(
    Faults, EndToEnd,
    testing::Values(
        Case{false,
             {"--fault", "silence@2", "--fault", "silence@5-7", "--fault", "garble@9", "--fault",
              "other-address@11", "--fault", "refuse@18", "--fault", "silence@19"},
             "read completed"},
        Case{false, {"--fault", "silence@3-6"}, "NoAnswer"},
        Case{false, {"--fault", "silence@11-14"}, "NoAnswer"},
        Case{false, {"--fault", "drop@5"}, "PortLost"},
        Case{false, {"--model", "QV-9999"}, "WrongModel QV-9999"},
        Case{true, {"--fault", "other-address@3", "--fault", "refuse@11-13"}, "write completed"},
        Case{true, {"--fault", "refuse@10-13"}, "NoAnswer"}));

}  // namespace
}  // namespace qv
