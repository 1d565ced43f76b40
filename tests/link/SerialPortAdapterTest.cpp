#include "link/SerialPortAdapter.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "PseudoTerminal.h"
#include "tests/support/EventLoopWait.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using test::runEventLoopFor;
using test::waitUntil;

TEST(OpenFailureReason, SaysWhyInPlainWords) {
    const std::string busy = "The port is busy: another program holds it.";
    EXPECT_EQ(openFailureReason(QSerialPort::DeviceNotFoundError, "No such file", ENOENT),
              "No such device: is the cable plugged in?");
    EXPECT_EQ(openFailureReason(QSerialPort::PermissionError, "Permission denied", EACCES),
              "Permission denied: add yourself to the dialout group and log in again.");
    EXPECT_EQ(openFailureReason(QSerialPort::PermissionError, "Device or resource busy", 0), busy);
    EXPECT_EQ(openFailureReason(QSerialPort::PermissionError, "Error while locking", EACCES), busy);
    EXPECT_EQ(openFailureReason(QSerialPort::PermissionError, "", EBUSY), busy);
    EXPECT_EQ(openFailureReason(QSerialPort::OpenError, "Device is already open", 0),
              "Device is already open");
}

// The adapter on a pseudo-terminal whose other end the test plays.
class SerialPortAdapterTest : public testing::Test {
protected:
    SerialPortAdapterTest() {
        adapter.setHandlers([this](const Frame& block) { blocks.push_back(block); }, {});
        adapter.setDevice(line.devicePath());
        EXPECT_EQ(adapter.open(), std::nullopt);
    }

    // The block that the bytes make once they reach the threshold.
    Frame received() {
        EXPECT_TRUE(waitUntil([&] { return !blocks.empty(); }, 5s));
        return blocks.empty() ? Frame{} : blocks.front();
    }

    sim::PseudoTerminal line;
    SerialPortAdapter adapter;
    std::vector<Frame> blocks;
};

TEST_F(SerialPortAdapterTest, OpenSaysWhyThePortCannotBeHad) {
    SerialPortAdapter missing;
    missing.setDevice("/dev/qv-no-such-port");
    EXPECT_EQ(missing.open(), "No such device: is the cable plugged in?");
    EXPECT_FALSE(missing.write({0x02})) << "a closed port takes nothing";
    SerialPortAdapter other;
    other.setDevice(line.devicePath());
    EXPECT_EQ(other.open(), "The port is busy: another program holds it.");
}

TEST_F(SerialPortAdapterTest, BytesWaitUntilTheThresholdIsReached) {
    adapter.setReceiveThreshold(3);
    line.write({0x4B, 0x56});
    runEventLoopFor(150ms);
    EXPECT_TRUE(blocks.empty());
    line.write({0x06, 0x57});
    EXPECT_EQ(received(), Frame({0x4B, 0x56, 0x06, 0x57})) << "all, as one block";
}

TEST_F(SerialPortAdapterTest, ClearingOrReopeningDiscardsBytesBelowTheThreshold) {
    for (const bool reopen : {false, true}) {
        blocks.clear();
        adapter.setReceiveThreshold(21);
        line.write({0x06, 0x49});
        runEventLoopFor(150ms);
        reopen ? adapter.close() : adapter.clearBuffers();
        if (!adapter.isOpen()) {
            EXPECT_EQ(adapter.open(), std::nullopt);
        }
        adapter.setReceiveThreshold(1);
        line.write({0x0A});
        EXPECT_EQ(received(), Frame{0x0A});
    }
}

}  // namespace
}  // namespace qv
