#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>

#include "datafile/CalibrationDocument.h"

namespace qv {

// The time as the documents and the backups' names give it: "2026-12-07T09:30:00Z".
std::string utcTime(std::chrono::system_clock::time_point time);

// A time as utcTime gives it, the way a file name holds it: "20261207T093000Z".
std::string timeInName(std::string time);

// The document of a radio's memory: every field and the reserved bytes as the radio holds them.
CalibrationDocument documentOfRadio(const RadioOrigin& radio);

// Keeps the radio's memory as a document in `folder` (made when missing), named by model,
// version, time and reason: "QV-4120_01.02_20261207T093000Z_write.json" (a model's byte 0xFF
// as "QV_xFF4120", any character unsafe in a file name as "_"). The path it was kept
// at, or why it could not be kept. Each is created under a name no other file has, with a
// number added where one has it, so sessions keeping backups at once never replace each
// other's (see createUniqueFile). A folder that is a link to nothing is refused, not made.
Result<std::filesystem::path> keepBackup(const std::filesystem::path& folder,
                                         const RadioOrigin& radio, std::string_view reason);

}  // namespace qv
