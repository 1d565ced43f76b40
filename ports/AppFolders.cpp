#include "ports/AppFolders.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <system_error>

#include "datafile/PathText.h"
#include "platform/RuntimeFolder.h"

namespace qv {

namespace fs = std::filesystem;

namespace {

fs::path writableFolder(QStandardPaths::StandardLocation location) {
    return pathFromUtf8(QStandardPaths::writableLocation(location).toStdString());
}

}  // namespace

void nameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("qv4120-settestdata"));
}

fs::path settingsFilePath(const fs::path& executableFolder) {
    constexpr char kName[] = "mysetup.ini";
    fs::path beside = executableFolder / kName;
    // A link counts as there, even one naming a file not made yet: a write makes that file.
    if (std::error_code error; fs::exists(fs::symlink_status(beside, error))) {
        return beside;
    }
    return writableFolder(QStandardPaths::AppConfigLocation) / kName;
}

fs::path backupFolder() {
    return writableFolder(QStandardPaths::AppLocalDataLocation) / "backups";
}

fs::path logFolder() {
    return writableFolder(QStandardPaths::AppLocalDataLocation) / "logs";
}

// Without a runtime folder of the session's, or with one that is not the user's alone, Qt's
// runtime location is a folder in the shared temporary folder: the cache is taken instead.
fs::path restFolder() {
    const fs::path runtime = pathFromUtf8(qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString());
    if (!runtime.empty() && runtime.is_absolute() && !platform::makePrivateFolder(runtime)) {
        return writableFolder(QStandardPaths::RuntimeLocation) / "qv4120-settestdata";
    }
    return writableFolder(QStandardPaths::CacheLocation) / "rests";
}

}  // namespace qv
