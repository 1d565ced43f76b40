#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace qv {

// The path and the reason of a failure in one sentence.
std::string failureText(const Failure& failure);

// Replaces the regular file at `path` (or creates it) with `content`. The bytes go to a
// temporary file in the same folder, which then replaces the target, so a failure leaves an
// existing file whole; its permissions (and, for root, its owner) are kept, and with `keepFrom`
// so are its bytes from that offset on. A symbolic link stays a link and the file it names is
// replaced, only where the system lets the user open that file through the link.
Result<void> replaceFile(const std::filesystem::path& path, std::span<const std::uint8_t> content,
                         std::optional<std::size_t> keepFrom = std::nullopt);

// Creates a file holding `content` in `folder` under the first of the names `nameOf(1)`,
// `nameOf(2)`, ... that no file has, even one made at the same moment by another process. The
// name appears only with the whole content behind it where the filesystem has hard links or an
// exclusive rename; elsewhere the file is created under its name exclusively and removed again
// when it cannot be written whole. The path it was given, or why not.
// The names "stem.ext", "stem-2.ext", "stem-3.ext", ... for createUniqueFile.
std::function<std::string(int)> numberedNames(std::string stem, std::string extension);

Result<std::filesystem::path> createUniqueFile(const std::filesystem::path& folder,
                                               const std::function<std::string(int)>& nameOf,
                                               std::span<const std::uint8_t> content);

// Reads the first `most` bytes of the regular file at `path` (fewer when it is shorter); a
// folder, a FIFO or a device is refused, without waiting or reading from it.
// On failure `bytes` is left as it was.
Result<void> readFile(const std::filesystem::path& path, std::size_t most,
                      std::vector<std::uint8_t>& bytes);

}  // namespace qv
