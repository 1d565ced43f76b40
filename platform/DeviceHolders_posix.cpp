#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fstream>
#include <memory>

#include "platform/DeviceHolders.h"

namespace qv::platform {

namespace {

using SteadyClock = std::chrono::steady_clock;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using Dir = std::unique_ptr<DIR, DirCloser>;

bool isNumber(const char* name) {
    return *name != '\0' && std::all_of(name, name + std::char_traits<char>::length(name),
                                        [](char c) { return c >= '0' && c <= '9'; });
}

// The name of this process in the process table in view: another PID namespace's table does
// not hold it under the number it knows itself by.
std::string selfInProc() {
    std::array<char, 32> name{};
    const ssize_t length = ::readlink("/proc/self", name.data(), name.size() - 1);
    return length > 0 ? std::string(name.data(), static_cast<std::size_t>(length)) : std::string();
}

std::string processName(const std::string& process) {
    std::string name;
    std::getline(std::ifstream(process + "/comm"), name);
    return name;
}

enum class Look { Holds, HoldsNot, Unseen, OutOfTime };

// Whether the process has a descriptor on the device. Processes and descriptors come and go
// during the look: what cannot be read is passed over. Whether a process's descriptors may be
// read is decided for the process as a whole.
Look lookAt(const std::string& process, std::uint64_t device, SteadyClock::time_point deadline) {
    const std::string folder = process + "/fd";
    const Dir fds(::opendir(folder.c_str()));
    if (!fds) {
        return errno == EACCES ? Look::Unseen : Look::HoldsNot;
    }
    while (const dirent* entry = ::readdir(fds.get())) {
        if (SteadyClock::now() > deadline) {
            return Look::OutOfTime;
        }
        struct stat opened {};
        if (isNumber(entry->d_name) &&
            ::stat((folder + '/' + entry->d_name).c_str(), &opened) == 0 &&
            (S_ISCHR(opened.st_mode) || S_ISBLK(opened.st_mode)) && opened.st_rdev == device) {
            return Look::Holds;
        }
    }
    return Look::HoldsNot;
}

}  // namespace

DeviceHolders holdersOf(std::uint64_t device, std::chrono::milliseconds budget,
                        const std::vector<std::string>& watched) {
    const auto deadline = SteadyClock::now() + budget;
    DeviceHolders found;
    const std::string self = selfInProc();
    const Dir proc(::opendir("/proc"));
    if (!proc) {
        return found;
    }
    while (const dirent* entry = ::readdir(proc.get())) {
        if (!isNumber(entry->d_name) || entry->d_name == self) {
            continue;
        }
        const std::string process = std::string("/proc/") + entry->d_name;
        const Look look = lookAt(process, device, deadline);
        if (look == Look::OutOfTime || SteadyClock::now() > deadline) {
            found.complete = false;
            break;
        }
        if (look == Look::Holds) {
            found.holders.push_back({processName(process), std::stoll(entry->d_name)});
        } else if (!found.watched && !watched.empty()) {
            std::string name = processName(process);
            if (std::ranges::find(watched, name) != watched.end()) {
                found.watched = Process{std::move(name), std::stoll(entry->d_name)};
            }
        }
    }
    return found;
}

}  // namespace qv::platform
