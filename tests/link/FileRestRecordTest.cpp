#include "link/FileRestRecord.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace qv {
namespace {

using namespace std::chrono_literals;
using Clock = StepTimer::Clock;

// A rest is one device's, whichever path names it, and shared by every record on the folder.
TEST(FileRestRecord, KeepsEachDevicesRest) {
    QTemporaryDir dir;
    const std::string device = dir.filePath("ttyUSB0").toStdString();
    QFile(QString::fromStdString(device)).open(QIODevice::WriteOnly);
    const std::string link = dir.filePath("by-id").toStdString();
    QFile::link(QString::fromStdString(device), QString::fromStdString(link));
    const auto until = Clock::now() + 3s;
    FileRestRecord(dir.path()).rest(link, until);
    FileRestRecord other(dir.path());
    EXPECT_EQ(other.restsUntil(device), until);
    EXPECT_EQ(other.restsUntil(dir.filePath("ttyUSB1").toStdString()), Clock::time_point{});
}

// Whatever the file holds, or when it cannot be read or written, it is no rest.
TEST(FileRestRecord, ADamagedRecordIsNoRest) {
    const QByteArray kContents[] = {"", "garbage", "12x", "-", QByteArray(40, '9'), "\xff\xfe\n"};
    for (const QByteArray& content : kContents) {
        QTemporaryDir dir;
        FileRestRecord record(dir.path());
        record.rest("/dev/ttyS0", Clock::now());
        const QString file = QDir(dir.path()).entryInfoList(QDir::Files).at(0).filePath();
        QFile garbled(file);
        ASSERT_TRUE(garbled.open(QIODevice::WriteOnly));
        garbled.write(content);
        garbled.close();
        EXPECT_EQ(record.restsUntil("/dev/ttyS0"), Clock::time_point{}) << content.toStdString();
        // A folder where the file should be is neither read nor replaced.
        QFile::remove(file);
        QDir().mkdir(file);
        record.rest("/dev/ttyS0", Clock::now() + 1s);
        EXPECT_EQ(record.restsUntil("/dev/ttyS0"), Clock::time_point{});
    }
    FileRestRecord nowhere("/nonexistent/folder");
    nowhere.rest("/dev/ttyS0", Clock::now() + 1s);
    EXPECT_EQ(nowhere.restsUntil("/dev/ttyS0"), Clock::time_point{});
}

}  // namespace
}  // namespace qv
