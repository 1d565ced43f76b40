#include "link/SerialPortAdapter.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "EventLoopWait.h"

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

// A pseudo-terminal whose other end the test plays.
class PseudoTerminalPair {
public:
    PseudoTerminalPair() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master_);
        unlockpt(master_);
        path_ = ptsname(master_);
    }
    ~PseudoTerminalPair() { HangUp(); }
    const std::string& Path() const { return path_; }
    void Send(const Frame& bytes) {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    void HangUp() {
        if (master_ >= 0) {
            close(master_);
            master_ = -1;
        }
    }

private:
    int master_ = -1;
    std::string path_;
};

class SerialPortAdapterTest : public testing::Test {
protected:
    SerialPortAdapterTest() {
        adapter.SetHandlers([this](const Frame& block) { blocks.push_back(block); },
                            [this] { ++lost; });
        adapter.SetDevice(line.Path());
    }

    PseudoTerminalPair line;
    SerialPortAdapter adapter;
    std::vector<Frame> blocks;
    int lost = 0;
};

TEST_F(SerialPortAdapterTest, MissingDeviceCannotBeOpened) {
    adapter.SetDevice("/dev/qv-no-such-port");
    EXPECT_EQ(adapter.Open(), "No such device: is the cable plugged in?");
    EXPECT_FALSE(adapter.IsOpen());
}

TEST_F(SerialPortAdapterTest, PortHeldByAnotherIsBusy) {
    ASSERT_EQ(adapter.Open(), std::nullopt);
    SerialPortAdapter other;
    other.SetDevice(line.Path());
    EXPECT_EQ(other.Open(), "The port is busy: another program holds it.");
}

TEST_F(SerialPortAdapterTest, BytesWaitUntilTheThresholdIsReached) {
    ASSERT_EQ(adapter.Open(), std::nullopt);
    adapter.SetReceiveThreshold(3);
    line.Send({0x4B});
    RunEventLoopFor(150ms);
    EXPECT_TRUE(blocks.empty());
    line.Send({0x56, 0x06});
    ASSERT_TRUE(WaitUntil([&] { return !blocks.empty(); }, 5s));
    EXPECT_EQ(blocks, std::vector<Frame>{Frame({0x4B, 0x56, 0x06})});
}

TEST_F(SerialPortAdapterTest, ClearingDiscardsBytesBelowTheThreshold) {
    ASSERT_EQ(adapter.Open(), std::nullopt);
    adapter.SetReceiveThreshold(21);
    line.Send({0x06});
    RunEventLoopFor(150ms);
    adapter.ClearBuffers();
    adapter.SetReceiveThreshold(1);
    line.Send({0x0A});
    ASSERT_TRUE(WaitUntil([&] { return !blocks.empty(); }, 5s));
    EXPECT_EQ(blocks, std::vector<Frame>{Frame{0x0A}});
}

TEST_F(SerialPortAdapterTest, FramesGoOutWhole) {
    ASSERT_EQ(adapter.Open(), std::nullopt);
    EXPECT_TRUE(adapter.Write({0x52, 0x60, 0x00, 0x10}));
    adapter.Close();
    EXPECT_FALSE(adapter.IsOpen());
    EXPECT_FALSE(adapter.Write({0x02})) << "a closed port takes nothing";
}

TEST_F(SerialPortAdapterTest, ReopeningStartsWithAnEmptyBuffer) {
    ASSERT_EQ(adapter.Open(), std::nullopt);
    adapter.SetReceiveThreshold(16);
    line.Send({0x49, 0x51});
    RunEventLoopFor(150ms);
    adapter.Close();
    adapter.SetReceiveThreshold(1);
    ASSERT_EQ(adapter.Open(), std::nullopt);
    line.Send({0x06});
    ASSERT_TRUE(WaitUntil([&] { return !blocks.empty(); }, 5s));
    EXPECT_EQ(blocks, std::vector<Frame>{Frame{0x06}});
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
