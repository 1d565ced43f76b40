#include "platform/Devices.h"

namespace qv::platform {

std::string serialDeviceLocation(const std::string& port) {
    return port.starts_with("COM") ? "\\\\.\\" + port : port;
}

// A port is known by its name alone.
std::optional<std::uint64_t> deviceNumber(const std::filesystem::path& /*path*/) {
    return std::nullopt;
}

// Windows has no such rights on a port: a port is refused only while a program has it.
bool userMayOpen(const std::string& /*port*/) {
    return true;
}

}  // namespace qv::platform
