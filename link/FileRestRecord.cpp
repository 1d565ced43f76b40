#include "link/FileRestRecord.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qv {

namespace {

using Clock = StepTimer::Clock;

// Digits of the clock's count and a line end, with room to spare.
constexpr qint64 kLongestRecord = 32;

}  // namespace

FileRestRecord::FileRestRecord(QString folder)
    : folder_(folder.isEmpty() ? QDir::tempPath() : std::move(folder)) {}

// A device reached by several paths (a /dev/serial/by-id link, the device itself) is one radio.
QString FileRestRecord::pathOf(const std::string& device) const {
    const QString given = QFile::decodeName(QByteArray::fromStdString(device));
    const QString canonical = QFileInfo(given).canonicalFilePath();
    const QByteArray key = QCryptographicHash::hash(
        (canonical.isEmpty() ? given : canonical).toUtf8(), QCryptographicHash::Sha256);
    return QDir(folder_).filePath(QStringLiteral("qv4120-rest-%1").arg(key.toHex().left(16)));
}

Clock::time_point FileRestRecord::restsUntil(const std::string& device) {
    QFile file(pathOf(device));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    // Anything but a number reads as 0, the clock's epoch: no rest.
    return Clock::time_point(Clock::duration(file.read(kLongestRecord).trimmed().toLongLong()));
}

// A rest that cannot be recorded is still kept by the engine that made it.
void FileRestRecord::rest(const std::string& device, Clock::time_point until) {
    QSaveFile file(pathOf(device));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QByteArray::number(static_cast<qint64>(until.time_since_epoch().count())) +
                   '\n');
        file.commit();
    }
}

}  // namespace qv
