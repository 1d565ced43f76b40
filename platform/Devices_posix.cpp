#include <sys/stat.h>
#include <unistd.h>

#include "platform/Devices.h"

namespace qv::platform {

std::string serialDeviceLocation(const std::string& port) {
    const bool path = port.starts_with('/') || port.starts_with("./") || port.starts_with("../");
    return path ? port : "/dev/" + port;
}

std::optional<std::uint64_t> deviceNumber(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !(S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.st_rdev);
}

bool userMayOpen(const std::string& port) {
    return ::access(serialDeviceLocation(port).c_str(), R_OK | W_OK) == 0;
}

}  // namespace qv::platform
