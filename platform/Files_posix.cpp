#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/Files.h"

namespace qv::platform {

namespace fs = std::filesystem;

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

int fdOf(std::intptr_t handle) {
    return static_cast<int>(handle);
}

std::error_code openWith(const fs::path& path, int flags, std::intptr_t& handle) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        return lastError();
    }
    handle = fd;
    return {};
}

}  // namespace

bool File::isOpen() const {
    return handle_ >= 0;
}

FileType File::type() const {
    struct stat info {};
    if (::fstat(fdOf(handle_), &info) != 0) {
        return FileType::Other;
    }
    return S_ISREG(info.st_mode)   ? FileType::Regular
           : S_ISDIR(info.st_mode) ? FileType::Directory
                                   : FileType::Other;
}

std::error_code File::write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fdOf(handle_), bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return lastError();
        }
        bytes = bytes.subspan(static_cast<std::size_t>(n));
    }
    return {};
}

std::error_code File::read(std::span<std::uint8_t> bytes, std::size_t& count) {
    count = 0;
    while (count < bytes.size()) {
        const ssize_t n = ::read(fdOf(handle_), bytes.data() + count, bytes.size() - count);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return lastError();
        }
        if (n == 0) {
            break;
        }
        count += static_cast<std::size_t>(n);
    }
    return {};
}

std::error_code File::seek(std::uint64_t offset) {
    if (::lseek(fdOf(handle_), static_cast<off_t>(offset), SEEK_SET) < 0) {
        return lastError();
    }
    return {};
}

std::uint64_t File::size() const {
    struct stat info {};
    return ::fstat(fdOf(handle_), &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

std::error_code File::sync() {
    return ::fsync(fdOf(handle_)) == 0 ? std::error_code() : lastError();
}

std::error_code File::close() {
    if (handle_ < 0) {
        return {};
    }
    const int fd = fdOf(handle_);
    handle_ = -1;
    return ::close(fd) == 0 ? std::error_code() : lastError();
}

void File::takePermissionsOf(const File& existing) {
    struct stat info {};
    if (::fstat(fdOf(existing.handle_), &info) != 0) {
        return;
    }
    ::fchmod(fdOf(handle_), info.st_mode & 07777);
    // Only root may give the file back to its owner; for anyone else it is theirs already.
    [[maybe_unused]] const int ignored = ::fchown(fdOf(handle_), info.st_uid, info.st_gid);
}

std::error_code openToRead(const fs::path& path, File& file) {
    File opened;
    if (auto error = openWith(path, O_RDONLY | O_NONBLOCK, opened.handle_)) {
        return error;
    }
    file = std::move(opened);
    return {};
}

std::error_code openToWrite(const fs::path& path, bool create, File& file) {
    File opened;
    if (auto error =
            openWith(path, O_WRONLY | O_NONBLOCK | (create ? O_CREAT : 0), opened.handle_)) {
        return error;
    }
    file = std::move(opened);
    return {};
}

std::error_code createNew(const fs::path& path, File& file) {
    File created;
    if (auto error = openWith(path, O_WRONLY | O_CREAT | O_EXCL, created.handle_)) {
        return error;
    }
    file = std::move(created);
    return {};
}

std::error_code finalPath(const File& file, const fs::path& path, fs::path& resolved) {
    std::error_code error;
    fs::path found = fs::canonical(path, error);
    if (error) {
        return error;
    }
    // A link changed since the file was opened through it: the save may be tried again.
    struct stat opened {};
    struct stat named {};
    if (::fstat(fdOf(file.handle_), &opened) != 0 || ::stat(found.c_str(), &named) != 0) {
        return lastError();
    }
    if (opened.st_dev != named.st_dev || opened.st_ino != named.st_ino) {
        return std::make_error_code(std::errc::resource_unavailable_try_again);
    }
    resolved = std::move(found);
    return {};
}

std::error_code replace(const fs::path& from, const fs::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : lastError();
}

namespace {

// A hard link is made only where no file has the name, in one step.
std::error_code hardLink(const fs::path& from, const fs::path& to) {
    if (filesystemLacking() != Lacking::Nothing) {
        return std::make_error_code(std::errc::operation_not_permitted);
    }
    return ::link(from.c_str(), to.c_str()) == 0 ? std::error_code() : lastError();
}

std::error_code exclusiveRename(const fs::path& from, const fs::path& to) {
    if (filesystemLacking() == Lacking::HardLinksAndExclusiveRename) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0
               ? std::error_code()
               : lastError();
}

// How a filesystem or kernel says it has no such operation at all, rather than that this one
// failed.
bool lacksOperation(const std::error_code& error) {
    return error == std::errc::operation_not_permitted ||
           error == std::errc::operation_not_supported || error == std::errc::invalid_argument ||
           error == std::errc::function_not_supported;
}

}  // namespace

std::error_code renameNew(const fs::path& from, const fs::path& to) {
    std::error_code error = hardLink(from, to);
    if (!error) {
        ::unlink(from.c_str());
        return {};
    }
    // FAT, exFAT and some network shares have no hard links, but may rename exclusively.
    if (lacksOperation(error)) {
        error = exclusiveRename(from, to);
    }
    return lacksOperation(error) ? std::make_error_code(std::errc::operation_not_supported) : error;
}

}  // namespace qv::platform
