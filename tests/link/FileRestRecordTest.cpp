#include "link/FileRestRecord.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "PseudoTerminal.h"
#include "tests/platform/SystemForTests.h"
#include "tests/support/RadioProcess.h"

namespace qv {
namespace {

using namespace std::chrono_literals;
using Clock = StepTimer::Clock;
using test::readFile;
using test::writeFile;

// A record folder of its own inside a scratch folder.
struct Scratch {
    QString path(const QString& name) const { return dir.filePath(name); }
    std::filesystem::path folder() const { return path("rests").toStdString(); }
    QStringList records() const {
        return QDir(path("rests"))
            .entryList(QDir::System | QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
};

// A rest is one device's, whichever name reaches it (its path, the bare name the serial line
// takes, a link), and shared by every record on the folder; a file that is no device is known by
// its canonical path.
TEST(FileRestRecord, KeepsEachDevicesRestUnderEveryName) {
    const Scratch scratch;
    const sim::PseudoTerminal line;
    const sim::PseudoTerminal other;
    const QString link = scratch.path("by-id");
    ASSERT_TRUE(QFile::link(QString::fromStdString(line.devicePath()), link));
    writeFile(scratch.path("plain"), "");
    ASSERT_TRUE(QFile::link(scratch.path("plain"), scratch.path("plain-link")));
    const auto until = Clock::now() + 3s;
    FileRestRecord(scratch.folder()).rest(link.toStdString(), until);
    FileRestRecord(scratch.folder()).rest(scratch.path("plain-link").toStdString(), until);
    FileRestRecord record(scratch.folder());
    EXPECT_EQ(record.restsUntil(line.devicePath()), until);
    EXPECT_EQ(record.restsUntil(line.devicePath().substr(5)), until);
    EXPECT_EQ(record.restsUntil(scratch.path("plain").toStdString()), until);
    EXPECT_EQ(record.restsUntil(other.devicePath()), Clock::time_point{});
    EXPECT_EQ(QFileInfo(scratch.path("rests")).permissions() &
                  ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Whatever the file holds, or when it cannot be read, it is no rest. What stands at a record's
// name is never followed, read or waited on: a link's target stays as it was, a FIFO holds
// nothing up, and a new rest takes the name (a folder keeps it: no rest). A record folder's
// missing parents are made.
TEST(FileRestRecord, AnythingButARecordOfTheUsersIsNoRest) {
    const QByteArray kContents[] = {"", "garbage", "12x", "-", QByteArray(40, '9'), "\xff\xfe\n"};
    const auto until = Clock::now() + 2s;
    enum Stands { Contents, Link, Fifo, Folder };
    for (const Stands stands : {Contents, Link, Fifo, Folder}) {
        for (const QByteArray& content : kContents) {
            const Scratch scratch;
            FileRestRecord record(scratch.folder());
            record.rest("/dev/null", until);
            const QString name = scratch.path("rests/" + scratch.records().at(0));
            QFile::remove(name);
            writeFile(scratch.path("target"), "7");
            const bool made = stands == Contents ? (writeFile(name, content), true)
                              : stands == Link   ? QFile::link(scratch.path("target"), name)
                              : stands == Fifo   ? test::makeFifo(name.toStdString())
                                                 : QDir().mkdir(name);
            ASSERT_TRUE(made);
            EXPECT_EQ(record.restsUntil("/dev/null"), Clock::time_point{}) << content.data();
            record.rest("/dev/null", until);
            EXPECT_EQ(record.restsUntil("/dev/null"),
                      stands == Folder ? Clock::time_point{} : until);
            EXPECT_EQ(readFile(scratch.path("target")), "7");
        }
    }
    const Scratch scratch;
    writeFile(scratch.path("file"), "");
    FileRestRecord nowhere(scratch.path("file/rests").toStdString());
    nowhere.rest("/dev/null", Clock::now() + 1s);
    EXPECT_EQ(nowhere.restsUntil("/dev/null"), Clock::time_point{});
    FileRestRecord deeper(scratch.path("cache/rests").toStdString());
    deeper.rest("/dev/null", until);
    EXPECT_EQ(deeper.restsUntil("/dev/null"), until);
}

// A record goes once its rest is over: read after its end, or told by the process that waited
// it out; a later rest stays. A folder that others may enter keeps no record.
TEST(FileRestRecord, ARestOverIsRemoved) {
    const Scratch scratch;
    FileRestRecord record(scratch.folder());
    const auto past = Clock::now() - 1ms;
    record.rest("/dev/null", past);
    EXPECT_EQ(record.restsUntil("/dev/null"), past);
    EXPECT_EQ(scratch.records(), QStringList{});
    const auto until = Clock::now() + 3s;
    record.rest("/dev/null", until);
    record.restOver("/dev/null", until - 1s);
    EXPECT_EQ(record.restsUntil("/dev/null"), until);
    record.restOver("/dev/null", until);
    EXPECT_EQ(scratch.records(), QStringList{});

    QFile::setPermissions(scratch.path("rests"),
                          QFile::permissions(scratch.path("rests")) | QFile::ExeOther);
    record.rest("/dev/null", until);
    EXPECT_EQ(scratch.records(), QStringList{});
}

}  // namespace
}  // namespace qv
