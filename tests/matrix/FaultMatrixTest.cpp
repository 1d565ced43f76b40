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

enum class Scenario { Read, WriteAfterRead, Write };
const std::array<std::string, 8> kKinds{"silence", "refuse",  "other_address", "garble",
                                        "drop",    "corrupt", "delay",         "partial"};
// The frames of a transfer that goes well: the access code, the identification, eight block reads
// from frame 3, (eight blocks,) END.
constexpr int kReadFrames = 11;
constexpr int kWriteFrames = 19;
constexpr int kFirstBlockRead = 3;
constexpr std::chrono::milliseconds kBound{10'000};

Memory bytesOf(const CalibrationRecord& image) {
    Memory bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = image.byte(i);
    }
    return bytes;
}

// A simulated radio logging to its standard output, and the frames sent to it.
struct Radio {
    explicit Radio(const Memory& memory) {
        QFile image(dir.filePath("radio.bin"));
        EXPECT_TRUE(image.open(QIODevice::WriteOnly));
        image.write(reinterpret_cast<const char*>(memory.data()), std::ssize(memory));
    }
    // Its log so far.
    const QByteArray& log() { return log_ += process.output(); }

    QTemporaryDir dir;
    test::RadioProcess process{dir.filePath("radio.bin"), "/dev/stdout"};
    std::string device;
    qsizetype sent = 0;
    QByteArray log_;
};

// The answer timer on the line to a radio that answers at once: it ticks once the radio has
// logged every frame sent (each send starts the timer) and the line has then been quiet a moment,
// so that a silence costs milliseconds instead of 500.
class QuietLineTimer final : public AnswerTimer {
public:
    QuietLineTimer() {
        poll_.setInterval(1);
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            if (radio->log().count(" <- ") < radio->sent) {
                quiet_.start();
            } else if (quiet_.elapsed() >= 10) {
                tick_();
            }
        });
    }
    void start() override {
        ++radio->sent;
        quiet_.start();
        poll_.start();
    }
    void stop() override { poll_.stop(); }
    void setTickHandler(std::function<void()> tick) override { tick_ = std::move(tick); }
    bool isActive() const { return poll_.isActive(); }

    Radio* radio = nullptr;  // on the line

private:
    QTimer poll_;
    QElapsedTimer quiet_;
    std::function<void()> tick_;
};

// One radio with its fault, and the tool with the pauses returning at once.
struct Trial : TransferListener {
    Trial(const QString& fault, const Memory& memory) : radio(memory) {
        radio.process.launch({"--fault", fault});
        texts.texts.fill("7");
    }

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

    void start(bool write, Radio& on) {
        outcomes.clear();
        timer.radio = &on;
        if (!write) {
            transfer.startRead(on.device);
            return;
        }
        transfer.startWrite(
            on.device,
            [this](CalibrationRecord& image) { return textsToImage(texts, record, image); },
            [this](const CalibrationRecord& memory, const Identification&) {
                backup = bytesOf(memory);
                return std::nullopt;
            });
    }

    Radio radio;
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

// The trials side by side on the one event loop, each to its outcome, each on the radio `shift`
// places further on.
void playAll(const std::vector<std::unique_ptr<Trial>>& trials, bool write, std::size_t shift) {
    for (std::size_t i = 0; i < trials.size(); ++i) {
        trials[i]->start(write, trials[(i + shift) % trials.size()]->radio);
    }
    const auto done = [&] {
        return std::ranges::none_of(trials, [](const auto& t) { return t->outcomes.empty(); });
    };
    EXPECT_TRUE(test::waitUntil(done, kBound));
}

class FaultMatrix : public testing::TestWithParam<std::tuple<Scenario, std::string>> {};

// Radio k's memory: its own read-only, reserved and unheld bytes.
Memory memoryOf(int k) {
    Memory memory = sim::builtInImage();
    memory[14] = memory[108] = memory[120] = static_cast<std::uint8_t>(0x40 + k);
    return memory;
}

TEST_P(FaultMatrix, EachFaultAtEachFrame) {
    const auto& [scenario, kind] = GetParam();
    const bool write = scenario != Scenario::Read;
    std::array<bool, Memory().size()> sent{};
    for (const FieldInfo& f : catalogue()) {
        std::fill_n(sent.begin() + static_cast<std::ptrdiff_t>(f.offset), f.size, f.sent);
    }
    // After a read, the radio written to has changed since: it is the one the next trial read.
    const int skipped = scenario == Scenario::WriteAfterRead ? kReadFrames : 0;
    const QString option = QString::fromStdString(kind).replace('_', '-');
    for (int count = 1; count <= (kind == "drop" ? 1 : 4); ++count) {
        std::vector<std::unique_ptr<Trial>> trials;
        for (int first = 1; first <= (write ? kWriteFrames : kReadFrames); ++first) {
            const QString fault = QString("%1@%2-%3")
                                      .arg(option)
                                      .arg(skipped + first)
                                      .arg(skipped + first + count - 1);
            trials.push_back(std::make_unique<Trial>(fault, memoryOf(first)));
        }
        for (const auto& trial : trials) {
            trial->radio.device = trial->radio.process.device();
        }
        if (scenario == Scenario::WriteAfterRead) {
            playAll(trials, false, 1);
            for (const auto& trial : trials) {
                ASSERT_EQ(trial->outcomes, std::vector<std::string>{"read completed"});
                imageToTexts(trial->read, trial->record, trial->texts);
                trial->texts.texts[0] = "4321";
                trial->texts.texts[5] = "44";
            }
        }
        playAll(trials, write, 0);
        for (int first = 1; first <= std::ssize(trials); ++first) {
            SCOPED_TRACE(kind + " at frame " + std::to_string(first) + ", " +
                         std::to_string(count) + " in a row");
            Trial& trial = *trials[first - 1];
            const Memory before = memoryOf(first);
            const Memory after = trial.radio.process.memoryAfterStop();
            QCoreApplication::processEvents();
            ASSERT_EQ(trial.outcomes.size(), 1U);
            const std::string& outcome = trial.outcomes.front();
            const QString log = trial.radio.log();
            // Each exchange has three re-sends; a fourth fault on one ends the transfer.
            if (kind == "drop") {
                EXPECT_EQ(outcome, "port lost");
            } else if (count < 4 || kind == "corrupt") {
                EXPECT_EQ(outcome, write ? "write completed" : "read completed")
                    << log.toStdString();
            } else if (kind != "other_address" && kind != "delay") {
                EXPECT_EQ(outcome, "failed") << log.toStdString();
            }
            // A completion comes from the acknowledgement of the last END the radio got.
            EXPECT_TRUE(
                !outcome.ends_with("completed") ||
                log.mid(log.lastIndexOf("<- 45 4E 44")).section('\n', 1, 1).endsWith("-> 06"))
                << log.toStdString();
            // What the tool reads: a data byte changed on the line is taken as it comes.
            Memory seen = before;
            for (int f = first; kind == "corrupt" && f < first + count; ++f) {
                if (f >= kFirstBlockRead && f < kFirstBlockRead + 8) {
                    seen[16 * (f - kFirstBlockRead) + 15] ^= 0x01;
                }
            }
            CalibrationRecord intended;
            for (std::size_t i = 0; i < seen.size(); ++i) {
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

std::string trialName(const testing::TestParamInfo<FaultMatrix::ParamType>& info) {
    constexpr std::array kNames{"Read_", "WriteAfterRead_", "Write_"};
    return kNames.at(static_cast<std::size_t>(std::get<0>(info.param))) + std::get<1>(info.param);
}

INSTANTIATE_TEST_SUITE_P(All, FaultMatrix,
                         testing::Combine(testing::Values(Scenario::Read, Scenario::WriteAfterRead,
                                                          Scenario::Write),
                                          testing::ValuesIn(kKinds)),
                         trialName);

}  // namespace
}  // namespace qv
