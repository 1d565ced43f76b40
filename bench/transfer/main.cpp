// A full read and a full write through the real serial adapter against the paced simulated
// radio: wall time from the start to the outcome against the floor (every byte's line time at
// 9600 8N1 plus the pauses made before the outcome: a write's include the radio's rest, a
// read's do not). The write starts once the read's rest is over.
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>

#include "CountingSerialPort.h"
#include "CountingStepTimer.h"
#include "link/FileRestRecord.h"
#include "link/QtAnswerTimer.h"
#include "link/QtStepTimer.h"
#include "link/SerialPortAdapter.h"
#include "link/Transfer.h"
#include "tests/support/EventLoopWait.h"

namespace {

using namespace qv;
using Clock = std::chrono::steady_clock;

constexpr double kByteMs = 10.0 * 1000.0 / 9600.0;

// Keeps how the transfer ended, and when, and the pauses made before the radio's rest began.
struct Outcome final : TransferListener {
    explicit Outcome(const bench::CountingStepTimer& steps) : steps(steps) {}
    void onBlockStarted(TransferKind, int, int) override {}
    void onIdentified(const Identification&) override {}
    void onReadCompleted(const CalibrationRecord&) override { ended("read completed"); }
    void onWriteCompleted() override { ended("write completed"); }
    void onFailed(const TransferFailure& failure) override {
        ended("failed (" + std::to_string(static_cast<int>(failure.kind)) + ")");
    }
    void onResting(RestKind, int) override {
        pausesBeforeRest = pausesBeforeRest.value_or(steps.total);
    }
    void ended(std::string what) {
        at = Clock::now();
        text = std::move(what);
    }
    const bench::CountingStepTimer& steps;
    std::string text;
    Clock::time_point at;
    std::optional<long> pausesBeforeRest;
};

struct Measure {
    double wallMs = 0;
    double floorMs = 0;
    std::string outcome;
};

Measure run(const std::function<void()>& start, bench::CountingSerialPort& port,
            bench::CountingStepTimer& steps, Outcome& outcome) {
    port.bytes = 0;
    steps.total = 0;
    outcome.text.clear();
    outcome.pausesBeforeRest.reset();
    const auto began = Clock::now();
    start();
    test::waitUntil([&] { return !outcome.text.empty(); }, std::chrono::seconds(30));
    const std::chrono::duration<double, std::milli> wall = outcome.at - began;
    // The rest is counted whole: its steps aim at its end, whatever time each of them took.
    const long pauses = outcome.pausesBeforeRest
                            ? *outcome.pausesBeforeRest + static_cast<long>(Transfer::kRest.count())
                            : steps.total;
    return {.wallMs = wall.count(),
            .floorMs = static_cast<double>(port.bytes) * kByteMs + static_cast<double>(pauses),
            .outcome = outcome.text.empty() ? "(no outcome)" : outcome.text};
}

void print(const char* what, const Measure& m) {
    std::printf("%-6s %9.1f ms %9.1f ms %7.4f  %s\n", what, m.wallMs, m.floorMs,
                m.wallMs / m.floorMs, m.outcome.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QProcess radio;
    radio.start(QStringLiteral(QV_RADIOSIM),
                {"--image", dir.filePath("radio.bin"), "--log", dir.filePath("radio.log")});
    if (!radio.waitForStarted(10'000) || !radio.waitForReadyRead(10'000)) {
        std::fprintf(stderr, "the simulated radio did not start\n");
        return 1;
    }
    const std::string device = radio.readLine().trimmed().toStdString();

    SerialPortAdapter adapter;
    bench::CountingSerialPort port(adapter);
    QTimer waitTimer;
    QtAnswerTimer timer(waitTimer);
    QtStepTimer qtSteps;
    bench::CountingStepTimer steps(qtSteps);
    FileRestRecord rests(dir.path());
    Outcome outcome(steps);
    Transfer transfer(port, timer, steps, rests, outcome);
    // The write sends back what the read brought.
    const auto keepImage = [](CalibrationRecord&) { return std::optional<GatherError>(); };
    // The backup costs its reads, not a file: it is kept in memory here.
    const auto keepBackup = [](const CalibrationRecord&, const Identification&) {
        return std::optional<std::string>();
    };

    std::printf("%-6s %12s %12s %7s  %s\n", "", "wall", "floor", "ratio", "outcome");
    print("read", run([&] { transfer.startRead(device); }, port, steps, outcome));
    test::waitUntil([&] { return !transfer.resting(); }, std::chrono::seconds(10));
    print("write",
          run([&] { transfer.startWrite(device, keepImage, keepBackup); }, port, steps, outcome));
    radio.terminate();
    radio.waitForFinished(10'000);
    return 0;
}
