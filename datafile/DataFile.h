#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "record/FieldRecord.h"

namespace qv {

// Why a data file could not be written or read.
struct DataFileError {
    std::filesystem::path path;
    std::string reason;  // in words, such as "No space left on device"

    std::string message() const;  // the path and the reason in one sentence
};

// Writes the 118 bytes of the field record to `path`. The bytes go to a temporary file in the
// same directory, which then replaces the target, so a failure leaves an existing file whole.
// An existing longer file keeps its bytes from offset 118 on, and its permissions.
std::optional<DataFileError> writeDataFile(const std::filesystem::path& path,
                                           const FieldRecord& record);

// Reads bytes 0..117 of the file at `path` into the field record; later bytes are ignored.
// A file shorter than 118 bytes is refused. On any failure the record is left as it was.
std::optional<DataFileError> readDataFile(const std::filesystem::path& path, FieldRecord& record);

}  // namespace qv
