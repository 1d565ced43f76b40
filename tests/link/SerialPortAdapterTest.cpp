#include "link/SerialPortAdapter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include "EventLoopWait.h"
#include "PseudoTerminal.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using test::RunEventLoopFor;
using test::WaitUntil;

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
        EXPECT_EQ(OpenFailureReason(c.error, QString::fromUtf8(c.text), c.systemError), c.reason)
            << c.text;
    }
}

// The adapter on a pseudo-terminal whose other end the test plays.
class SerialPortAdapterTest : public testing::Test {
protected:
    SerialPortAdapterTest() {
        adapter.SetHandlers([this](const Frame& block) { blocks.push_back(block); },
                            [this] { ++lost; });
        adapter.SetDevice(line.DevicePath());
    }

    // Sends bytes below the threshold, lets `discard` act, then expects only what follows.
    void ExpectBytesBelowThresholdDiscardedBy(const std::function<void()>& discard) {
        adapter.SetReceiveThreshold(21);
        line.Write({0x06, 0x49});
        RunEventLoopFor(150ms);
        discard();
        adapter.SetReceiveThreshold(1);
        line.Write({0x0A});
        ASSERT_TRUE(WaitUntil([&] { return !blocks.empty(); }, 5s));
        EXPECT_EQ(blocks, std::vector<Frame>{Frame{0x0A}});
    }

    sim::PseudoTerminal line;
    SerialPortAdapter adapter;
    std::vector<Frame> blocks;
    int lost = 0;
};

TEST_F(SerialPortAdapterTest, OpenSaysWhyThePortCannotBeHad) {
    SerialPortAdapter missing;
    missing.SetDevice("/dev/qv-no-such-port");
    EXPECT_EQ(missing.Open(), "No such device: is the cable plugged in?");
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_FALSE(missing.Write({0x02})) << "a closed port takes nothing";

    ASSERT_EQ(adapter.Open(), std::nullopt);
    SerialPortAdapter other;
    other.SetDevice(line.DevicePath());
    EXPECT_EQ(other.Open(), "The port is busy: another program holds it.");
}

TEST_F(SerialPortAdapterTest, BytesWaitUntilTheThresholdIsReached) {
    ASSERT_EQ(adapter.Open(), std::nullopt);
    adapter.SetReceiveThreshold(3);
    line.Write({0x4B, 0x56});
    RunEventLoopFor(150ms);
    EXPECT_TRUE(blocks.empty());
    line.Write({0x06, 0x57});
    ASSERT_TRUE(WaitUntil([&] { return !blocks.empty(); }, 5s));
    EXPECT_EQ(blocks, std::vector<Frame>{Frame({0x4B, 0x56, 0x06, 0x57})}) << "all, as one block";
}

TEST_F(SerialPortAdapterTest, ClearingDiscardsBytesBelowTheThreshold) {
    ASSERT_EQ(adapter.Open(), std::nullopt);
    ExpectBytesBelowThresholdDiscardedBy([&] { adapter.ClearBuffers(); });
}

TEST_F(SerialPortAdapterTest, ReopeningStartsWithAnEmptyBuffer) {
    ASSERT_EQ(adapter.Open(), std::nullopt);
    ExpectBytesBelowThresholdDiscardedBy([&] {
        adapter.Close();
        ASSERT_EQ(adapter.Open(), std::nullopt);
    });
}

TEST_F(SerialPortAdapterTest, HungUpDeviceIsReportedOnceAndClosed) {
    ASSERT_EQ(adapter.Open(), std::nullopt);
    line.HangUp();
    ASSERT_TRUE(WaitUntil([&] { return lost > 0; }, 5s));
    EXPECT_FALSE(adapter.IsOpen());
    RunEventLoopFor(150ms);
    EXPECT_EQ(lost, 1);
}

}  // namespace
}  // namespace qv
