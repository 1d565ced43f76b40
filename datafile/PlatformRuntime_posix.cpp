#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fstream>
#include <memory>

#include "datafile/PlatformRuntime.h"

namespace qv::platform {

namespace fs = std::filesystem;

namespace {

using SteadyClock = std::chrono::steady_clock;

std::error_code lastError() {
    return {errno, std::generic_category()};
}

// A descriptor closed when it goes out of scope.
struct Descriptor {
    explicit Descriptor(int opened) : fd(opened) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd >= 0) {
            ::close(fd);
        }
    }

    int fd;
};

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

std::string serialDeviceLocation(const std::string& port) {
    const bool path = port.starts_with('/') || port.starts_with("./") || port.starts_with("../");
    return path ? port : "/dev/" + port;
}

std::optional<std::uint64_t> deviceNumber(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !(S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.st_rdev);
}

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

std::error_code makePrivateFolder(const fs::path& folder) {
    if (::mkdir(folder.c_str(), 0700) == 0) {
        return {};
    }
    if (errno != EEXIST) {
        return lastError();
    }
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) {
        return lastError();
    }
    if (!S_ISDIR(info.st_mode)) {
        return std::make_error_code(S_ISLNK(info.st_mode) ? std::errc::too_many_symbolic_link_levels
                                                          : std::errc::not_a_directory);
    }
    if (info.st_uid != ::geteuid() || (info.st_mode & 0777) != 0700) {
        return std::make_error_code(std::errc::permission_denied);
    }
    return {};
}

std::error_code readOwnFile(const fs::path& path, std::size_t limit, std::string& contents,
                            FileIdentity& identity) {
    const Descriptor file{
        ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    struct stat info {};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0) {
        return lastError();
    }
    if (!S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
        return std::make_error_code(std::errc::permission_denied);
    }
    identity = {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    contents.assign(limit, '\0');
    const ssize_t count = ::read(file.fd, contents.data(), limit);
    if (count < 0) {
        return lastError();
    }
    contents.resize(static_cast<std::size_t>(count));
    return {};
}

void removeIfSame(const fs::path& path, const FileIdentity& identity) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) == 0 &&
        FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                     static_cast<std::uint64_t>(info.st_ino)} == identity) {
        ::unlink(path.c_str());
    }
}

}  // namespace qv::platform
