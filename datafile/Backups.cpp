#include "Backups.h"

#include <ctime>
#include <system_error>

#include "platform/Calendar.h"
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

std::string utcTime(std::chrono::system_clock::time_point time) {
    const std::tm utc = platform::utc(std::chrono::system_clock::to_time_t(time));
    char text[24];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string timeInName(std::string time) {
    std::erase(time, '-');
    std::erase(time, ':');
    return time;
}

CalibrationDocument documentOfRadio(const RadioOrigin& radio) {
    return CalibrationDocument{.record = recordOfMemory(radio.memory), .radio = radio};
}

Result<fs::path> keepBackup(const fs::path& folder, const RadioOrigin& radio,
                            std::string_view reason) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        // The system says only that the name is taken.
        std::error_code ignored;
        const bool dangling =
            fs::is_symlink(fs::symlink_status(folder, ignored)) && !fs::exists(folder, ignored);
        return fail({Failure::Kind::File,
                     dangling ? "the backups folder is a link to nothing" : ec.message(), folder,
                     ec});
    }
    // The radio's bytes as everywhere else, "QV\xFF4120", then "QV_xFF4120" in a name.
    const std::string name = namePart(escapeBytes(radio.model)) + "_" +
                             namePart(escapeBytes(radio.version)) + "_" +
                             namePart(timeInName(radio.time)) + "_" + namePart(reason);
    return createDocument(folder, numberedNames(name, "json"), documentOfRadio(radio));
}

}  // namespace qv
