// A full read and a full write through the real serial adapter against the paced simulated
// radio: wall time from the start to the outcome against the floor (every byte's line time at
// 9600 8N1 plus the pauses made before the outcome: a write's include the radio's rest and the
// session that reads it back, a read's do not). The write starts once the read's rest is over.
// Then, once the write's rest is over, the read's frames go out through the bare port ("line"):
// blocking waits, exact pauses, no event loop, no check for other holders. That row is what any
// client pays on this line, so the first row's distance from it is the tool's own. Last, a read
// of a second simulated radio whose answers carry no checksum: every block is asked twice.
#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <thread>

#include "CountingSerialPort.h"
#include "CountingStepTimer.h"
#include "datafile/PathText.h"
#include "link/FileRestRecord.h"
#include "link/Frames.h"
#include "link/QtAnswerTimer.h"
#include "link/QtStepTimer.h"
#include "link/RadioSettings.h"
#include "link/SerialPortAdapter.h"
#include "link/Transfer.h"

namespace {

using namespace qv;
using Clock = std::chrono::steady_clock;

constexpr double kByteMs = 10.0 * 1000.0 / 9600.0;

// Keeps how the transfer ended, and when, and the pauses made before the radio's rest began.
// It ends the event loop at the outcome and at the end of the rest: nothing else wakes the loop,
// so the transfer's own timers are measured, not a harness's.
struct Outcome final : TransferListener {
    explicit Outcome(const bench::CountingStepTimer& steps) : steps(steps) {}
    void onBlockStarted(TransferKind, int, int) override {}
    void onIdentified(const Identification&) override {}
    void onReadBackStarted() override { pausesBeforeReadBack = steps.total; }
    void onReadCompleted(const CalibrationRecord&) override { ended("read completed"); }
    void onWriteCompleted() override { ended("write completed"); }
    void onFailed(const TransferFailure& failure) override {
        ended("failed (" + std::to_string(static_cast<int>(failure.kind)) + ")");
    }
    void onResting(RestKind, int) override {
        pausesBeforeRest = pausesBeforeRest.value_or(steps.total);
    }
    void onRestOver() override { loop.quit(); }
    void ended(std::string what) {
        at = Clock::now();
        pausesBeforeOutcome = steps.total;
        text = std::move(what);
        loop.quit();
    }
    // Runs the event loop until the outcome or the rest's end, or 30 s. The guard ends with the
    // wait, so it never cuts a later one short.
    void wait() {
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(std::chrono::seconds(30));
        loop.exec();
    }
    const bench::CountingStepTimer& steps;
    std::string text;
    Clock::time_point at;
    std::optional<long> pausesBeforeRest;
    std::optional<long> pausesBeforeReadBack;
    long pausesBeforeOutcome = 0;
    QEventLoop loop;
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
    outcome.pausesBeforeReadBack.reset();
    const auto began = Clock::now();
    start();
    outcome.wait();
    const std::chrono::duration<double, std::milli> wall = outcome.at - began;
    // The rest is counted whole: its steps aim at its end, whatever time each of them took.
    const long readBackPauses = outcome.pausesBeforeOutcome -
                                outcome.pausesBeforeReadBack.value_or(outcome.pausesBeforeOutcome);
    const long pauses = outcome.pausesBeforeRest
                            ? *outcome.pausesBeforeRest +
                                  static_cast<long>(Transfer::kRest.count()) + readBackPauses
                            : outcome.pausesBeforeOutcome;
    return {.wallMs = wall.count(),
            .floorMs = static_cast<double>(port.bytes) * kByteMs + static_cast<double>(pauses),
            .outcome = outcome.text.empty() ? "(no outcome)" : outcome.text};
}

// Sends the frame and blocks until `answerBytes` came back; the bytes that crossed the line.
std::size_t exchange(QSerialPort& port, const Frame& frame, qint64 answerBytes) {
    port.write(reinterpret_cast<const char*>(frame.data()), static_cast<qint64>(frame.size()));
    port.flush();
    while (port.bytesAvailable() < answerBytes && port.waitForReadyRead(1000)) {
    }
    return frame.size() + static_cast<std::size_t>(port.readAll().size());
}

// Sleeps to just short of the deadline and spins the rest, so the pause is exact.
void pauseExactly(std::chrono::milliseconds pause) {
    const auto deadline = Clock::now() + pause;
    std::this_thread::sleep_until(deadline - std::chrono::microseconds(300));
    while (Clock::now() < deadline) {
    }
}

Measure bareRead(const std::string& device) {
    std::vector<std::pair<Frame, qint64>> plan{
        {accessCodeFrame(kDefaultAccessCode), kAccessAckThreshold},
        {identifyRequestFrame(), kIdentificationThreshold}};
    for (std::size_t block = 0; block < CalibrationRecord::kMemorySize / kBlockSize; ++block) {
        plan.emplace_back(readRequestFrame(static_cast<std::uint16_t>(
                              CalibrationRecord::kBaseAddress + block * kBlockSize)),
                          kBlockAnswerThreshold);
    }
    plan.emplace_back(endFrame(), kSingleByteThreshold);

    const auto began = Clock::now();
    QSerialPort port(QString::fromStdString(device));
    port.setBaudRate(QSerialPort::Baud9600);
    if (!port.open(QIODevice::ReadWrite)) {
        return {.outcome = "(cannot open the port)"};
    }
    std::size_t bytes = 0;
    for (const auto& [frame, answerBytes] : plan) {
        if (bytes > 0) {
            pauseExactly(Transfer::kStepPause);
        }
        bytes += exchange(port, frame, answerBytes);
    }
    port.close();
    const std::chrono::duration<double, std::milli> wall = Clock::now() - began;
    const auto pauses =
        static_cast<double>(plan.size() - 1) * static_cast<double>(Transfer::kStepPause.count());
    return {.wallMs = wall.count(),
            .floorMs = static_cast<double>(bytes) * kByteMs + pauses,
            .outcome = "bare read"};
}

void print(const char* what, const Measure& m) {
    std::printf("%-18s %9.1f ms %9.1f ms %7.4f  %s\n", what, m.wallMs, m.floorMs,
                m.wallMs / m.floorMs, m.outcome.c_str());
}

// A paced simulated radio with its memory and log in `dir`; its device, empty when it did not
// start.
std::string startRadio(QProcess& radio, const QTemporaryDir& dir, const QString& name,
                       QStringList options) {
    options << "--image" << dir.filePath(name + ".bin") << "--log" << dir.filePath(name + ".log");
    radio.start(QStringLiteral(QV_RADIOSIM), options);
    if (!radio.waitForStarted(10'000) || !radio.waitForReadyRead(10'000)) {
        std::fprintf(stderr, "the simulated radio did not start\n");
        return {};
    }
    return radio.readLine().trimmed().toStdString();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QProcess radio;
    QProcess radioWithoutChecksum;
    const std::string device = startRadio(radio, dir, "radio", {});
    const std::string deviceWithoutChecksum =
        startRadio(radioWithoutChecksum, dir, "unchecked", {"--answer-checksum", "none"});
    if (device.empty() || deviceWithoutChecksum.empty()) {
        return 1;
    }

    SerialPortAdapter adapter;
    bench::CountingSerialPort port(adapter);
    QTimer waitTimer;
    QtAnswerTimer timer(waitTimer);
    QtStepTimer qtSteps;
    bench::CountingStepTimer steps(qtSteps);
    FileRestRecord rests(pathFromUtf8(dir.path().toStdString()));
    Outcome outcome(steps);
    Transfer transfer(port, timer, steps, rests, outcome);
    // The write sends back what the read brought.
    const auto keepImage = [](CalibrationRecord&) { return std::optional<GatherError>(); };
    // The backup costs its reads, not a file: it is kept in memory here.
    const auto keepBackup = [](const CalibrationRecord&, const Identification&) {
        return std::optional<std::string>();
    };

    std::printf("%-18s %12s %12s %7s  %s\n", "", "wall", "floor", "ratio", "outcome");
    const auto waitForRest = [&] {
        if (transfer.resting()) {
            outcome.wait();
        }
    };
    print("read", run([&] { transfer.startRead(device); }, port, steps, outcome));
    waitForRest();
    print("write",
          run([&] { transfer.startWrite(device, keepImage, keepBackup); }, port, steps, outcome));
    waitForRest();
    print("line", bareRead(device));
    print("read (no checksum)",
          run([&] { transfer.startRead(deviceWithoutChecksum); }, port, steps, outcome));
    waitForRest();
    for (QProcess* each : {&radio, &radioWithoutChecksum}) {
        each->terminate();
        each->waitForFinished(10'000);
    }
    return 0;
}
