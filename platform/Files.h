#pragma once

// Files as the operating system has them: Files_posix.cpp and Files_windows.cpp implement
// them, and the build takes the one for its system. Errors come back as std::error_code; the
// usual ones in the generic category on both systems, so that a reason reads the same wherever
// the tool runs.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <system_error>

namespace qv::platform {

enum class FileType { Regular, Directory, Other };

// An open file, closed when it goes out of scope. Always binary: bytes go through unchanged.
class File {
public:
    File() = default;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File();

    bool isOpen() const;
    FileType type() const;
    // Writes every byte, or says why not.
    std::error_code write(std::span<const std::uint8_t> bytes);
    // Reads until `bytes` is full or the file ends; `count` is how many were read.
    std::error_code read(std::span<std::uint8_t> bytes, std::size_t& count);
    std::error_code seek(std::uint64_t offset);
    std::uint64_t size() const;
    // Puts the bytes on the disk, so that a rename after it never shows an empty file.
    std::error_code sync();
    // Closes now; a write the system delayed may fail here.
    std::error_code close();
    // Gives this new file the permissions (and, where the user may, the owner) of `existing`,
    // so that replacing a file keeps them.
    void takePermissionsOf(const File& existing);

private:
    friend std::error_code openToRead(const std::filesystem::path&, File&);
    friend std::error_code openToWrite(const std::filesystem::path&, bool, File&);
    friend std::error_code createNew(const std::filesystem::path&, File&);
    friend std::error_code finalPath(const File&, const std::filesystem::path&,
                                     std::filesystem::path&);
    std::intptr_t handle_ = -1;  // a descriptor, or a HANDLE
};

// Opens a file to read, never waiting for a writer (a FIFO opens at once, and type() tells).
std::error_code openToRead(const std::filesystem::path& path, File& file);

// Opens the file at `path` to write, following symbolic links only where the system itself
// would, as a shell's `>` does, and with its permission checks; nothing is truncated. With
// `create`, a file that is not there is made (as the shell makes the file a dangling link
// names). Never waits: a FIFO without a reader is refused.
std::error_code openToWrite(const std::filesystem::path& path, bool create, File& file);

// Creates `path` only when no file has that name (errc::file_exists otherwise), to write.
std::error_code createNew(const std::filesystem::path& path, File& file);

// The name of the file `path` leads to after every symbolic link, checked to be `file`.
std::error_code finalPath(const File& file, const std::filesystem::path& path,
                          std::filesystem::path& resolved);

// Puts the closed file `from` in the place of `to`, in one step: `to` is the new file or the
// old one, never neither, even after a crash. Both are in the same folder.
std::error_code replace(const std::filesystem::path& from, const std::filesystem::path& to);

// Gives the closed file `from` the name `to` only when no file has it (errc::file_exists
// otherwise), in one step; `from` is gone afterwards. A hard link where the filesystem has them,
// else an exclusive rename; errc::operation_not_supported, `from` kept, where it has neither.
std::error_code renameNew(const std::filesystem::path& from, const std::filesystem::path& to);

// What a filesystem may lack. Tests make renameNew behave as on one that lacks it, so that what
// its callers do there runs on any disk.
enum class Lacking { Nothing, HardLinks, HardLinksAndExclusiveRename };
void actAsFilesystemLacking(Lacking lacking);
Lacking filesystemLacking();

}  // namespace qv::platform
