#pragma once

// The devices behind serial ports: Devices_posix.cpp and Devices_windows.cpp implement them.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace qv::platform {

// The device the serial line opens for a port name: "pts/1" is /dev/pts/1, "COM9" \\.\COM9.
std::string serialDeviceLocation(const std::string& port);

// A device by its number, so that every name of it (a link, a bind mount, /dev/...) is one.
// None for a file that is no device, or where the system numbers none.
std::optional<std::uint64_t> deviceNumber(const std::filesystem::path& path);

// Whether the user's rights let them open the port's device, so that a refusal means another
// program holds it.
bool userMayOpen(const std::string& port);

}  // namespace qv::platform
