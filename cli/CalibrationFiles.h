#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "datafile/CalibrationDocument.h"
#include "record/CalibrationRecord.h"
#include "record/FieldRecord.h"

namespace qv::cli {

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
