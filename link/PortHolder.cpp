#include "link/PortHolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace qv {

namespace fs = std::filesystem;

namespace {

// Processes and descriptors come and go during the scan: what cannot be read is passed over.
// Whether a process's descriptors may be read is decided for the process as a whole, so the
// first refusal ends its walk.
bool holds(const fs::path& process, const fs::path& target) {
    std::error_code error;
    for (fs::directory_iterator fd(process / "fd", error), end; !error && fd != end;
         fd.increment(error)) {
        std::error_code unreadable;
        if (fs::read_symlink(fd->path(), unreadable) == target) {
            return true;
        }
        if (unreadable == std::errc::permission_denied) {
            return false;
        }
    }
    return false;
}

std::string nameOf(const fs::path& process) {
    std::string name;
    std::getline(std::ifstream(process / "comm"), name);
    return name;
}

}  // namespace

std::vector<PortHolder> findPortHolders(const std::string& device,
                                        const std::vector<std::string>& grabbers) {
    std::error_code error;
    const fs::path target = fs::canonical(device, error);
    if (error) {
        return {};
    }
    std::vector<PortHolder> holders;
    std::optional<PortHolder> grabber;
    for (fs::directory_iterator process("/proc", error), end; !error && process != end;
         process.increment(error)) {
        const std::string pid = process->path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        // Every process's name can be read, whoever runs it; its open files only our own.
        if (holds(process->path(), target)) {
            holders.push_back({nameOf(process->path()), std::stoll(pid)});
        } else if (!grabber && !grabbers.empty()) {
            std::string name = nameOf(process->path());
            if (std::ranges::find(grabbers, name) != grabbers.end()) {
                grabber = PortHolder{std::move(name), std::stoll(pid), false};
            }
        }
    }
    if (holders.empty() && grabber) {
        holders.push_back(*grabber);
    }
    return holders;
}

}  // namespace qv
