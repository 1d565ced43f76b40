#include "link/PortHolder.h"

#include <algorithm>
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
        std::string name;
        std::getline(std::ifstream(process->path() / "comm"), name);
        if (holds(process->path(), target)) {
            holders.push_back({name, std::stoll(pid)});
        } else if (!grabber && std::ranges::find(grabbers, name) != grabbers.end()) {
            grabber = PortHolder{name, std::stoll(pid), false};
        }
    }
    if (holders.empty() && grabber) {
        holders.push_back(*grabber);
    }
    return holders;
}

}  // namespace qv
