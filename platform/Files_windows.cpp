#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/Files.h"

namespace qv::platform {

namespace fs = std::filesystem;

namespace {

// The usual errors as the generic ones, so that a reason reads as it does on Linux.
std::error_code fromWindows(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return std::make_error_code(std::errc::no_such_file_or_directory);
        case ERROR_ACCESS_DENIED:
            return std::make_error_code(std::errc::permission_denied);
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return std::make_error_code(std::errc::device_or_resource_busy);
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return std::make_error_code(std::errc::file_exists);
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return std::make_error_code(std::errc::no_space_on_device);
        case ERROR_FILENAME_EXCED_RANGE:
            return std::make_error_code(std::errc::filename_too_long);
        case ERROR_WRITE_PROTECT:
            return std::make_error_code(std::errc::read_only_file_system);
        case ERROR_NOT_SAME_DEVICE:
            return std::make_error_code(std::errc::cross_device_link);
        case ERROR_DIRECTORY:
            return std::make_error_code(std::errc::not_a_directory);
        case ERROR_INVALID_NAME:
            return std::make_error_code(std::errc::invalid_argument);
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return std::make_error_code(std::errc::not_enough_memory);
        case ERROR_TOO_MANY_OPEN_FILES:
            return std::make_error_code(std::errc::too_many_files_open);
        default:
            return {static_cast<int>(error), std::system_category()};
    }
}

std::error_code lastError() {
    return fromWindows(::GetLastError());
}

HANDLE handleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::error_code openWith(const fs::path& path, DWORD access, DWORD disposition, DWORD flags,
                         std::intptr_t& handle) {
    const HANDLE opened =
        ::CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return lastError();
    }
    handle = reinterpret_cast<std::intptr_t>(opened);
    return {};
}

}  // namespace

bool File::isOpen() const {
    return handle_ != -1;
}

FileType File::type() const {
    // Consoles, pipes and devices such as NUL are not disk files.
    if (::GetFileType(handleOf(handle_)) != FILE_TYPE_DISK) {
        return FileType::Other;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handleOf(handle_), &info)) {
        return FileType::Other;
    }
    return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileType::Directory
                                                                   : FileType::Regular;
}

std::error_code File::write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(handleOf(handle_), bytes.data(), piece, &written, nullptr)) {
            return lastError();
        }
        bytes = bytes.subspan(written);
    }
    return {};
}

std::error_code File::read(std::span<std::uint8_t> bytes, std::size_t& count) {
    count = 0;
    while (count < bytes.size()) {
        const DWORD piece =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - count, 1u << 30));
        DWORD got = 0;
        if (!::ReadFile(handleOf(handle_), bytes.data() + count, piece, &got, nullptr)) {
            return lastError();
        }
        if (got == 0) {
            break;
        }
        count += got;
    }
    return {};
}

std::error_code File::seek(std::uint64_t offset) {
    LARGE_INTEGER to{};
    to.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(handleOf(handle_), to, nullptr, FILE_BEGIN) ? std::error_code()
                                                                          : lastError();
}

std::uint64_t File::size() const {
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(handleOf(handle_), &size) ? static_cast<std::uint64_t>(size.QuadPart)
                                                     : 0;
}

std::error_code File::sync() {
    return ::FlushFileBuffers(handleOf(handle_)) ? std::error_code() : lastError();
}

std::error_code File::close() {
    if (handle_ == -1) {
        return {};
    }
    const HANDLE handle = handleOf(handle_);
    handle_ = -1;
    return ::CloseHandle(handle) ? std::error_code() : lastError();
}

void File::takePermissionsOf(const File& existing) {
    // The new file's security comes from its folder, as the replaced file's did; what it has of
    // its own are its attributes (hidden, archive). Read-only files are never replaced.
    FILE_BASIC_INFO old{};
    if (!::GetFileInformationByHandleEx(handleOf(existing.handle_), FileBasicInfo, &old,
                                        sizeof old)) {
        return;
    }
    FILE_BASIC_INFO attributes{};  // times of zero are left as they are
    attributes.FileAttributes = old.FileAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY};
    ::SetFileInformationByHandle(handleOf(handle_), FileBasicInfo, &attributes, sizeof attributes);
}

std::error_code openToRead(const fs::path& path, File& file) {
    File opened;
    // Backup semantics lets a folder open too, so that type() can name it.
    if (auto error = openWith(path, GENERIC_READ, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                              opened.handle_)) {
        return error;
    }
    file = std::move(opened);
    return {};
}

std::error_code openToWrite(const fs::path& path, bool create, File& file) {
    File opened;
    if (auto error =
            openWith(path, GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                     create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, opened.handle_)) {
        return error;
    }
    file = std::move(opened);
    return {};
}

std::error_code createNew(const fs::path& path, File& file) {
    File created;
    if (auto error = openWith(path, GENERIC_WRITE | FILE_READ_ATTRIBUTES, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, created.handle_)) {
        return error;
    }
    file = std::move(created);
    return {};
}

std::error_code finalPath(const File& file, const fs::path&, fs::path& resolved) {
    const HANDLE handle = handleOf(file.handle_);
    constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    std::vector<wchar_t> name(MAX_PATH + 1);
    DWORD length =
        ::GetFinalPathNameByHandleW(handle, name.data(), static_cast<DWORD>(name.size()), kFlags);
    if (length >= name.size()) {
        name.resize(length + 1);
        length = ::GetFinalPathNameByHandleW(handle, name.data(), static_cast<DWORD>(name.size()),
                                             kFlags);
    }
    if (length == 0 || length >= name.size()) {
        return lastError();
    }
    resolved = fs::path(std::wstring(name.data(), length));
    return {};
}

std::error_code replace(const fs::path& from, const fs::path& to) {
    // One rename on the volume, as on Linux; ReplaceFileW can fail half-way with neither name.
    return ::MoveFileExW(from.c_str(), to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? std::error_code()
               : lastError();
}

std::error_code renameNew(const fs::path& from, const fs::path& to) {
    if (filesystemLacking() == Lacking::HardLinksAndExclusiveRename) {
        return std::make_error_code(std::errc::operation_not_supported);
    }
    // Without MOVEFILE_REPLACE_EXISTING an existing name is refused, in the same step.
    return ::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) ? std::error_code()
                                                                           : lastError();
}

}  // namespace qv::platform
