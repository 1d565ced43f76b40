#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "datafile/CalibrationDocument.h"
#include "record/CalibrationRecord.h"
#include "record/FieldRecord.h"

namespace qv::cli {

enum class FileKind { DataFile, Document };

// By the name's extension, in any case: ".bin" is a data file, ".json" a document; none else,
// so that a mistyped name never silently gets the other format.
std::optional<FileKind> fileKindOf(const std::filesystem::path& path);

// A data file loads as a document that says nothing of a radio; a document saves as a data
// file by its record alone.
std::optional<FileError> loadCalibration(const std::filesystem::path& path, FileKind kind,
                                         CalibrationDocument& document);
std::optional<FileError> saveCalibration(const std::filesystem::path& path, FileKind kind,
                                         const CalibrationDocument& document);

// A field whose values differ between two records, or the reserved bytes (field -1).
struct Difference {
    int field = -1;
    std::string label;  // "20 OTHER ***ASQ close level", or "reserved bytes"
    std::string first;
    std::string second;
};
std::vector<Difference> differences(const FieldRecord& first, const FieldRecord& second);

// Each field as "index page caption value", in index order and aligned columns.
std::vector<std::string> fieldLines(const FieldRecord& record);

// The first field a write would send whose value its field cannot hold: the close levels take
// 0..6 only, and the window's field would change a larger value before sending it.
struct UnwritableField {
    int field = 0;
    std::string message;  // names the field, its value and its range
};
std::optional<UnwritableField> firstUnwritableField(const FieldRecord& record);

}  // namespace qv::cli
