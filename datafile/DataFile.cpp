#include "DataFile.h"

#include <algorithm>
#include <vector>

namespace qv {

std::optional<FileError> writeDataFile(const std::filesystem::path& path,
                                       const FieldRecord& record) {
    const FieldRecord::Bytes bytes = record.toBytes();
    return replaceFile(path, bytes, FieldRecord::kSize);
}

std::optional<FileError> readDataFile(const std::filesystem::path& path, FieldRecord& record) {
    std::vector<std::uint8_t> bytes;
    if (auto error = readFile(path, FieldRecord::kSize, bytes)) {
        return error;
    }
    if (bytes.size() < FieldRecord::kSize) {
        return FileError{.path = path,
                         .reason = "the file holds " + std::to_string(bytes.size()) +
                                   " bytes; a data file holds " +
                                   std::to_string(FieldRecord::kSize)};
    }
    FieldRecord::Bytes record118{};
    std::copy(bytes.begin(), bytes.end(), record118.begin());
    record = FieldRecord::fromBytes(record118);
    return std::nullopt;
}

}  // namespace qv
