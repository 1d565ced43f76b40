// The port list's rules, the numbering of the present ports and the settings file, without a
// Qt application.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>

#include "ports/LinuxPorts.h"
#include "ports/PortList.h"
#include "ports/SettingsFile.h"

namespace qv {
namespace {

using Strings = std::vector<std::string>;

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A settings file of this content (none when empty) in a fresh folder.
struct Settings {
    explicit Settings(const QByteArray& content) {
        QFile file(path);
        EXPECT_TRUE(content.isEmpty() || (file.open(QIODevice::WriteOnly) && file.write(content)));
    }
    QTemporaryDir dir;
    QString path = dir.filePath("mysetup.ini");
    SettingsFile file{path.toStdString()};
};

// The system's order and duplicates kept, numbers cut to three digits, spaces and what
// follows a NUL dropped; the first number listed, 0 when none.
TEST(PortList, FollowsTheSystemsPortNames) {
    std::vector<PresentPort> present;
    for (const std::string name :
         {"LPT", "COM10", "COM2", "COM2", "COM1234", "COM 7 ", "COMx", "COM4\0x"}) {
        present.push_back({name, "/dev/" + name});
    }
    Strings texts;
    for (const PortEntry& entry : listPorts(present).entries) {
        texts.push_back(entry.text);
    }
    EXPECT_EQ(texts, (Strings{"COM", "COM10", "COM2", "COM2", "COM123", "COM7", "COMx", "COM4"}));
    EXPECT_EQ(listPorts(present).first, 10);
    EXPECT_EQ(listPorts({}).first, 0);
    const std::vector<PortEntry> entries = {
        {"COM12", "/dev/a"}, {"COM1", "/dev/b"}, {"COM1", "/dev/c"}};
    EXPECT_TRUE(isPortListed(entries, 1) && !isPortListed(entries, 2));
    EXPECT_EQ(findEntryText(entries, "COM1") + findEntryText(entries, "COM2"), "COM1COM12");
}

// Each present port as "name device", for the system's devices listed one after another.
Strings listed(std::vector<PresentPort> configured, const std::vector<Strings>& listings) {
    std::size_t next = 0;
    LinuxPorts ports(
        std::move(configured), [&] { return listings[next]; },
        [](const std::string& path) { return path != "/dev/gone"; });
    Strings result;
    for (; next < listings.size(); ++next) {
        for (const PresentPort& p : ports.list()) {
            result.push_back(p.name + " " + p.device);
        }
    }
    return result;
}

// Two entries with one number would show one device and open the other: numbers from 100 up
// skip every number given by [ports] or by a device's name, and stay with their device.
TEST(LinuxPorts, NumberDevicesByNameThenFromOneHundredNeverTwice) {
    EXPECT_EQ(listed({{"COM9", "/dev/pts/3"}, {"COM100", "/dev/pts/7"}, {"COM8", "/dev/gone"}},
                     {{"/dev/ttyUSB0", "/dev/rfcomm0", "/dev/ttyS0", "/dev/ttyACM1", "/dev/ttyXR2",
                       "/dev/ttyS10"},
                      {"/dev/ttyXR2", "/dev/ttyZZ0"}}),
              (Strings{"COM9 /dev/pts/3", "COM100 /dev/pts/7", "COM1 /dev/ttyS0",
                       "COM11 /dev/ttyS10", "COM33 /dev/ttyUSB0", "COM66 /dev/ttyACM1",
                       "COM101 /dev/rfcomm0", "COM102 /dev/ttyXR2", "COM9 /dev/pts/3",
                       "COM100 /dev/pts/7", "COM102 /dev/ttyXR2", "COM103 /dev/ttyZZ0"}));
    EXPECT_EQ(listed({{"COM33", "/dev/ttyUSB1"}}, {{"/dev/ttyUSB0", "/dev/ttyUSB1"}}),
              (Strings{"COM33 /dev/ttyUSB1", "COM100 /dev/ttyUSB0"}));
    EXPECT_EQ(listed({}, {{"/dev/rfcomm0", "/dev/ttyACM35"}, {"/dev/ttyUSB0", "/dev/ttyS32"}}),
              (Strings{"COM100 /dev/ttyACM35", "COM101 /dev/rfcomm0", "COM33 /dev/ttyS32",
                       "COM102 /dev/ttyUSB0"}));
    EXPECT_EQ(listed({}, {{"/dev/rfcomm0"}, {"/dev/ttyACM35", "/dev/rfcomm0"}}),
              (Strings{"COM100 /dev/rfcomm0", "COM101 /dev/ttyACM35", "COM100 /dev/rfcomm0"}));
}

TEST(SettingsFile, ReadsTheKeysItKnows) {
    const std::pair<QByteArray, int> cases[] = {
        {"[language]\r\n  comPort =  42  \r\n", 42},
        {"", 0},
        {"[ports]\ncomPort=3\n", 0},
        {"[language]\ncomPort=3x\n", 0},
        {"[language]\ncomPort=32768\n", 0},
        {"\x01gar\n[lang\n=\n[language]\n\xff\xfe=\ncomPort=32767\n", 32767}};
    for (const auto& [content, comPort] : cases) {
        EXPECT_EQ(Settings(content).file.readComPort(), comPort) << content.data();
    }
    const Settings settings("[ports]\n; bench\nCOM9=/dev/pts/3\nx=/dev/x\nCOM12 = /dev/u\nCOM4=\n");
    Strings named;
    for (const PresentPort& port : settings.file.configuredPorts()) {
        named.push_back(port.name + "=" + port.device);
    }
    EXPECT_EQ(named, (Strings{"COM9=/dev/pts/3", "COM12=/dev/u"}));
}

TEST(SettingsFile, AWriteKeepsEveryOtherLineAndAddsWhatIsMissing) {
    const QByteArray handEdited =
        "; bench PC\n\n[ports]\n  COM3 =  /dev/serial/by-id/usb-radio  \n[language]\n"
        "lang = keep\ncomPort=3\n   other   =   odd spacing   \n\n[radio]\n; trailing\n" +
        QByteArray(3000, 'x') + "\n";
    const std::pair<QByteArray, QByteArray> cases[] = {
        {handEdited, QByteArray(handEdited).replace("comPort=3", "comPort=12")},
        {"", "[language]\ncomPort=12\n"},
        {"; mine\n[radio]\n", "; mine\n[radio]\n[language]\ncomPort=12\n"},
        {"[language]\n[radio]\n", "[language]\ncomPort=12\n[radio]\n"}};
    for (const auto& [before, after] : cases) {
        const Settings settings(before);
        EXPECT_TRUE(settings.file.writeComPort(12));
        EXPECT_EQ(contents(settings.path), after);
        EXPECT_EQ(QDir(settings.dir.path()).entryList(QDir::Files), QStringList{"mysetup.ini"});
    }
}

// A full disk (the copy fails), a change that no longer fits (minIni's own rewrite fails,
// unreported, losing the last line or the end of the value), a folder that takes no new file:
// the old file stays whole and alone. The writer runs in a child that gave up root's
// privileges, so that folder permissions hold.
TEST(SettingsFile, AFailedWriteLeavesTheFileAsItWas) {
    const QByteArray full = "; bench\n[language]\ncomPort=3\n[radio]\nmodel=QV-4120\n; end\n";
    const QByteArray keyLast = "; bench\n[language]\ncomPort=3";
    const std::tuple<QByteArray, rlim_t, mode_t> cases[] = {{full, 10, 0777},
                                                            {full, full.size(), 0777},
                                                            {keyLast, keyLast.size(), 0777},
                                                            {full, RLIM_INFINITY, 0555}};
    for (const auto& [before, limit, folderMode] : cases) {
        const Settings settings(before);
        ::chmod(settings.path.toLocal8Bit(), 0666);
        ::chmod(settings.dir.path().toLocal8Bit(), folderMode);
        const pid_t pid = ::fork();
        if (pid == 0) {
            const rlimit fileSize{limit, limit};
            std::signal(SIGXFSZ, SIG_IGN);
            const bool dropped =
                (::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0)) &&
                ::setrlimit(RLIMIT_FSIZE, &fileSize) == 0;
            ::_exit(dropped && !settings.file.writeComPort(12345) ? 0 : 1);
        }
        int status = 1;
        ::waitpid(pid, &status, 0);
        ::chmod(settings.dir.path().toLocal8Bit(), 0777);
        EXPECT_EQ(status, 0) << limit;
        EXPECT_EQ(contents(settings.path), before) << limit;
        EXPECT_EQ(QDir(settings.dir.path()).entryList(QDir::Files), QStringList{"mysetup.ini"});
    }
}

}  // namespace
}  // namespace qv
