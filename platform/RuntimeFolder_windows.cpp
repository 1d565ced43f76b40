#include <windows.h>

#include "platform/RuntimeFolder.h"

namespace qv::platform {

namespace fs = std::filesystem;

namespace {

// A handle closed when it goes out of scope.
struct Handle {
    explicit Handle(HANDLE opened) : handle(opened) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
    }

    HANDLE handle;
};

std::error_code lastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

// The file itself, never the target of a link at its name.
HANDLE openItself(const fs::path& path, DWORD access) {
    return ::CreateFileW(
        path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool identityOf(HANDLE handle, FileIdentity& identity, DWORD& attributes) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) {
        return false;
    }
    identity = {info.dwVolumeSerialNumber,
                (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
    attributes = info.dwFileAttributes;
    return true;
}

}  // namespace

// The local application data folder is the user's alone.
std::error_code makePrivateFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directory(folder, error);
    if (!error && !fs::is_directory(fs::symlink_status(folder, error))) {
        return std::make_error_code(std::errc::not_a_directory);
    }
    return error;
}

std::error_code readOwnFile(const fs::path& path, std::size_t limit, std::string& contents,
                            FileIdentity& identity) {
    const Handle file{openItself(path, GENERIC_READ)};
    DWORD attributes = 0;
    if (file.handle == INVALID_HANDLE_VALUE || !identityOf(file.handle, identity, attributes)) {
        return lastError();
    }
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
        ::GetFileType(file.handle) != FILE_TYPE_DISK) {
        return std::make_error_code(std::errc::permission_denied);
    }
    contents.assign(limit, '\0');
    DWORD count = 0;
    if (!::ReadFile(file.handle, contents.data(), static_cast<DWORD>(limit), &count, nullptr)) {
        return lastError();
    }
    contents.resize(count);
    return {};
}

void removeIfSame(const fs::path& path, const FileIdentity& identity) {
    FileIdentity found;
    DWORD attributes = 0;
    {
        const Handle file{openItself(path, 0)};
        if (file.handle == INVALID_HANDLE_VALUE || !identityOf(file.handle, found, attributes) ||
            !(found == identity)) {
            return;
        }
    }
    ::DeleteFileW(path.c_str());
}

}  // namespace qv::platform
