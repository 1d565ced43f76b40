#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qv {

// Why a file could not be written or read.
struct FileError {
    std::filesystem::path path;
    std::string reason;  // in words, such as "No space left on device"

    std::string message() const;  // the path and the reason in one sentence
};

// Replaces the regular file at `path` (or creates it) with `content`. The bytes go to a
// temporary file in the same folder, which then replaces the target, so a failure leaves an
// existing file whole; its permissions (and, for root, its owner) are kept, and with `keepFrom`
// so are its bytes from that offset on. Symbolic links are followed and stay links.
std::optional<FileError> replaceFile(const std::filesystem::path& path,
                                     std::span<const std::uint8_t> content,
                                     std::optional<std::size_t> keepFrom = std::nullopt);

// Reads the first `most` bytes of the regular file at `path` (fewer when it is shorter).
// On failure `bytes` is left as it was.
std::optional<FileError> readFile(const std::filesystem::path& path, std::size_t most,
                                  std::vector<std::uint8_t>& bytes);

}  // namespace qv
