#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/RuntimeFolder.h"

namespace qv::platform {

namespace fs = std::filesystem;

namespace {

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

}  // namespace

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
