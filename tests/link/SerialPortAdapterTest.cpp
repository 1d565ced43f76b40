#include "link/SerialPortAdapter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "tests/support/EventLoopWait.h"
#include "PseudoTerminal.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using test::runEventLoopFor;
using test::waitUntil;

TEST(OpenFailureReason, SaysWhyInPlainWords) {
    struct Case {
        QSerialPort::SerialPortError error;
        const char* text;
        int systemError;
        const char* reason;
    };
    const Case cases[] = {
        {QSerialPort::DeviceNotFoundError, "No such file or directory", ENOENT,
         "No such device: is the cable plugged in?"},
        {QSerialPort::PermissionError, "Permission denied", EACCES,
         "Permission denied: add yourself to the dialout group and log in again."},
        {QSerialPort::PermissionError, "Device or resource busy", 0,
         "The port is busy: another program holds it."},
        {QSerialPort::PermissionError, "Permission error while locking the device", EACCES,
         "The port is busy: another program holds it."},
        {QSerialPort::PermissionError, "", EBUSY, "The port is busy: another program holds it."},
        {QSerialPort::OpenError, "Device is already open", 0, "Device is already open"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(openFailureReason(c.error, QString::fromUtf8(c.text), c.systemError), c.reason)
            << c.text;
    }
}

// The adapter on a pseudo-terminal whose other end the test plays.
class SerialPortAdapterTest : public testing::Test {
protected:
    SerialPortAdapterTest() {
        adapter.setHandlers([this](const Frame& block) { blocks.push_back(block); },
                            [this] { ++lost; });
        adapter.setDevice(line.devicePath());
    }

    // Sends bytes below the threshold, lets `discard` act, then expects only what follows.
    void expectBytesBelowThresholdDiscardedBy(const std::function<void()>& discard) {
        adapter.setReceiveThreshold(21);
        line.write({0x06, 0x49});
        runEventLoopFor(150ms);
        discard();
        adapter.setReceiveThreshold(1);
        line.write({0x0A});
        ASSERT_TRUE(waitUntil([&] { return !blocks.empty(); }, 5s));
        EXPECT_EQ(blocks, std::vector<Frame>{Frame{0x0A}});
    }

    sim::PseudoTerminal line;
    SerialPortAdapter adapter;
    std::vector<Frame> blocks;
    int lost = 0;
};

TEST_F(SerialPortAdapterTest, OpenSaysWhyThePortCannotBeHad) {
    SerialPortAdapter missing;
    missing.setDevice("/dev/qv-no-such-port");
    EXPECT_EQ(missing.open(), "No such device: is the cable plugged in?");
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.write({0x02})) << "a closed port takes nothing";

    ASSERT_EQ(adapter.open(), std::nullopt);
    SerialPortAdapter other;
    other.setDevice(line.devicePath());
    EXPECT_EQ(other.open(), "The port is busy: another program holds it.");
}

TEST_F(SerialPortAdapterTest, BytesWaitUntilTheThresholdIsReached) {
    ASSERT_EQ(adapter.open(), std::nullopt);
    adapter.setReceiveThreshold(3);
    line.write({0x4B, 0x56});
    runEventLoopFor(150ms);
    EXPECT_TRUE(blocks.empty());
    line.write({0x06, 0x57});
    ASSERT_TRUE(waitUntil([&] { return !blocks.empty(); }, 5s));
    EXPECT_EQ(blocks, std::vector<Frame>{Frame({0x4B, 0x56, 0x06, 0x57})}) << "all, as one block";
}

TEST_F(SerialPortAdapterTest, ClearingDiscardsBytesBelowTheThreshold) {
    ASSERT_EQ(adapter.open(), std::nullopt);
    expectBytesBelowThresholdDiscardedBy([&] { adapter.clearBuffers(); });
}

TEST_F(SerialPortAdapterTest, ReopeningStartsWithAnEmptyBuffer) {
    ASSERT_EQ(adapter.open(), std::nullopt);
    expectBytesBelowThresholdDiscardedBy([&] {
        adapter.close();
        ASSERT_EQ(adapter.open(), std::nullopt);
    });
}

TEST_F(SerialPortAdapterTest, HungUpDeviceIsReportedOnceAndClosed) {
    ASSERT_EQ(adapter.open(), std::nullopt);
    line.hangUp();
    ASSERT_TRUE(waitUntil([&] { return lost > 0; }, 5s));
    EXPECT_FALSE(adapter.isOpen());
    runEventLoopFor(150ms);
    EXPECT_EQ(lost, 1);
}

}  // namespace
}  // namespace qv
