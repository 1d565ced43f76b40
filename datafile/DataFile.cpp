#include "DataFile.h"

#include <algorithm>
#include <vector>

namespace qv {

Result<void> writeDataFile(const std::filesystem::path& path, const FieldRecord& record) {
    const FieldRecord::Bytes bytes = record.toBytes();
    return replaceFile(path, bytes, FieldRecord::kSize);
}

Result<void> readDataFile(const std::filesystem::path& path, FieldRecord& record) {
    std::vector<std::uint8_t> bytes;
    if (auto read = readFile(path, FieldRecord::kSize, bytes); !read) {
        return read;
    }
    if (bytes.size() < FieldRecord::kSize) {
        return fail({Failure::Kind::File,
                     "the file holds " + std::to_string(bytes.size()) +
                         " bytes; a data file holds " + std::to_string(FieldRecord::kSize),
                     path});
    }
    FieldRecord::Bytes record118{};
    std::copy(bytes.begin(), bytes.end(), record118.begin());
    record = FieldRecord::fromBytes(record118);
    return {};
}

}  // namespace qv
