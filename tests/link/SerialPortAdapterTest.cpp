#include "link/SerialPortAdapter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <cerrno>

#include "PseudoTerminal.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/RadioProcess.h"

namespace qv {
namespace {

using namespace std::chrono_literals;

// The adapter on a pseudo-terminal whose other end the test plays.
class SerialPortAdapterTest : public testing::Test {
protected:
    SerialPortAdapterTest() {
        adapter.setHandlers([this](const Frame& block) { blocks.push_back(block); }, {});
        adapter.setDevice(line.devicePath());
        EXPECT_EQ(adapter.open(), std::nullopt);
    }

    // The blocks delivered once the bytes have come: the first, or none within `wait`.
    std::vector<Frame> received(const Frame& bytes, std::chrono::milliseconds wait = 5s) {
        blocks.clear();
        line.write(bytes);
        test::waitUntil([&] { return !blocks.empty(); }, wait);
        return blocks;
    }

    sim::PseudoTerminal line;
    SerialPortAdapter adapter;
    std::vector<Frame> blocks;
};

// In plain words; a port held by another program is busy, however the system says so, and
// names that program when it is found (here this very process, which holds the line).
TEST_F(SerialPortAdapterTest, OpenSaysWhyThePortCannotBeHad) {
    const std::string busy = "The port is busy: another program holds it.";
    SerialPortAdapter missing;
    missing.setDevice("/dev/qv-no-such-port");
    EXPECT_EQ(missing.open(), "No such device: is the cable plugged in?");
    SerialPortAdapter other;
    other.setDevice(line.devicePath());
    EXPECT_EQ(other.open(), "The port is busy: link_qt_tests (process " + std::to_string(getpid()) +
                                ") holds it.");
    const HolderLookup none = [] { return std::nullopt; };
    const HolderLookup modemManager = [] { return PortHolder{"ModemManager", 812}; };
    using Case = std::tuple<QSerialPort::SerialPortError, QString, int, HolderLookup, std::string>;
    const Case cases[] = {
        {QSerialPort::PermissionError, "Permission denied", EACCES, modemManager,
         "Permission denied: add yourself to the dialout group and log in again."},
        {QSerialPort::PermissionError, "Device or resource busy", 0, none, busy},
        {QSerialPort::PermissionError, "Error while locking", EACCES, {}, busy},
        {QSerialPort::PermissionError, "", EBUSY, modemManager,
         "The port is busy: ModemManager (process 812) holds it."},
        {QSerialPort::PermissionError, "", EBUSY,
         [] {
             return PortHolder{"brltty", 9, false};
         },
         "The port is busy: another program holds it; brltty (process 9) runs and often takes "
         "serial adapters."},
        {QSerialPort::OpenError, "Device is already open", 0, modemManager,
         "Device is already open"}};
    for (const auto& [error, text, systemError, findHolder, reason] : cases) {
        EXPECT_EQ(openFailureReason(error, text, systemError, findHolder), reason) << reason;
    }
}

// Another program holding the device, here the simulated radio, is found through a link to it
// too; a file that no program holds has no holder, unless a program known to take serial
// adapters runs (here the simulator again).
TEST(PortHolder, IsTheProgramThatHasTheDeviceOpen) {
    QTemporaryDir dir;
    test::RadioProcess radio(dir.filePath("radio.bin"), dir.filePath("radio.log"));
    const std::string device = radio.start({"--link", dir.filePath("radio")});
    const PortHolder simulator{"qv4120-radiosim", radio.pid()};
    for (const std::string& path : {device, dir.filePath("radio").toStdString()}) {
        EXPECT_EQ(findPortHolder(path), simulator) << path;
    }
    QFile(dir.filePath("free")).open(QIODevice::WriteOnly);
    EXPECT_EQ(findPortHolder(dir.filePath("free").toStdString(), {}), std::nullopt);
    EXPECT_EQ(findPortHolder(dir.filePath("free").toStdString(), {"qv4120-radiosim"}),
              (PortHolder{"qv4120-radiosim", radio.pid(), false}));
}

// Bytes below the threshold wait, then go out as one block; that a clear drops them, the fault
// matrix's half answers show.
TEST_F(SerialPortAdapterTest, BytesWaitUntilTheThresholdIsReached) {
    adapter.setReceiveThreshold(3);
    EXPECT_EQ(received({0x4B, 0x56}, 150ms), std::vector<Frame>{});
    EXPECT_EQ(received({0x06, 0x57}), (std::vector<Frame>{{0x4B, 0x56, 0x06, 0x57}}));
}

}  // namespace
}  // namespace qv
