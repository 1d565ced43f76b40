// A full read and a full write through the real serial adapter against the paced simulated
// radio: wall time against the floor (every byte's line time at 9600 8N1 plus the pauses).
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <functional>

#include "CountingPause.h"
#include "CountingSerialPort.h"
#include "link/QtAnswerTimer.h"
#include "link/QtPause.h"
#include "link/SerialPortAdapter.h"
#include "link/Transfer.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/RecordingListener.h"

namespace {

using namespace qv;
using Clock = std::chrono::steady_clock;

constexpr double kByteMs = 10.0 * 1000.0 / 9600.0;

struct Measure {
    double wallMs = 0;
    double floorMs = 0;
    std::string outcome;
};

Measure run(const std::function<void()>& start, bench::CountingSerialPort& port,
            bench::CountingPause& pause, test::RecordingListener& listener) {
    port.bytes = 0;
    pause.total = 0;
    listener.outcomes.clear();
    const auto began = Clock::now();
    start();
    test::waitUntil([&] { return !listener.outcomes.empty(); }, std::chrono::seconds(30));
    const std::chrono::duration<double, std::milli> wall = Clock::now() - began;
    return {.wallMs = wall.count(),
            .floorMs = static_cast<double>(port.bytes) * kByteMs + static_cast<double>(pause.total),
            .outcome = listener.outcomes.empty() ? "(no outcome)" : listener.outcomes.front()};
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
    QtPause qtPause;
    bench::CountingPause pause(qtPause);
    std::vector<std::string> journal;
    test::RecordingListener listener(journal);
    Transfer transfer(port, timer, pause, listener);
    // The write sends back what the read brought.
    const auto keepImage = [](CalibrationRecord&) { return std::optional<GatherError>(); };

    std::printf("%-6s %12s %12s %7s  %s\n", "", "wall", "floor", "ratio", "outcome");
    print("read", run([&] { transfer.startRead(device); }, port, pause, listener));
    print("write", run([&] { transfer.startWrite(device, keepImage); }, port, pause, listener));
    radio.terminate();
    radio.waitForFinished(10'000);
    return 0;
}
