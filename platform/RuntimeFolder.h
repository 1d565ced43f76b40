#pragma once

// The user's private folder for the tool's own small files, and reading them without trusting
// what stands at their names: RuntimeFolder_posix.cpp and RuntimeFolder_windows.cpp implement
// it.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

namespace qv::platform {

// A file told apart from every other on the machine, whatever names it.
struct FileIdentity {
    std::uint64_t disk = 0;
    std::uint64_t place = 0;

    bool operator==(const FileIdentity&) const = default;
};

// Makes the folder (its parent must be there) for this user alone, or checks that it is one: a
// folder, not a link, the user's own, closed to everyone else.
std::error_code makePrivateFolder(const std::filesystem::path& folder);

// Makes the folder's missing parents as any folder is made, then the folder itself as
// makePrivateFolder does.
std::error_code makePrivateFolderAndParents(const std::filesystem::path& folder);

// Reads at most `limit` bytes of a file of the user's own, never following a link at its name
// and never waiting (a FIFO is refused at once, as is anything but a regular file).
std::error_code readOwnFile(const std::filesystem::path& path, std::size_t limit,
                            std::string& contents, FileIdentity& identity);

// Removes the file at `path` when it is still the one read as `identity`.
void removeIfSame(const std::filesystem::path& path, const FileIdentity& identity);

}  // namespace qv::platform
