// The fault matrix: the real serial adapter and transfer engine against the simulated radio on a
// pseudo-terminal, with each fault the radio plays at each frame it receives, once and two, three
// and four times in a row, in a read, a write after a read and a write alone. Whatever the
// outcome, it comes once and finds the transfer idle with the port closed; a completion comes
// only over the right bytes; the bytes no sent field holds stay the radio's own.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
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
using namespace std::chrono_literals;

enum class Scenario { Read, WriteAfterRead, Write };
const std::array<std::string, 8> kKinds{"silence", "refuse",  "other-address", "garble",
                                        "drop",    "corrupt", "delay",         "partial"};
// The frames of a transfer that goes well: the access code, the identification, the eight block
// reads from frame 3, (the eight blocks,) END.
constexpr int kReadFrames = 11;
constexpr int kWriteFrames = 19;
constexpr int kFirstBlockRead = 3;
// No run may take longer to its outcome.
constexpr int kBoundMs = 10'000;

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
        QObject::connect(&poll_, &QTimer::timeout, [this] { check(); });
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
    const QByteArray& log() {
        log_ += radio_.output();
        return log_;
    }

private:
    void check() {
        if (log().count(" <- ") < sent_) {
            quiet_.start();
        } else if (quiet_.elapsed() >= 10) {
            tick_();
        }
    }

    test::RadioProcess& radio_;
    QTimer poll_;
    QElapsedTimer quiet_;
    qsizetype sent_ = 0;
    QByteArray log_;
    std::function<void()> tick_;
};

// The tool's side of one run: the real adapter and engine; the pauses return at once.
struct Station : TransferListener {
    explicit Station(test::RadioProcess& radio) : timer(radio) {}

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
        EXPECT_LT(clock.elapsed(), kBoundMs) << name;
        outcomes.push_back(name);
    }

    void start(bool write, const std::string& device) {
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

    SerialPortAdapter port;
    QuietLineTimer timer;
    std::vector<std::string> pauses;
    test::FakePause pause{pauses};
    Transfer transfer{port, timer, pause, *this};
    QElapsedTimer clock;
    std::vector<std::string> outcomes;
    CalibrationRecord read;
    test::FakeFieldTexts texts;
    FieldRecord record;
};

// One radio with its fault, and the tool on its line.
struct Trial {
    Trial(const std::string& fault, const Memory& memory) {
        QFile image(dir.filePath("radio.bin"));
        EXPECT_TRUE(image.open(QIODevice::WriteOnly));
        image.write(reinterpret_cast<const char*>(memory.data()),
                    static_cast<qint64>(memory.size()));
        image.close();
        radio.launch({"--fault", QString::fromStdString(fault)});
        station.texts.texts.fill("7");
    }

    QTemporaryDir dir;
    test::RadioProcess radio{dir.filePath("radio.bin"), "/dev/stdout"};
    std::string device;
    Station station{radio};
};

// The runs side by side on the one event loop, each to its outcome.
void playAll(const std::vector<std::unique_ptr<Trial>>& runs, bool write) {
    for (const auto& run : runs) {
        run->station.start(write, run->device);
    }
    EXPECT_TRUE(test::waitUntil(
        [&] {
            return std::ranges::all_of(
                runs, [](const auto& run) { return !run->station.outcomes.empty(); });
        },
        std::chrono::milliseconds(kBoundMs)));
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
    for (int count = 1; count <= (kind == "drop" ? 1 : 4); ++count) {
        std::vector<std::unique_ptr<Trial>> runs;
        for (int first = 1; first <= (write ? kWriteFrames : kReadFrames); ++first) {
            runs.push_back(std::make_unique<Trial>(kind + "@" + std::to_string(skipped + first) +
                                                       "-" +
                                                       std::to_string(skipped + first + count - 1),
                                                   before));
        }
        for (const auto& run : runs) {
            run->device = run->radio.device();
        }
        if (scenario == Scenario::WriteAfterRead) {
            playAll(runs, false);
            for (const auto& run : runs) {
                ASSERT_EQ(run->station.outcomes, std::vector<std::string>{"read completed"});
                imageToTexts(run->station.read, run->station.record, run->station.texts);
                run->station.texts.texts[0] = "4321";
                run->station.texts.texts[5] = "44";
            }
        }
        playAll(runs, write);
        for (int first = 1; first <= static_cast<int>(runs.size()); ++first) {
            SCOPED_TRACE(kind + " at frame " + std::to_string(first) + ", " +
                         std::to_string(count) + " in a row");
            Station& station = runs[first - 1]->station;
            const Memory after = runs[first - 1]->radio.memoryAfterStop();
            QCoreApplication::processEvents();
            ASSERT_EQ(station.outcomes.size(), 1U);
            const std::string& outcome = station.outcomes.front();
            const QByteArray& log = station.timer.log();
            if (kind == "drop") {
                EXPECT_EQ(outcome, "port lost");
            } else if (count < 4) {
                EXPECT_EQ(outcome, write ? "write completed" : "read completed") << log.data();
            }
            const QRegularExpression endAcknowledged(
                R"(frame (\d+) <- 45 4E 44 .*\nframe \1 -> 06\n)");
            EXPECT_TRUE(!outcome.ends_with("completed") || endAcknowledged.match(log).hasMatch())
                << log.data();
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
            FieldRecord scratch = station.record;
            ASSERT_EQ(textsToImage(station.texts, scratch, intended), std::nullopt);
            const Memory expected = write ? bytesOf(intended) : before;
            if (outcome == "read completed") {
                EXPECT_EQ(bytesOf(station.read), seen);
            }
            if (outcome == "write completed" || !write) {
                EXPECT_EQ(after, expected);
            }
            // Every block is the radio's own or the one sent; no byte that no field sends changes.
            for (std::size_t i = 0; i < after.size(); ++i) {
                const auto block = [&](const Memory& m) { return m.begin() + (i - i % 16); };
                EXPECT_TRUE(std::equal(block(after), block(after) + 16, block(before)) ||
                            std::equal(block(after), block(after) + 16, block(expected)))
                    << "block at offset " << i - i % 16;
                EXPECT_TRUE(sent[i] || after[i] == (write ? seen : before)[i]) << "offset " << i;
            }
        }
    }
}

std::string runName(const testing::TestParamInfo<FaultMatrix::ParamType>& info) {
    constexpr std::array kScenarios{"Read_", "WriteAfterRead_", "Write_"};
    std::string name =
        kScenarios.at(static_cast<std::size_t>(std::get<0>(info.param))) + std::get<1>(info.param);
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(All, FaultMatrix,
                         testing::Combine(testing::Values(Scenario::Read, Scenario::WriteAfterRead,
                                                          Scenario::Write),
                                          testing::ValuesIn(kKinds)),
                         runName);

}  // namespace
}  // namespace qv
