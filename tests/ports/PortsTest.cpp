// The port list's rules, the numbering of the present ports and the settings file, without a
// Qt application.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "ports/AppFolders.h"
#include "ports/LinuxPorts.h"
#include "ports/PortList.h"
#include "ports/SettingsFile.h"
#include "tests/platform/SystemForTests.h"

namespace qv {
namespace {

using Strings = std::vector<std::string>;

// Each port as "name device", appended to `names`.
Strings named(const std::vector<PresentPort>& ports, Strings names = {}) {
    for (const PresentPort& port : ports) {
        names.push_back(port.name + " " + port.device);
    }
    return names;
}

// The system's order and duplicates kept, numbers cut to three digits, spaces dropped; the
// first number listed, 0 when none.
TEST(PortList, FollowsTheSystemsPortNames) {
    const PortListing listing = listPorts(
        {{"LPT", ""}, {"COM10", ""}, {"COM2", ""}, {"COM2", ""}, {"COM1234", ""}, {"COM 7 ", ""}});
    const std::vector<PortEntry> expected = {{"COM", ""},  {"COM10", ""},  {"COM2", ""},
                                             {"COM2", ""}, {"COM123", ""}, {"COM7", ""}};
    EXPECT_EQ(listing.entries, expected);
    EXPECT_EQ(listing.first + listPorts({}).first, 10);
}

// The ports listed one listing after another.
Strings listed(std::vector<PresentPort> configured, const std::vector<Strings>& listings) {
    std::size_t next = 0;
    LinuxPorts ports(
        std::move(configured), [&] { return listings.at(next++); },
        [](const std::string& p) { return p != "/dev/gone"; });
    Strings result;
    while (next < listings.size()) {
        result = named(ports.list(), result);
    }
    return result;
}

// Two entries with one number would show one device and open the other: numbers from 100 up
// skip every number given by [ports] or by a device's name, and stay with their device.
TEST(LinuxPorts, NumberDevicesByNameThenFromOneHundredNeverTwice) {
    EXPECT_EQ(listed({{"COM9", "/dev/pts/3"}, {"COM100", "/dev/pts/7"}, {"COM8", "/dev/gone"}},
                     {{"/dev/ttyUSB0", "/dev/rfcomm0", "/dev/ttyS0", "/dev/ttyACM1", "/dev/ttyS10",
                       "/dev/ttyXR2"}}),
              (Strings{"COM9 /dev/pts/3", "COM100 /dev/pts/7", "COM1 /dev/ttyS0",
                       "COM11 /dev/ttyS10", "COM33 /dev/ttyUSB0", "COM66 /dev/ttyACM1",
                       "COM101 /dev/rfcomm0", "COM102 /dev/ttyXR2"}));
    EXPECT_EQ(listed({{"COM33", "/dev/ttyUSB1"}}, {{"/dev/ttyUSB0", "/dev/ttyUSB1"}}),
              (Strings{"COM33 /dev/ttyUSB1", "COM100 /dev/ttyUSB0"}));
    EXPECT_EQ(listed({}, {{"/dev/rfcomm0", "/dev/ttyACM35"}, {"/dev/ttyUSB0", "/dev/ttyS32"}}),
              (Strings{"COM100 /dev/ttyACM35", "COM101 /dev/rfcomm0", "COM33 /dev/ttyS32",
                       "COM102 /dev/ttyUSB0"}));
    EXPECT_EQ(listed({}, {{"/dev/rfcomm0"}, {"/dev/ttyACM35", "/dev/rfcomm0"}}),
              (Strings{"COM100 /dev/rfcomm0", "COM101 /dev/ttyACM35", "COM100 /dev/rfcomm0"}));
}

// A settings file of this content in a fresh folder.
struct Settings {
    explicit Settings(const QByteArray& content) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    QTemporaryDir dir;
    QString path = dir.filePath("mysetup.ini");
    SettingsFile file{path.toStdString()};
};

// comPort: a whole number in the 16-bit signed range, else 0. [ports]: COM<n>=<device>.
TEST(SettingsFile, ReadsTheKeysItKnows) {
    const std::pair<QByteArray, int> cases[] = {{"[language]\ncomPort=3x\n", 0},
                                                {"[language]\ncomPort=32768\n", 0},
                                                {"\x01gar\n[language]\ncomPort=32767\n", 32767}};
    for (const auto& [content, comPort] : cases) {
        EXPECT_EQ(Settings(content).file.readComPort(), comPort) << content.data();
    }
    // A key's first value counts, in any case of its name, and only under [ports].
    const std::pair<QByteArray, Strings> ports[] = {
        {"[ports]\n; bench\nCOM9=/dev/pts/3\nx=/dev/x\nCOM12 = /dev/u\nCOM4=\n",
         {"COM9 /dev/pts/3", "COM12 /dev/u"}},
        {"COM1=/dev/a\n[radio]\nCOM2=/dev/b\n[Ports]\nCOM3=/dev/c\ncom3=/dev/d\nCOM3=/dev/e\nCOM5=/"
         "f\n",
         {"COM3 /dev/c", "COM5 /f"}},
    };
    for (const auto& [content, named_] : ports) {
        EXPECT_EQ(named(Settings(content).file.configuredPorts()), named_) << content.data();
    }
}

// A write changes the one key, adding it and its section when missing, and keeps every other
// line. With a full disk, as a limit on the size of the files written, the copy fails, or
// minIni's own rewrite fails unreported, losing the last line or the end of the value: the old
// file stays whole and alone.
TEST(SettingsFile, AWriteChangesTheOneKeyOrNothing) {
    const QByteArray handEdited =
        "; bench PC\n\n[ports]\n  COM3 =  /dev/serial/by-id/usb-radio  \n[language]\n"
        "lang = keep\ncomPort=3\n   other   =   odd spacing   \n\n[radio]\n; trailing\n" +
        QByteArray(3000, 'x') + "\n";
    const QByteArray full = "; bench\n[language]\ncomPort=3\n[radio]\nmodel=QV-4120\n; end\n";
    const QByteArray keyLast = "; bench\n[language]\ncomPort=3";
    const std::tuple<QByteArray, std::optional<std::uint64_t>, QByteArray> cases[] = {
        {handEdited, std::nullopt, QByteArray(handEdited).replace("comPort=3", "comPort=12345")},
        {"; mine\n[radio]\n", std::nullopt, "; mine\n[radio]\n[language]\ncomPort=12345\n"},
        {full, 10, full},
        {full, full.size(), full},
        {keyLast, keyLast.size(), keyLast}};
    for (const auto& [before, limit, after] : cases) {
        const Settings settings(before);
        std::optional<test::FileSizeLimit> low;
        if (limit) {
            low.emplace(*limit);
        }
        const bool written = settings.file.writeComPort(12345);
        low.reset();
        EXPECT_EQ(written, after != before) << limit.value_or(0);
        QFile file(settings.path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), after) << limit.value_or(0);
        EXPECT_EQ(QDir(settings.dir.path()).entryList(QDir::Files), QStringList{"mysetup.ini"});
    }
}

// Beside the executable when one is there (a portable copy), even as a link to a file not made
// yet; else where Linux keeps a user's settings; the first write makes the folder. Backups go
// where Linux keeps a user's data.
TEST(AppFolders, FollowTheUsersFoldersOrAPortableCopy) {
    nameApplication();
    QTemporaryDir dir;
    const std::filesystem::path tool = dir.filePath("bin").toStdString();
    ::setenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit().constData(), 1);
    ::setenv("XDG_DATA_HOME", "/data/home", 1);
    const std::filesystem::path own =
        dir.filePath("config/qv4120-settestdata/mysetup.ini").toStdString();
    EXPECT_EQ(settingsFilePath(tool), own);
    EXPECT_EQ(backupFolder(), "/data/home/qv4120-settestdata/backups");
    // The rests in the session's runtime folder when it is the user's alone, else in the cache.
    ::setenv("XDG_CACHE_HOME", "/cache/home", 1);
    for (const auto permissions : {0700, 0755}) {
        QDir().mkdir(dir.filePath("runtime"));
        std::filesystem::permissions(dir.filePath("runtime").toStdString(),
                                     static_cast<std::filesystem::perms>(permissions));
        ::setenv("XDG_RUNTIME_DIR", dir.filePath("runtime").toLocal8Bit().constData(), 1);
        EXPECT_EQ(restFolder(), permissions == 0700
                                    ? dir.filePath("runtime/qv4120-settestdata").toStdString()
                                    : "/cache/home/qv4120-settestdata/rests");
    }
    ::unsetenv("XDG_RUNTIME_DIR");
    EXPECT_EQ(restFolder(), "/cache/home/qv4120-settestdata/rests");
    ::unsetenv("XDG_CACHE_HOME");
    EXPECT_TRUE(SettingsFile(own.string()).writeComPort(7));
    EXPECT_EQ(SettingsFile(own.string()).readComPort(), 7);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DATA_HOME");
    ::setenv("HOME", "/home/tech", 1);
    EXPECT_EQ(settingsFilePath(tool), "/home/tech/.config/qv4120-settestdata/mysetup.ini");
    EXPECT_EQ(backupFolder(), "/home/tech/.local/share/qv4120-settestdata/backups");
    QDir().mkpath(dir.filePath("bin"));
    QFile::link(dir.filePath("elsewhere.ini"), dir.filePath("bin/mysetup.ini"));
    EXPECT_EQ(settingsFilePath(tool), tool / "mysetup.ini");
}

// What is not a regular file is never read, so it cannot block or never end (a named pipe,
// /dev/zero), nor be written: the defaults hold, and the refusal says why.
TEST(SettingsFile, OnlyARegularFileIsRead) {
    QTemporaryDir dir;
    ASSERT_TRUE(test::makeFifo(dir.filePath("pipe").toStdString()));
    QFile::link("/dev/zero", dir.filePath("zero.ini"));
    const std::pair<QString, std::string> cases[] = {{dir.path(), "a folder"},
                                                     {dir.filePath("pipe"), "a named pipe"},
                                                     {"/dev/zero", "a device"},
                                                     {dir.filePath("zero.ini"), "a device"}};
    for (const auto& [path, kind] : cases) {
        const SettingsFile settings(path.toStdString());
        EXPECT_EQ(settings.refusal(), "The settings file " + path.toStdString() + " is " + kind +
                                          ", not a regular file: it is not read, and the "
                                          "built-in settings are used.");
        EXPECT_EQ(settings.readComPort(), 0);
        EXPECT_EQ(settings.accessCode(), "");
        EXPECT_TRUE(settings.configuredPorts().empty());
        EXPECT_FALSE(settings.writeComPort(3));
    }
    EXPECT_EQ(QFile::symLinkTarget(dir.filePath("zero.ini")), "/dev/zero");
    EXPECT_EQ(Settings("[language]\ncomPort=4\n").file.refusal(), std::nullopt);
    EXPECT_EQ(SettingsFile(dir.filePath("missing.ini").toStdString()).refusal(), std::nullopt);
}

// A settings file that is a link stays a link: a write changes the file it names, made when
// missing.
TEST(SettingsFile, AWriteThroughALinkChangesTheFileItNames) {
    const Settings named("; mine\n[language]\ncomPort=3\n");
    const QString link = named.dir.filePath("link.ini");
    const QString dangling = named.dir.filePath("dangling.ini");
    QFile::link(named.path, link);
    QFile::link(named.dir.filePath("made.ini"), dangling);
    EXPECT_TRUE(SettingsFile(link.toStdString()).writeComPort(12));
    EXPECT_TRUE(SettingsFile(dangling.toStdString()).writeComPort(13));
    EXPECT_EQ(QFile::symLinkTarget(link), named.path);
    EXPECT_EQ(QFile::symLinkTarget(dangling), named.dir.filePath("made.ini"));
    EXPECT_EQ(SettingsFile(named.path.toStdString()).readComPort(), 12);
    EXPECT_EQ(SettingsFile(named.dir.filePath("made.ini").toStdString()).readComPort(), 13);
    QFile file(named.path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "; mine\n[language]\ncomPort=12\n");
}

}  // namespace
}  // namespace qv
