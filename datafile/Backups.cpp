#include "Backups.h"

#include <cstdlib>
#include <ctime>
#include <system_error>

#include "datafile/Platform.h"
#include "record/Conversions.h"
#include "record/PlainText.h"

namespace qv {

namespace fs = std::filesystem;

namespace {

// Letters, digits, dot and dash stay; anything else becomes "_", so that no name holds a
// separator or a character some system refuses in names.
std::string namePart(std::string_view text) {
    std::string part;
    for (char c : text) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-';
        part += plain ? c : '_';
    }
    return part.empty() ? "unknown" : part;
}

}  // namespace

fs::path backupFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    fs::path base;
    if (dataHome != nullptr && *dataHome == '/') {
        base = dataHome;
    } else {
        const char* home = std::getenv("HOME");
        base = fs::path(home != nullptr ? home : "/") / ".local" / "share";
    }
    return base / "qv4120-settestdata" / "backups";
}

std::string utcTime(std::chrono::system_clock::time_point time) {
    const std::tm utc = platform::utc(std::chrono::system_clock::to_time_t(time));
    char text[24];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

CalibrationDocument documentOfRadio(const RadioOrigin& radio) {
    return CalibrationDocument{.record = recordOfMemory(radio.memory), .radio = radio};
}

std::variant<fs::path, FileError> keepBackup(const fs::path& folder, const RadioOrigin& radio,
                                             std::string_view reason) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        return FileError{.path = folder, .reason = ec.message()};
    }
    std::string stamp = radio.time;
    std::erase(stamp, '-');
    std::erase(stamp, ':');
    // The radio's bytes as everywhere else, "QV\xFF4120", then "QV_xFF4120" in a name.
    const std::string name = namePart(escapeBytes(radio.model)) + "_" +
                             namePart(escapeBytes(radio.version)) + "_" + namePart(stamp) + "_" +
                             namePart(reason);
    return createDocument(
        folder, [&](int n) { return name + (n == 1 ? "" : "-" + std::to_string(n)) + ".json"; },
        documentOfRadio(radio));
}

}  // namespace qv
