#pragma once

// The running system beside the files of Platform.h: devices, the processes that hold them, and
// the user's private folder. PlatformRuntime_posix.cpp and PlatformRuntime_windows.cpp implement
// it.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace qv::platform {

// The device the serial line opens for a port name: "pts/1" is /dev/pts/1, "COM9" \\.\COM9.
std::string serialDeviceLocation(const std::string& port);

// A device by its number, so that every name of it (a link, a bind mount, /dev/...) is one.
// None for a file that is no device, or where the system numbers none.
std::optional<std::uint64_t> deviceNumber(const std::filesystem::path& path);

// A file told apart from every other on the machine, whatever names it.
struct FileIdentity {
    std::uint64_t disk = 0;
    std::uint64_t place = 0;

    bool operator==(const FileIdentity&) const = default;
};

// A running program, as the system names it.
struct Process {
    std::string name;
    long long id = 0;

    bool operator==(const Process&) const = default;
};

// The programs other than this one with a descriptor on a device, in the system's order.
struct DeviceHolders {
    std::vector<Process> holders;
    // The first program named in the watch list that holds nothing seen of the device.
    std::optional<Process> watched;
    // False when the look ended at its time budget before every program was seen.
    bool complete = true;
};

// Looks at every program whose open files this user may see, for at most `budget`. This
// program knows itself by the system's own word for it, so a process table it does not appear
// in never names it.
DeviceHolders holdersOf(std::uint64_t device, std::chrono::milliseconds budget,
                        const std::vector<std::string>& watched);

// Makes the folder (its parent must be there) for this user alone, or checks that it is one: a
// folder, not a link, the user's own, closed to everyone else.
std::error_code makePrivateFolder(const std::filesystem::path& folder);

// Reads at most `limit` bytes of a file of the user's own, never following a link at its name
// and never waiting (a FIFO is refused at once, as is anything but a regular file).
std::error_code readOwnFile(const std::filesystem::path& path, std::size_t limit,
                            std::string& contents, FileIdentity& identity);

// Removes the file at `path` when it is still the one read as `identity`.
void removeIfSame(const std::filesystem::path& path, const FileIdentity& identity);

}  // namespace qv::platform
