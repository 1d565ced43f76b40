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
#include "tests/support/EventLoopWait.h"
#include "tests/support/LinkFakes.h"
#include "link/QtAnswerTimer.h"
#include "link/QtPause.h"
#include "link/SerialPortAdapter.h"
#include "link/Transfer.h"

namespace {

using namespace qv;
using Clock = std::chrono::steady_clock;

constexpr double kByteMs = 10.0 * 1000.0 / 9600.0;

struct Measure {
    double wallMs = 0;
    double floorMs = 0;
    std::string outcome;
};

Measure run(const std::function<bool()>& start, bench::CountingSerialPort& port,
            bench::CountingPause& pause, test::FakeNotices& notices) {
    port.bytes = 0;
    pause.total = 0;
    notices.shown.clear();
    const auto began = Clock::now();
    if (start()) {
        test::waitUntil([&] { return !notices.shown.empty(); }, std::chrono::seconds(30));
    }
    const std::chrono::duration<double, std::milli> wall = Clock::now() - began;
    return {.wallMs = wall.count(),
            .floorMs = static_cast<double>(port.bytes) * kByteMs + static_cast<double>(pause.total),
            .outcome = notices.shown.empty() ? "(no message)" : notices.shown.front().first};
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
    test::Journal journal;
    test::FakeNotices notices(journal);
    test::FakeFieldTexts texts;
    CalibrationRecord record;
    FieldRecord fieldRecord;
    Transfer transfer(port, timer, pause, notices, texts, record, fieldRecord);

    std::printf("%-6s %12s %12s %7s  %s\n", "", "wall", "floor", "ratio", "outcome");
    print("read", run([&] { return transfer.startRead(device); }, port, pause, notices));
    print("write", run([&] { return transfer.startWrite(device); }, port, pause, notices));
    radio.terminate();
    radio.waitForFinished(10'000);
    return 0;
}
