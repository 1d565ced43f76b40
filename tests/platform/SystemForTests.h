#pragma once

// The few POSIX calls that tests of other layers need, kept here so that no test beyond this
// folder includes a system header.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

namespace qv::test {

// Runs `body` in a child process and returns its exit code: 0 when it returned true, 1 when
// false, 128 and the signal when one ended it. With `asTechnician`, a child run as root first
// gives up its privileges, so that permissions are enforced as they are for a technician. Past
// `fileSizeLimit` bytes a write fails as on a full disk.
int inChild(const std::function<bool()>& body,
            std::optional<std::uint64_t> fileSizeLimit = std::nullopt, bool asTechnician = true);

// While it lives, a write in this process past `bytes` fails as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes);
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit();

private:
    std::uint64_t before_;
};

bool runsAsRoot();
// The permissions a new file is made without.
unsigned creationMask();
bool makeFifo(const std::filesystem::path& path);
// Gives the link itself (not its target) to the unprivileged user "nobody".
bool giveLinkToNobody(const std::filesystem::path& link);
// The longest file name the folder's filesystem takes.
std::size_t longestName(const std::filesystem::path& folder);

}  // namespace qv::test
