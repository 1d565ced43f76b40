#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "record/FieldRecord.h"

namespace qv {

using Bytes = std::vector<std::uint8_t>;

// A new empty folder for one test, removed with all it holds at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& purpose) {
        std::random_device random;
        do {
            path_ =
                std::filesystem::temp_directory_path() / (purpose + "-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(path_));
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline Bytes contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void put(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// Line feed, carriage return and end-of-file bytes first: a text mode would change them.
inline FieldRecord distinctive() {
    FieldRecord::Bytes bytes{0x0A, 0x0D, 0x1A, 0x0D, 0x0A};
    for (std::size_t k = 5; k < bytes.size(); ++k) {
        bytes[k] = static_cast<std::uint8_t>(0x80 + k);
    }
    return FieldRecord::fromBytes(bytes);
}

inline Bytes bytesOf(const FieldRecord& record) {
    const FieldRecord::Bytes bytes = record.toBytes();
    return Bytes(bytes.begin(), bytes.end());
}

}  // namespace qv
