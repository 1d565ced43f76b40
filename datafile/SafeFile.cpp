#include "SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <system_error>

namespace qv {

namespace fs = std::filesystem;

namespace {

std::string errnoText(int error) {
    return std::generic_category().message(error);
}

FileError failure(const fs::path& path, std::string reason) {
    return FileError{.path = path, .reason = std::move(reason)};
}

// Closes the descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded; a late write error shows up here.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads until `size` bytes or the end of the file; returns how many were read, -1 on error.
ssize_t readUpTo(int fd, std::uint8_t* data, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        const ssize_t n = ::read(fd, data + total, size - total);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (n == 0) {
            break;
        }
        total += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(total);
}

// The file a save replaces. Symbolic links are followed, a chain of them too, so the links
// stay as they are; a link that names no file yet has that file created, never replaced.
std::optional<FileError> resolveSaveTarget(const fs::path& path, fs::path& target) {
    constexpr int kMostLinks = 40;
    target = path;
    for (int links = 0; links < kMostLinks; ++links) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(target, ec))) {
            return std::nullopt;
        }
        const fs::path next = fs::read_symlink(target, ec);
        if (ec) {
            return failure(path, errnoText(ec.value()));
        }
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return failure(path, errnoText(ELOOP));
}

// What an existing target contributes to the new file: its mode and owner, and the bytes past
// the new content that a caller asks to keep.
struct ExistingFile {
    bool exists = false;
    struct stat info {};

    bool hasBytesFrom(std::size_t offset) const {
        return exists && info.st_size > static_cast<off_t>(offset);
    }
};

// Failures name `shown`, the path the user chose, rather than the resolved target.
std::optional<FileError> inspectTarget(const fs::path& target, const fs::path& shown,
                                       ExistingFile& existing) {
    if (::stat(target.c_str(), &existing.info) != 0) {
        if (errno == ENOENT) {
            return std::nullopt;
        }
        return failure(shown, errnoText(errno));
    }
    existing.exists = true;
    if (S_ISDIR(existing.info.st_mode)) {
        return failure(shown, errnoText(EISDIR));
    }
    if (!S_ISREG(existing.info.st_mode)) {
        return failure(shown, "not a regular file");
    }
    // Replacing the file through its directory would bypass its own write protection.
    if (::access(target.c_str(), W_OK) != 0) {
        return failure(shown, errnoText(errno));
    }
    return std::nullopt;
}

// Copies the bytes of `target` from `offset` on to `out`, a piece at a time: the file may be
// far larger than anything worth holding in memory.
bool copyTail(const fs::path& target, std::size_t offset, int out) {
    FileDescriptor in(::open(target.c_str(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0 || ::lseek(in.get(), static_cast<off_t>(offset), SEEK_SET) < 0) {
        return false;
    }
    std::array<std::uint8_t, std::size_t{64} * 1024> piece;
    for (;;) {
        const ssize_t n = readUpTo(in.get(), piece.data(), piece.size());
        if (n <= 0) {
            return n == 0;
        }
        if (!writeAll(out, piece.data(), static_cast<std::size_t>(n))) {
            return false;
        }
    }
}

fs::path temporaryPath(const fs::path& target, int attempt) {
    fs::path dir = target.parent_path();
    return dir / ("." + target.filename().string() + ".tmp" + std::to_string(::getpid()) + "-" +
                  std::to_string(attempt));
}

// Creates a new file beside the target; mode 0666 less the umask, as for any new file.
int createTemporary(const fs::path& target, fs::path& temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = temporaryPath(target, attempt);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

std::optional<FileError> writeTemporary(int fd, const fs::path& target, const fs::path& shown,
                                        std::span<const std::uint8_t> content,
                                        std::optional<std::size_t> keepFrom,
                                        const ExistingFile& existing) {
    if (existing.exists) {
        ::fchmod(fd, existing.info.st_mode & 07777);
        // Only root may give the file back to its owner; for anyone else it is theirs already.
        [[maybe_unused]] const int ignored =
            ::fchown(fd, existing.info.st_uid, existing.info.st_gid);
    }
    if (!writeAll(fd, content.data(), content.size()) ||
        (keepFrom && existing.hasBytesFrom(*keepFrom) && !copyTail(target, *keepFrom, fd)) ||
        ::fsync(fd) != 0) {
        return failure(shown, errnoText(errno));
    }
    return std::nullopt;
}

}  // namespace

std::string FileError::message() const {
    return "\"" + path.string() + "\": " + reason + ".";
}

std::optional<FileError> replaceFile(const fs::path& path, std::span<const std::uint8_t> content,
                                     std::optional<std::size_t> keepFrom) {
    fs::path target;
    ExistingFile existing;
    if (auto error = resolveSaveTarget(path, target)) {
        return error;
    }
    if (auto error = inspectTarget(target, path, existing)) {
        return error;
    }
    fs::path temporary;
    FileDescriptor out(createTemporary(target, temporary));
    if (out.get() < 0) {
        // The new content is written beside the target first, so its folder must be writable.
        return failure(path, "cannot create a file in its folder: " + errnoText(errno));
    }
    std::optional<FileError> error =
        writeTemporary(out.get(), target, path, content, keepFrom, existing);
    if (!error && !out.close()) {
        error = failure(path, errnoText(errno));
    }
    if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = failure(path, errnoText(errno));
    }
    if (error) {
        ::unlink(temporary.c_str());
    }
    return error;
}

std::optional<FileError> readFile(const fs::path& path, std::size_t most,
                                  std::vector<std::uint8_t>& bytes) {
    FileDescriptor in(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (in.get() < 0) {
        return failure(path, errnoText(errno));
    }
    struct stat info {};
    if (::fstat(in.get(), &info) != 0) {
        return failure(path, errnoText(errno));
    }
    if (S_ISDIR(info.st_mode)) {
        return failure(path, errnoText(EISDIR));
    }
    if (!S_ISREG(info.st_mode)) {
        return failure(path, "not a regular file");
    }
    // A piece at a time: `most` may be a megabyte for a file of a few kilobytes.
    constexpr std::size_t kPiece = std::size_t{64} * 1024;
    std::vector<std::uint8_t> read;
    while (read.size() < most) {
        const std::size_t have = read.size();
        const std::size_t want = std::min(most - have, kPiece);
        read.resize(have + want);
        const ssize_t n = readUpTo(in.get(), read.data() + have, want);
        if (n < 0) {
            return failure(path, errnoText(errno));
        }
        read.resize(have + static_cast<std::size_t>(n));
        if (static_cast<std::size_t>(n) < want) {
            break;
        }
    }
    bytes = std::move(read);
    return std::nullopt;
}

}  // namespace qv
