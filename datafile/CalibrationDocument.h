#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "datafile/SafeFile.h"
#include "record/CalibrationRecord.h"
#include "record/FieldRecord.h"

namespace qv {

// Where a document came from when it was read from a radio.
struct RadioOrigin {
    // Bytes as the radio sent them; a document holds them escaped where they are not
    // printable ASCII ("QV\xFF4120"), and reading it gives the bytes back.
    std::string model;
    std::string version;  // as the radio names it, "01.02"
    std::string time;     // UTC, ISO 8601
    std::string port;
    CalibrationRecord memory;  // the radio's whole memory, 0x6000..0x607F
};

// One radio's calibration as a text a person can read, edit and keep under version control:
// the 78 fields by index, page and caption with their values, and the reserved bytes, so that
// it holds exactly what a data file holds; with the radio's identity and memory when read
// from one.
struct CalibrationDocument {
    FieldRecord record;
    std::optional<RadioOrigin> radio;
};

inline constexpr std::string_view kDocumentFormat = "QV-4120 calibration";
inline constexpr int kDocumentVersion = 1;

std::string toJson(const CalibrationDocument& document);
// The document, or why the text is not one: the first bad value is named. Unknown keys are
// ignored; every field must be there once, with a whole number within its member's range.
Result<CalibrationDocument> fromJson(std::string_view text);

Result<void> writeDocument(const std::filesystem::path& path, const CalibrationDocument& document);
// Saves the document as a new file in `folder`, never in place of another (createUniqueFile).
Result<std::filesystem::path> createDocument(const std::filesystem::path& folder,
                                             const std::function<std::string(int)>& nameOf,
                                             const CalibrationDocument& document);
// On any failure the document is left as it was.
Result<void> readDocument(const std::filesystem::path& path, CalibrationDocument& document);

enum class FileKind { DataFile, Document };

// By the name's extension, in any case: ".bin" is a data file, ".json" a document; none else,
// so that a mistyped name never silently gets the other format.
std::optional<FileKind> fileKindOf(const std::filesystem::path& path);

// A data file loads as a document that says nothing of a radio; a document saves as a data
// file by its record alone.
Result<void> loadCalibration(const std::filesystem::path& path, FileKind kind,
                             CalibrationDocument& document);
Result<void> saveCalibration(const std::filesystem::path& path, FileKind kind,
                             const CalibrationDocument& document);

// Bytes as a document writes them: "FF 0A 3C".
std::string hexText(std::span<const std::uint8_t> bytes);

}  // namespace qv
