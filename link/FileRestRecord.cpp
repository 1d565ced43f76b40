#include "link/FileRestRecord.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QTemporaryFile>

#include "datafile/PathText.h"
#include "platform/Devices.h"
#include "platform/Files.h"
#include "platform/RuntimeFolder.h"

namespace qv {

namespace fs = std::filesystem;

namespace {

using Clock = StepTimer::Clock;

// Digits of the clock's count and a line end, with room to spare.
constexpr std::size_t kLongestRecord = 32;

QString qtPath(const fs::path& path) {
    return QString::fromStdString(utf8Text(path));
}

// The rest the record at `path` holds, and which file it was; none when there is no record of
// the user's own there. Anything but a number reads as 0, the clock's epoch: no rest.
Clock::time_point recorded(const fs::path& path, platform::FileIdentity& identity) {
    std::string contents;
    if (platform::readOwnFile(path, kLongestRecord, contents, identity)) {
        return {};
    }
    return Clock::time_point(
        Clock::duration(QByteArray::fromStdString(contents).trimmed().toLongLong()));
}

}  // namespace

FileRestRecord::FileRestRecord(fs::path folder) : folder_(std::move(folder)) {}

// A device without a number (where the system gives none) is known by its canonical path.
fs::path FileRestRecord::pathOf(const std::string& device) const {
    const std::string location = platform::serialDeviceLocation(device);
    if (const auto number = platform::deviceNumber(pathFromUtf8(location))) {
        return folder_ / ("rest-device-" + QByteArray::number(*number, 16).toStdString());
    }
    const QString given = QString::fromStdString(location);
    const QString canonical = QFileInfo(given).canonicalFilePath();
    const QByteArray key = QCryptographicHash::hash(
        (canonical.isEmpty() ? given : canonical).toUtf8(), QCryptographicHash::Sha256);
    return folder_ / ("rest-path-" + key.toHex().left(16).toStdString());
}

Clock::time_point FileRestRecord::restsUntil(const std::string& device) {
    const fs::path path = pathOf(device);
    platform::FileIdentity identity;
    const Clock::time_point until = recorded(path, identity);
    if (until != Clock::time_point{} && until <= Clock::now()) {
        platform::removeIfSame(path, identity);
    }
    return until;
}

// A rest that cannot be recorded is still kept by the engine that made it. The new record takes
// the name in one step, whatever was there: a link at the name is replaced, never followed.
void FileRestRecord::rest(const std::string& device, Clock::time_point until) {
    if (platform::makePrivateFolderAndParents(folder_)) {
        return;
    }
    QTemporaryFile file(qtPath(folder_ / "rest-XXXXXX"));
    const QByteArray text =
        QByteArray::number(static_cast<qint64>(until.time_since_epoch().count())) + '\n';
    if (!file.open() || file.write(text) != text.size() || !file.flush()) {
        return;
    }
    file.close();
    if (!platform::replace(pathFromUtf8(file.fileName().toStdString()), pathOf(device))) {
        file.setAutoRemove(false);
    }
}

void FileRestRecord::restOver(const std::string& device, Clock::time_point end) {
    const fs::path path = pathOf(device);
    platform::FileIdentity identity;
    if (recorded(path, identity) <= end) {
        platform::removeIfSame(path, identity);
    }
}

}  // namespace qv
