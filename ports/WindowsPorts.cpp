#include "ports/WindowsPorts.h"

#include <windows.h>

namespace qv {

std::vector<PresentPort> WindowsPorts::list() {
    std::vector<PresentPort> ports;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return ports;
    }
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[256];
        DWORD nameSize = sizeof name;
        DWORD dataSize = sizeof data - 1;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        data[dataSize] = 0;
        const std::string port(reinterpret_cast<const char*>(data));
        ports.push_back({port, "\\\\.\\" + port});
    }
    RegCloseKey(key);
    return ports;
}

}  // namespace qv
