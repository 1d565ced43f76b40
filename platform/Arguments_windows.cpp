#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/Arguments.h"

namespace qv::platform {

namespace {

std::string utf8(const wchar_t* text) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string converted(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, converted.data(), size, nullptr, nullptr);
    converted.pop_back();  // the terminating zero
    return converted;
}

}  // namespace

// Windows gives main its arguments in the ANSI code page, which cannot hold every name: they
// are taken whole from the wide command line.
std::vector<std::string> utf8Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return {argv, argv + argc};
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(utf8(wide[i]));
    }
    ::LocalFree(wide);
    return arguments;
}

}  // namespace qv::platform
