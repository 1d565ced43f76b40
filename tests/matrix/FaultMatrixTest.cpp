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

// The answer timer on the line to a radio that answers at once: it ticks once the radio has
// logged every frame sent (each send starts the timer) and the line has then been quiet a moment,
// so that a silence costs milliseconds instead of 500.
class QuietLineTimer final : public AnswerTimer {
public:
    explicit QuietLineTimer(test::RadioProcess& radio) : radio_(radio) {
        poll_.setInterval(1);
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            if (log().count(" <- ") < sent_) {
                quiet_.start();
            } else if (quiet_.elapsed() >= 10) {
                tick_();
            }
        });
    }
    void start() override {
        ++sent_;
        quiet_.start();
        poll_.start();
    }
    void stop() override { poll_.stop(); }
    void setTickHandler(std::function<void()> tick) override { tick_ = std::move(tick); }
    bool isActive() const { return poll_.isActive(); }
    // The radio's log so far.
    const QByteArray& log() { return log_ += radio_.output(); }

private:
    test::RadioProcess& radio_;
    QTimer poll_;
    QElapsedTimer quiet_;
    qsizetype sent_ = 0;
    QByteArray log_;
    std::function<void()> tick_;
};

// One radio with its fault, and the tool on its line with the pauses returning at once.
struct Trial : TransferListener {
    Trial(const QString& fault, const Memory& memory) {
        QFile image(dir.filePath("radio.bin"));
        EXPECT_TRUE(image.open(QIODevice::WriteOnly));
        image.write(reinterpret_cast<const char*>(memory.data()), std::ssize(memory));
        image.close();
        radio.launch({"--fault", fault});
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
        EXPECT_LT(clock.elapsed(), kBound.count()) << name;
        outcomes.push_back(name);
    }

    void start(bool write) {
        outcomes.clear();
        clock.start();
        if (write) {
            transfer.startWrite(
                device,
                [this](CalibrationRecord& image) { return textsToImage(texts, record, image); },
                [](const CalibrationRecord&, const Identification&) { return std::nullopt; });
        } else {
            transfer.startRead(device);
        }
    }

    QTemporaryDir dir;
    test::RadioProcess radio{dir.filePath("radio.bin"), "/dev/stdout"};
    std::string device;
    SerialPortAdapter port;
    QuietLineTimer timer{radio};
    std::vector<std::string> pauses;
    test::FakePause pause{pauses};
    Transfer transfer{port, timer, pause, *this};
    QElapsedTimer clock;
    std::vector<std::string> outcomes;
    CalibrationRecord read;
    test::FakeFieldTexts texts;
    FieldRecord record;
};

// The trials side by side on the one event loop, each to its outcome.
void playAll(const std::vector<std::unique_ptr<Trial>>& trials, bool write) {
    for (const auto& trial : trials) {
        trial->start(write);
    }
    const auto done = [&] {
        return std::ranges::none_of(trials, [](const auto& t) { return t->outcomes.empty(); });
    };
    EXPECT_TRUE(test::waitUntil(done, kBound));
}

class FaultMatrix : public testing::TestWithParam<std::tuple<Scenario, std::string>> {};

TEST_P(FaultMatrix, EachFaultAtEachFrame) {
    const auto& [scenario, kind] = GetParam();
    const bool write = scenario != Scenario::Read;
    const Memory before = sim::builtInImage();
    std::array<bool, Memory().size()> sent{};
    for (const FieldInfo& f : catalogue()) {
        std::fill_n(sent.begin() + static_cast<std::ptrdiff_t>(f.offset), f.size, f.sent);
    }
    const int skipped = scenario == Scenario::WriteAfterRead ? kReadFrames : 0;
    const QString option = QString::fromStdString(kind).replace('_', '-');
    for (int count = 1; count <= (kind == "drop" ? 1 : 4); ++count) {
        std::vector<std::unique_ptr<Trial>> trials;
        for (int first = skipped + 1; first <= skipped + (write ? kWriteFrames : kReadFrames);
             ++first) {
            trials.push_back(std::make_unique<Trial>(
                QString("%1@%2-%3").arg(option).arg(first).arg(first + count - 1), before));
        }
        for (const auto& trial : trials) {
            trial->device = trial->radio.device();
        }
        if (scenario == Scenario::WriteAfterRead) {
            playAll(trials, false);
            for (const auto& trial : trials) {
                ASSERT_EQ(trial->outcomes, std::vector<std::string>{"read completed"});
                imageToTexts(trial->read, trial->record, trial->texts);
                trial->texts.texts[0] = "4321";
                trial->texts.texts[5] = "44";
            }
        }
        playAll(trials, write);
        for (int first = 1; first <= std::ssize(trials); ++first) {
            SCOPED_TRACE(kind + " at frame " + std::to_string(first) + ", " +
                         std::to_string(count) + " in a row");
            Trial& trial = *trials[first - 1];
            const Memory after = trial.radio.memoryAfterStop();
            QCoreApplication::processEvents();
            ASSERT_EQ(trial.outcomes.size(), 1U);
            const std::string& outcome = trial.outcomes.front();
            const QString log = trial.timer.log();
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
            EXPECT_TRUE((write && outcome != "write completed") || after == expected);
            // Every block is the radio's own or the one sent; no byte that no field sends changes.
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
