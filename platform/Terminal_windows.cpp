#include <windows.h>

#include "platform/Terminal.h"

namespace qv::platform {

bool isTerminal(Stream stream) {
    const DWORD which = stream == Stream::Input    ? STD_INPUT_HANDLE
                        : stream == Stream::Output ? STD_OUTPUT_HANDLE
                                                   : STD_ERROR_HANDLE;
    DWORD mode = 0;
    return ::GetConsoleMode(::GetStdHandle(which), &mode) != 0;
}

void useUtf8Terminal() {
    ::SetConsoleOutputCP(CP_UTF8);
}

}  // namespace qv::platform
