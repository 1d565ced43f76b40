// The fault matrix: the real serial adapter and transfer engine against the simulated radio on a
// pseudo-terminal, with each fault the radio plays at each frame it receives, once and two, three
// and four times in a row, in a read, a write after a read and a write alone (with its read-back).
// Whatever the outcome, it comes once and finds the transfer idle with the port closed; a
// completion comes only over the right bytes, after the radio acknowledged END, and a write's only
// when the radio holds what was sent; no changed byte reaches the record read, the backup or the
// radio; the bytes no sent field holds stay the radio's own, and every block of the radio is its
// own or the one the tool meant to send.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <map>
#include <string_view>

#include "link/SerialPortAdapter.h"
#include "link/Transfer.h"
#include "record/FieldCatalogue.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/FakeFieldTexts.h"
#include "tests/support/FakeRestRecord.h"
#include "tests/support/InstantStepTimer.h"
#include "tests/support/RadioProcess.h"

namespace qv {
namespace {

using Memory = sim::SimulatedRadio::Memory;

const std::array<std::string, 3> kScenarios{"Read", "WriteAfterRead", "Write"};
const std::array<std::string, 10> kKinds{"silence", "refuse", "other_address", "garble", "drop",
                                         "corrupt", "delay",  "partial",       "noise",  "forget"};
// The frames of a transfer that goes well: the access code, the identification, eight block reads
// (frames 3 to 10), END; a write sends its eight blocks before END (frames 11 to 19), then reads
// the radio back as a read does (frames 20 to 30).
constexpr std::array kFrames{11, 30};
// A write after a read is faulted up to its END: its read-back is a read, faulted in the others.
constexpr int kWriteEnd = 19;

// What a fault played on one frame ends in ("done": the transfer completes): played fewer than
// four times in a row, then four times on a frame answered by the access acknowledgement, the
// identification, a block, or a single byte (a write block's or END's acknowledgement). Each
// exchange has three re-sends, so a fourth fault ends the transfer, unless the faulty answer is
// still one the tool takes: a late answer as the answer to the frame sent again; another address
// changes the third byte of the access acknowledgement and of a block, a letter of the model (not
// checked here), nothing of a single byte. A data byte changed on the line spoils the checksum, so
// the block is asked again; four changed answers in a row end the transfer. A line dropped ends
// the transfer the first time. A radio that forgets what it is written ends a write whose
// forgotten block differed from the radio's own.
const std::map<std::string_view, std::array<std::string_view, 5>> kExpected = {
    {"silence", {"done", "failed", "failed", "failed", "failed"}},
    {"refuse", {"done", "failed", "failed", "failed", "failed"}},
    {"other_address", {"done", "failed", "done", "failed", "done"}},
    {"garble", {"done", "failed", "failed", "failed", "failed"}},
    {"drop", {"port lost"}},
    {"corrupt", {"done", "done", "done", "failed", "done"}},
    {"delay", {"done", "done", "done", "done", "done"}},
    {"partial", {"done", "failed", "failed", "failed", "failed"}},
    {"noise", {"done", "done", "done", "failed", "done"}},
    {"forget", {"done", "done", "done", "done", "done"}},
};

// What answers frame `frame` (from 1) of a transfer that goes well: 1 the access acknowledgement,
// 2 the identification, 3 a block, 4 a single byte.
std::size_t answerTo(int frame) {
    const int inSession =
        frame > kFrames[1] - kFrames[0] ? frame - (kFrames[1] - kFrames[0]) : frame;
    return inSession <= 2 ? static_cast<std::size_t>(inSession) : inSession <= 10 ? 3 : 4;
}

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

// A simulated radio with its fault, logging to its standard output, and the tool.
struct Trial : TransferListener {
    Trial(const QString& fault, int k) {
        const Memory memory = memoryOf(k);
        std::ofstream(dir.filePath("radio.bin").toStdString(), std::ios::binary)
            .write(reinterpret_cast<const char*>(memory.data()), sizeof(Memory));
        process.launch({"--fault", fault});
        texts.texts.fill("7");
    }
    // The radio's log so far.
    const QByteArray& log() { return log_ += process.output(); }

    // The answer timer on the line to a radio that answers at once: it ticks once the radio has
    // logged every frame sent to it (each send starts the timer) and the line has then been quiet
    // a moment, so that a silence costs milliseconds instead of 500.
    class QuietLine final : public AnswerTimer {
    public:
        QuietLine() {
            poll_.setInterval(1);
            QObject::connect(&poll_, &QTimer::timeout, [this] {
                if (radio->log().count(" <- ") < radio->sent) {
                    quiet_.start();
                } else if (quiet_.elapsed() >= 50) {
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

        Trial* radio = nullptr;  // whose radio is on the line

    private:
        QTimer poll_;
        QElapsedTimer quiet_;
        std::function<void()> tick_;
    };

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
        EXPECT_FALSE(transfer.running() || port.isOpen() || line.isActive()) << name;
        outcomes.push_back(name);
    }

    void start(bool write, Trial& on) {
        line.radio = &on;
        on.device = on.device.empty() ? on.process.device() : on.device;
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
    QuietLine line;
    // The pauses and the rest after END end at once.
    test::InstantStepTimer steps;
    test::FakeRestRecord rests;
    Transfer transfer{port, line, steps, rests, *this};
    std::vector<std::string> outcomes;
    CalibrationRecord read;
    Memory backup{};  // what a write kept before its first block
    test::FakeFieldTexts texts;
    FieldRecord record;
};

// The trials side by side on the one event loop, each on the radio `shift` places further on,
// until each has its outcome.
void playAll(const std::vector<std::unique_ptr<Trial>>& trials, bool write, std::size_t shift) {
    for (std::size_t i = 0; i < trials.size(); ++i) {
        trials[i]->start(write, *trials[(i + shift) % trials.size()]);
    }
    const auto done = [&] {
        return std::ranges::none_of(trials, [](const auto& t) { return t->outcomes.empty(); });
    };
    EXPECT_TRUE(test::waitUntil(done, std::chrono::seconds(20)));
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
    const int skipped = scenario == "WriteAfterRead" ? kFrames[0] : 0;
    const QString option = QString::fromStdString(kind).replace('_', '-') + "@%1-%2";
    for (int count = 1; count <= (kind == "drop" ? 1 : 4); ++count) {
        std::vector<std::unique_ptr<Trial>> trials;
        const int faulted = skipped > 0 ? kWriteEnd : kFrames.at(write);
        for (int first = skipped + 1; first <= skipped + faulted; ++first) {
            trials.push_back(
                std::make_unique<Trial>(option.arg(first).arg(first + count - 1), first - skipped));
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
            Trial& trial = *trials[first - 1];
            const Memory before = memoryOf(first);
            const Memory after = trial.process.memoryAfterStop();
            QCoreApplication::processEvents();
            const QString log = trial.log();
            SCOPED_TRACE(std::to_string(count) + " " + kind + " from frame " +
                         std::to_string(first) + ", radio's log:\n" + log.toStdString());
            ASSERT_EQ(trial.outcomes.size(), 1U);
            const std::string& outcome = trial.outcomes.front();
            const std::string_view named = kExpected.at(kind).at(count < 4 ? 0 : answerTo(first));
            CalibrationRecord intended;
            for (std::size_t i = 0; i < before.size(); ++i) {
                intended.setByte(i, before[i]);
            }
            ASSERT_EQ(textsToImage(trial.texts, trial.record, intended), std::nullopt);
            const Memory expected = write ? bytesOf(intended) : before;
            const bool forgotten = after != expected && kind == "forget";
            EXPECT_EQ(outcome, named == "done" && !forgotten
                                   ? (write ? "write completed" : "read completed")
                                   : std::string(forgotten ? "failed" : named));
            // A completion comes from the acknowledgement of the last END the radio got.
            EXPECT_TRUE(
                !outcome.ends_with("completed") ||
                log.mid(log.lastIndexOf("<- 45 4E 44")).section('\n', 1, 1).endsWith("-> 06"));
            // No byte changed on the line is ever taken: what is read is the radio's memory.
            EXPECT_TRUE(outcome != "read completed" || bytesOf(trial.read) == before);
            EXPECT_TRUE(outcome != "write completed" || after == expected);
            EXPECT_TRUE(!write || trial.backup == before || trial.backup == Memory{});
            // Every block is the radio's own or the one meant; no byte that no field sends changes.
            for (std::size_t i = 0; i < after.size(); ++i) {
                const auto block = [&](const Memory& m) { return m.begin() + (i - i % 16); };
                EXPECT_TRUE(std::equal(block(after), block(after) + 16, block(before)) ||
                            std::equal(block(after), block(after) + 16, block(expected)))
                    << "offset " << i;
                EXPECT_TRUE(sent[i] || after[i] == before[i]) << "offset " << i;
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
