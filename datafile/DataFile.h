#pragma once

#include <filesystem>

#include "datafile/SafeFile.h"
#include "record/FieldRecord.h"

namespace qv {

// Writes the 118 bytes of the field record to `path` safely (replaceFile): an existing longer
// file keeps its bytes from offset 118 on.
Result<void> writeDataFile(const std::filesystem::path& path, const FieldRecord& record);

// Reads bytes 0..117 of the file at `path` into the field record; later bytes are ignored.
// A file shorter than 118 bytes is refused. On any failure the record is left as it was.
Result<void> readDataFile(const std::filesystem::path& path, FieldRecord& record);

}  // namespace qv
