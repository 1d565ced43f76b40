#include "link/SerialPortAdapter.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "PseudoTerminal.h"
#include "tests/support/EventLoopWait.h"

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

// In plain words; a port held by another program is busy, however the system says so.
TEST_F(SerialPortAdapterTest, OpenSaysWhyThePortCannotBeHad) {
    const std::string busy = "The port is busy: another program holds it.";
    SerialPortAdapter missing;
    missing.setDevice("/dev/qv-no-such-port");
    EXPECT_EQ(missing.open(), "No such device: is the cable plugged in?");
    SerialPortAdapter other;
    other.setDevice(line.devicePath());
    EXPECT_EQ(other.open(), busy);
    EXPECT_EQ(openFailureReason(QSerialPort::PermissionError, "Permission denied", EACCES),
              "Permission denied: add yourself to the dialout group and log in again.");
    EXPECT_EQ(openFailureReason(QSerialPort::PermissionError, "Device or resource busy", 0), busy);
    EXPECT_EQ(openFailureReason(QSerialPort::PermissionError, "Error while locking", EACCES), busy);
    EXPECT_EQ(openFailureReason(QSerialPort::PermissionError, "", EBUSY), busy);
    EXPECT_EQ(openFailureReason(QSerialPort::OpenError, "Device is already open", 0),
              "Device is already open");
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
