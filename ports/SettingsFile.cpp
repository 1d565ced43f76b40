#include "ports/SettingsFile.h"

#include <minIni.h>

#include <QCoreApplication>
#include <QFile>
#include <QSet>
#include <QTemporaryFile>
#include <charconv>
#include <cstdint>
#include <limits>

#include "datafile/PathText.h"
#include "platform/Files.h"
#include "ports/PortList.h"
#include "record/PlainText.h"

namespace qv {

namespace {

constexpr char kLanguage[] = "language";
constexpr char kComPort[] = "comPort";
constexpr char kPorts[] = "ports";
constexpr char kRadio[] = "radio";

// A whole decimal number filling the text and fitting 16 bits signed, else 0.
int readInt16(const std::string& text) {
    int n = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, n);
    const bool whole = error == std::errc() && stop == end;
    const bool fits = n >= std::numeric_limits<std::int16_t>::min() &&
                      n <= std::numeric_limits<std::int16_t>::max();
    return whole && fits ? n : 0;
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every line of `before` stands in `after`, in order, apart from lines that set `key`: all
// that a change of that one key may do. minIni does not report a write that fails, and a
// copy cut short by one lacks a line that was there.
bool keepsEveryOtherLine(const QByteArray& before, const QByteArray& after, const char* key) {
    const QList<QByteArray> lines = after.split('\n');
    qsizetype next = 0;
    for (const QByteArray& line : before.split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals >= 0 && line.left(equals).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
            continue;
        }
        while (next < lines.size() && lines[next] != line) {
            ++next;
        }
        if (next == lines.size()) {
            return false;
        }
        ++next;
    }
    return true;
}

// The kind of what is at `path` when it is there but is not a regular file.
std::optional<std::filesystem::file_type> irregularKind(const std::string& path) {
    using Type = std::filesystem::file_type;
    std::error_code error;
    const Type type = std::filesystem::status(pathFromUtf8(path), error).type();
    // One that cannot be looked at cannot be opened either.
    if (type == Type::regular || type == Type::not_found || type == Type::none) {
        return std::nullopt;
    }
    return type;
}

// Where a write goes: the file itself, or the file a link names. That one is opened through the
// link first (made when missing), so that the system's protection of links in shared folders
// holds as for any program; none when it refuses.
std::optional<std::string> fileToChange(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(pathFromUtf8(path), error)) {
        return path;
    }
    QFile throughLink(QString::fromStdString(path));
    if (!throughLink.open(QIODevice::ReadWrite)) {
        return std::nullopt;
    }
    const std::filesystem::path named = std::filesystem::canonical(pathFromUtf8(path), error);
    return error ? std::nullopt : std::optional(utf8Text(named));
}

bool syncToDisk(const std::filesystem::path& path) {
    platform::File file;
    return !platform::openToWrite(path, false, file) && !file.sync() && !file.close();
}

}  // namespace

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

std::optional<std::string> SettingsFile::refusal() const {
    using Type = std::filesystem::file_type;
    const auto kind = irregularKind(path_);
    if (!kind) {
        return std::nullopt;
    }
    QString what;
    switch (*kind) {
        case Type::directory:
            what = QCoreApplication::translate("qv::SettingsFile", "a folder");
            break;
        case Type::fifo:
            what = QCoreApplication::translate("qv::SettingsFile", "a named pipe");
            break;
        case Type::block:
        case Type::character:
            what = QCoreApplication::translate("qv::SettingsFile", "a device");
            break;
        default:
            what = QCoreApplication::translate("qv::SettingsFile", "a special file");
            break;
    }
    return QCoreApplication::translate("qv::SettingsFile",
                                       "The settings file %1 is %2, not a regular file: it is not "
                                       "read, and the built-in settings are used.")
        .arg(QString::fromStdString(escapeControls(path_)), what)
        .toStdString();
}

bool SettingsFile::isRefused() const {
    return irregularKind(path_).has_value();
}

std::string SettingsFile::read(const char* section, const char* key) const {
    return isRefused() ? std::string() : minIni(path_).gets(section, key);
}

int SettingsFile::readComPort() const {
    return readInt16(read(kLanguage, kComPort));
}

bool SettingsFile::writeComPort(int n) const {
    return write(kLanguage, kComPort, std::to_string(n));
}

bool SettingsFile::write(const char* section, const char* key, const std::string& value) const {
    const auto file = isRefused() ? std::nullopt : fileToChange(path_);
    if (!file) {
        return false;
    }
    std::error_code error;
    std::filesystem::create_directories(pathFromUtf8(*file).parent_path(), error);
    const QString target = QString::fromStdString(*file);
    QFile existing(target);
    QByteArray before;
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly)) {
            return false;
        }
        before = existing.readAll();
        if (before.size() != existing.size()) {
            return false;
        }
    }
    QTemporaryFile copy(target + QStringLiteral(".XXXXXX"));
    if (!copy.open() || copy.write(before) != before.size() || !copy.flush()) {
        return false;
    }
    copy.close();
    if (existing.exists()) {
        copy.setPermissions(existing.permissions());
    } else {
        // minIni creates a missing file itself, as a new file is created.
        QFile::remove(copy.fileName());
    }
    const std::string copyPath = copy.fileName().toStdString();
    minIni changed(copyPath);
    if (!changed.put(section, key, value) || changed.gets(section, key) != value ||
        !keepsEveryOtherLine(before, contentsOf(copy.fileName()), key) ||
        !syncToDisk(pathFromUtf8(copyPath)) ||
        platform::replace(pathFromUtf8(copyPath), pathFromUtf8(*file))) {
        return false;
    }
    copy.setAutoRemove(false);
    return true;
}

std::vector<PresentPort> SettingsFile::configuredPorts() const {
    struct Found {
        std::vector<PresentPort> ports;
        QSet<QByteArray> keys;  // in capitals
    } found;
    if (isRefused()) {
        return found.ports;
    }
    // One pass over the file: looking each key up by its index would read the file once a key.
    // As a lookup by name does, a key's first value counts, in any case of its name.
    const auto take = [](const char* section, const char* key, const char* value, void* data) {
        auto& found = *static_cast<Found*>(data);
        const QByteArray name = QByteArray(key).toUpper();
        if (QByteArray(section).compare(kPorts, Qt::CaseInsensitive) != 0 ||
            found.keys.contains(name)) {
            return 1;
        }
        found.keys.insert(name);
        const std::string text = key;
        if (text.starts_with("COM") && portNumberOf(text) > 0 && *value != '\0') {
            found.ports.push_back({portEntryText(portNumberOf(text)), value});
        }
        return 1;
    };
    minIni(path_).browse(take, &found);
    return found.ports;
}

std::string SettingsFile::accessCode() const {
    return read(kRadio, "accessCode");
}

std::string SettingsFile::model() const {
    return read(kRadio, "model");
}

}  // namespace qv
