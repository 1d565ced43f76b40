// What an open file does the same way on every system; the rest is in Files_posix.cpp and
// Files_windows.cpp. A handle of -1 is no file on both (Windows' INVALID_HANDLE_VALUE).
#include "platform/Files.h"

namespace qv::platform {

namespace {

Lacking lackingForTests = Lacking::Nothing;

}  // namespace

void actAsFilesystemLacking(Lacking lacking) {
    lackingForTests = lacking;
}

Lacking filesystemLacking() {
    return lackingForTests;
}

File::File(File&& other) noexcept : handle_(other.handle_) {
    other.handle_ = -1;
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = other.handle_;
        other.handle_ = -1;
    }
    return *this;
}

File::~File() {
    close();
}

}  // namespace qv::platform
