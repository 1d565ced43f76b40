#include "link/SerialPortAdapter.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cerrno>

#include "PseudoTerminal.h"
#include "tests/support/EventLoopWait.h"
#include "tests/support/RadioProcess.h"
#include "translations/Translations.h"

namespace qv {

void PrintTo(const PortHolder& holder, std::ostream* out) {
    *out << holder.name << " (process " << holder.pid << (holder.seen ? ")" : ", unseen)");
}

namespace {

using namespace std::chrono_literals;

// Time enough to look at every program on a loaded machine.
constexpr auto kLongLook = 20s;

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
    SerialPortAdapter adapter{kLongLook};
    std::vector<Frame> blocks;
};

// In plain words. A refusal for permission is a busy port when the system says so, or when the
// device's modes would let us in (another's lock); the holders are asked only then, and named
// one line each, at most three, their names made safe for a terminal.
TEST(OpenFailureReason, SaysWhyThePortCannotBeHad) {
    const std::string busy = "The port is busy: another program holds it.";
    const HoldersLookup none = [] { return std::vector<PortHolder>{}; };
    const HoldersLookup modemManager = [] {
        return std::vector<PortHolder>{{"ModemManager", 812}};
    };
    const HoldersLookup many = [] {
        return std::vector<PortHolder>{{"sleep", 1}, {"\x1b]0;title\a", 2}, {"cat", 3}, {"cu", 4}};
    };
    const HoldersLookup unseenGrabber = [] {
        return std::vector<PortHolder>{{"brltty", 9, false}};
    };
    using Case =
        std::tuple<QSerialPort::SerialPortError, QString, int, bool, HoldersLookup, std::string>;
    const Case cases[] = {
        {QSerialPort::DeviceNotFoundError, "", ENOENT, false, nullptr,
         "No such device: is the cable plugged in?"},
        {QSerialPort::PermissionError, "Permission denied", EACCES, false, modemManager,
         "Permission denied: add yourself to the dialout group and log in again."},
        {QSerialPort::PermissionError, "", 0, true, none, busy},
        {QSerialPort::PermissionError, "", EACCES, true, nullptr, busy},
        {QSerialPort::PermissionError, "", EBUSY, false, modemManager,
         "The port is busy; the programs that hold it:\nModemManager (process 812)"},
        {QSerialPort::PermissionError, "", EBUSY, true, many,
         "The port is busy; the programs that hold it:\nsleep (process 1)\n"
         "\\x1B]0;title\\x07 (process 2)\ncat (process 3)\nand 1 more."},
        {QSerialPort::PermissionError, "", EBUSY, false, unseenGrabber,
         "The port is busy: another program holds it; brltty (process 9) runs and often takes "
         "serial adapters."},
        {QSerialPort::OpenError, "Device is already open", 0, true, modemManager,
         "Device is already open"}};
    for (const auto& [error, text, systemError, accessible, findHolders, reason] : cases) {
        EXPECT_EQ(openFailureReason(error, text, systemError, accessible, findHolders), reason)
            << reason;
    }
}

// A program that holds the device, a child here, is found under every name of the device: its
// path, the bare name the serial line takes, a link. Opened before us, it is not kept out by our
// lock, yet the port is refused, naming it, and is not left open; once it is gone the port
// opens. The simulated radio holds only its own side of the line: never a holder. A look out of
// time says so.
TEST(SerialPortAdapter, RefusesADeviceAnotherProgramHolds) {
    QTemporaryDir dir;
    sim::PseudoTerminal line;
    const QString link = dir.filePath("line");
    ASSERT_TRUE(QFile::link(QString::fromStdString(line.devicePath()), link));
    QProcess holder;
    holder.setStandardInputFile(link);
    holder.start("sleep", {"30"});
    ASSERT_TRUE(holder.waitForStarted());
    const PortHolder sleeping{"sleep", holder.processId()};
    const std::string bare = line.devicePath().substr(5);
    for (const std::string& path : {line.devicePath(), link.toStdString(), bare}) {
        const PortHolders found = findPortHolders(path, kKnownGrabbers, kLongLook);
        EXPECT_EQ(found.holders, std::vector<PortHolder>{sleeping}) << path;
        EXPECT_TRUE(found.complete);
    }
    EXPECT_FALSE(findPortHolders(bare, {}, 0ms).complete);
    SerialPortAdapter adapter{kLongLook};
    for (const std::string& path : {link.toStdString(), bare}) {
        adapter.setDevice(path);
        EXPECT_EQ(adapter.open(), "The port is busy; the programs that hold it:\nsleep (process " +
                                      std::to_string(holder.processId()) + ")");
        EXPECT_FALSE(adapter.isOpen());
    }
    holder.kill();
    holder.waitForFinished();
    EXPECT_EQ(adapter.open(), std::nullopt);
    EXPECT_TRUE(adapter.checkedEveryHolder());

    test::RadioProcess radio(dir.filePath("radio.bin"), dir.filePath("radio.log"));
    const std::string device = radio.start({"--link", dir.filePath("radio")});
    EXPECT_EQ(findPortHolders(device, {}, kLongLook).holders, std::vector<PortHolder>{});
    SerialPortAdapter onRadio{kLongLook};
    onRadio.setDevice(dir.filePath("radio").toStdString());
    EXPECT_EQ(onRadio.open(), std::nullopt);
}

// A device no program holds has no holder, unless a program known to take serial adapters runs
// (here a child), which may hold it unseen.
TEST(PortHolder, NoneForAFreeDeviceButAGrabberThatRuns) {
    const sim::PseudoTerminal line;
    QProcess grabber;
    grabber.start("sleep", {"30"});
    ASSERT_TRUE(grabber.waitForStarted());
    EXPECT_EQ(findPortHolders(line.devicePath(), {}, kLongLook).holders, std::vector<PortHolder>{});
    const auto grabbers = findPortHolders(line.devicePath(), {"sleep"}, kLongLook).holders;
    ASSERT_EQ(grabbers.size(), 1U);
    EXPECT_EQ(grabbers[0].name, "sleep");
    EXPECT_FALSE(grabbers[0].seen);
    grabber.kill();
    grabber.waitForFinished();
}

// Another opening of a line this very process holds is refused by our own lock, in either
// language: Qt's own error texts, translated in Chinese, play no part. The tool is never its own
// holder.
TEST_F(SerialPortAdapterTest, ASecondOpeningOfTheLineIsBusyInEitherLanguage) {
    for (const bool chinese : {false, true}) {
        useChinese(chinese);
        EXPECT_NE(QCoreApplication::translate("QSerialPort",
                                              "Permission error while locking the device") ==
                      "Permission error while locking the device",
                  chinese);
        SerialPortAdapter other{kLongLook};
        other.setDevice(line.devicePath());
        EXPECT_EQ(other.open(), busyReason({}));
    }
    useChinese(false);
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
