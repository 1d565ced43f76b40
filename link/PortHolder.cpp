#include "link/PortHolder.h"

#include <filesystem>
#include <fstream>

namespace qv {

namespace fs = std::filesystem;

namespace {

// Processes and descriptors come and go during the scan: what cannot be read is passed over.
bool holds(const fs::path& process, const fs::path& target) {
    std::error_code error;
    for (fs::directory_iterator fd(process / "fd", error), end; !error && fd != end;
         fd.increment(error)) {
        std::error_code unreadable;
        if (fs::read_symlink(fd->path(), unreadable) == target) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<PortHolder> findPortHolder(const std::string& device) {
    std::error_code error;
    const fs::path target = fs::canonical(device, error);
    if (error) {
        return std::nullopt;
    }
    for (fs::directory_iterator process("/proc", error), end; !error && process != end;
         process.increment(error)) {
        const std::string pid = process->path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos ||
            !holds(process->path(), target)) {
            continue;
        }
        std::string name;
        std::getline(std::ifstream(process->path() / "comm"), name);
        return PortHolder{name, std::stoll(pid)};
    }
    return std::nullopt;
}

}  // namespace qv
