// The fault matrix: the real serial adapter and transfer engine against the simulated radio on a
// pseudo-terminal, with each fault the radio plays at each frame it receives, once and two, three
// and four times in a row, in a read, a write after a read and a write alone. Whatever the
// outcome, it comes once and finds the transfer idle with the port closed; a completion comes
// only over the right bytes, after the radio acknowledged END; the bytes no sent field holds stay
// the radio's own, and every block of the radio is its own or the one the tool meant to send.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "link/SerialPortAdapter.h"
#include "link/Transfer.h"
#include "record/FieldCatalogue.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/FakeFieldTexts.h"
#include "tests/support/FakePause.h"
#include "tests/support/RadioProcess.h"

namespace qv {
namespace {

using Memory = sim::SimulatedRadio::Memory;

const std::array<std::string, 3> kScenarios{"Read", "WriteAfterRead", "Write"};
const std::array<std::string, 8> kKinds{"silence", "refuse",  "other_address", "garble",
                                        "drop",    "corrupt", "delay",         "partial"};
// The frames of a transfer that goes well: the access code, the identification, eight block reads
// from frame 3, (eight blocks,) END.
constexpr int kReadFrames = 11;
constexpr int kWriteFrames = 19;
constexpr int kFirstBlockRead = 3;

Memory bytesOf(const CalibrationRecord& image) {
    Memory bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = image.byte(i);
    }
    return bytes;
}

// Radio k's memory: its own read-only, reserved and unheld bytes.
Memory memoryOf(int k) {
    Memory memory = sim::builtInImage();
    memory[14] = memory[108] = memory[120] = static_cast<std::uint8_t>(0x40 + k);
    return memory;
}

struct Trial;

// The answer timer on the line to a radio that answers at once: it ticks once the radio has
// logged every frame sent to it (each send starts the timer) and the line has then been quiet a
// moment, so that a silence costs milliseconds instead of 500.
class QuietLineTimer final : public AnswerTimer {
public:
    QuietLineTimer();
    void start() override;
    void stop() override { poll_.stop(); }
    void setTickHandler(std::function<void()> tick) override { tick_ = std::move(tick); }
    bool isActive() const { return poll_.isActive(); }

    Trial* radio = nullptr;  // whose radio is on the line

private:
    QTimer poll_;
    QElapsedTimer quiet_;
    std::function<void()> tick_;
};

// A simulated radio with its fault, logging to its standard output, and the tool, whose pauses
// return at once.
struct Trial : TransferListener {
    Trial(const std::string& fault, int k) {
        QFile image(dir.filePath("radio.bin"));
        EXPECT_TRUE(image.open(QIODevice::WriteOnly));
        image.write(reinterpret_cast<const char*>(memoryOf(k).data()), sizeof(Memory));
        image.close();
        process.launch({"--fault", QString::fromStdString(fault)});
        texts.texts.fill("7");
    }
    // The radio's log so far.
    const QByteArray& log() { return log_ += process.output(); }

    void onBlockStarted(TransferKind, int, int) override {}
    void onIdentified(const Identification&) override {}
    void onReadCompleted(const CalibrationRecord& image) override {
        read = image;
        outcome("read completed");
    }
    void onWriteCompleted() override { outcome("write completed"); }
    void onFailed(const TransferFailure& failure) override {
        outcome(failure.kind == TransferFailure::Kind::PortLost ? "port lost" : "failed");
    }
    void outcome(const std::string& name) {
        EXPECT_FALSE(transfer.running() || port.isOpen() || timer.isActive()) << name;
        outcomes.push_back(name);
    }

    void start(bool write, Trial& on) {
        timer.radio = &on;
        const auto gather = [this](CalibrationRecord& image) {
            return textsToImage(texts, record, image);
        };
        const auto keep = [this](const CalibrationRecord& memory, const Identification&) {
            backup = bytesOf(memory);
            return std::nullopt;
        };
        write ? transfer.startWrite(on.device, gather, keep) : transfer.startRead(on.device);
    }

    QTemporaryDir dir;
    test::RadioProcess process{dir.filePath("radio.bin"), "/dev/stdout"};
    std::string device;
    qsizetype sent = 0;  // frames sent to the radio
    QByteArray log_;
    SerialPortAdapter port;
    QuietLineTimer timer;
    std::vector<std::string> pauses;
    test::FakePause pause{pauses};
    Transfer transfer{port, timer, pause, *this};
    std::vector<std::string> outcomes;
    CalibrationRecord read;
    Memory backup{};  // what a write kept before its first block
    test::FakeFieldTexts texts;
    FieldRecord record;
};

QuietLineTimer::QuietLineTimer() {
    poll_.setInterval(1);
    QObject::connect(&poll_, &QTimer::timeout, [this] {
        if (radio->log().count(" <- ") < radio->sent) {
            quiet_.start();
        } else if (quiet_.elapsed() >= 10) {
            tick_();
        }
    });
}

void QuietLineTimer::start() {
    ++radio->sent;
    quiet_.start();
    poll_.start();
}

// The trials side by side on the one event loop, each on the radio `shift` places further on,
// until each has its outcome.
void playAll(const std::vector<std::unique_ptr<Trial>>& trials, bool write, std::size_t shift) {
    for (std::size_t i = 0; i < trials.size(); ++i) {
        trials[i]->start(write, *trials[(i + shift) % trials.size()]);
    }
    const auto done = [&] {
        return std::ranges::none_of(trials, [](const auto& t) { return t->outcomes.empty(); });
    };
    EXPECT_TRUE(test::waitUntil(done, std::chrono::seconds(10)));
}

class FaultMatrix : public testing::TestWithParam<std::tuple<std::string, std::string>> {};

TEST_P(FaultMatrix, EachFaultAtEachFrame) {
    const auto& [scenario, kind] = GetParam();
    const bool write = scenario != "Read";
    std::array<bool, sizeof(Memory)> sent{};
    for (const FieldInfo& f : catalogue()) {
        std::fill_n(sent.begin() + static_cast<std::ptrdiff_t>(f.offset), f.size, f.sent);
    }
    // A write after a read goes to a radio whose own bytes changed since: the read was of the
    // next trial's radio.
    const int skipped = scenario == "WriteAfterRead" ? kReadFrames : 0;
    std::string option = kind;
    std::replace(option.begin(), option.end(), '_', '-');
    for (int count = 1; count <= (kind == "drop" ? 1 : 4); ++count) {
        std::vector<std::unique_ptr<Trial>> trials;
        for (int first = skipped + 1; first <= skipped + (write ? kWriteFrames : kReadFrames);
             ++first) {
            const std::string range =
                std::to_string(first) + "-" + std::to_string(first + count - 1);
            trials.push_back(std::make_unique<Trial>(option + "@" + range, first - skipped));
        }
        for (const auto& trial : trials) {
            trial->device = trial->process.device();
        }
        if (skipped > 0) {
            playAll(trials, false, 1);
            for (const auto& trial : trials) {
                ASSERT_EQ(trial->outcomes, std::vector<std::string>{"read completed"});
                imageToTexts(trial->read, trial->record, trial->texts);
                trial->texts.texts[0] = "4321";
                trial->texts.texts[5] = "44";
                trial->outcomes.clear();
            }
        }
        playAll(trials, write, 0);
        for (int first = 1; first <= std::ssize(trials); ++first) {
            SCOPED_TRACE(std::to_string(count) + " " + kind + " from frame " +
                         std::to_string(first));
            Trial& trial = *trials[first - 1];
            const Memory before = memoryOf(first);
            const Memory after = trial.process.memoryAfterStop();
            QCoreApplication::processEvents();
            ASSERT_EQ(trial.outcomes.size(), 1U);
            const std::string& outcome = trial.outcomes.front();
            const QString log = trial.log();
            SCOPED_TRACE(log.toStdString());
            // Each exchange has three re-sends; a fourth fault on one ends the transfer.
            if (kind == "drop") {
                EXPECT_EQ(outcome, "port lost");
            } else if (count < 4 || kind == "corrupt") {
                EXPECT_EQ(outcome, write ? "write completed" : "read completed");
            } else if (kind != "other_address" && kind != "delay") {
                EXPECT_EQ(outcome, "failed");
            }
            // A completion comes from the acknowledgement of the last END the radio got.
            EXPECT_TRUE(
                !outcome.ends_with("completed") ||
                log.mid(log.lastIndexOf("<- 45 4E 44")).section('\n', 1, 1).endsWith("-> 06"));
            // What the tool reads: a data byte changed on the line is taken as it comes.
            Memory seen = before;
            CalibrationRecord intended;
            for (std::size_t i = 0; i < seen.size(); ++i) {
                const int f = kFirstBlockRead + static_cast<int>(i / 16);
                seen[i] ^= kind == "corrupt" && i % 16 == 15 && f >= first && f < first + count;
                intended.setByte(i, seen[i]);
            }
            ASSERT_EQ(textsToImage(trial.texts, trial.record, intended), std::nullopt);
            const Memory expected = write ? bytesOf(intended) : before;
            EXPECT_TRUE(outcome != "read completed" || bytesOf(trial.read) == seen);
            EXPECT_TRUE(outcome != "write completed" ||
                        (after == expected && trial.backup == seen));
            // Every block is the radio's own or the one meant; no byte that no field sends changes.
            for (std::size_t i = 0; i < after.size(); ++i) {
                const auto block = [&](const Memory& m) { return m.begin() + (i - i % 16); };
                EXPECT_TRUE(std::equal(block(after), block(after) + 16, block(before)) ||
                            std::equal(block(after), block(after) + 16, block(expected)))
                    << "offset " << i;
                EXPECT_TRUE(sent[i] || after[i] == (write ? seen : before)[i]) << "offset " << i;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, FaultMatrix,
                         testing::Combine(testing::ValuesIn(kScenarios), testing::ValuesIn(kKinds)),
                         [](const auto& info) {
                             return std::get<0>(info.param) + "_" + std::get<1>(info.param);
                         });

}  // namespace
}  // namespace qv
