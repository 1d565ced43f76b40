#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace qv {

// Our strings hold UTF-8 on every system, and a path is made from one or shown as one only
// here: on Windows, a std::string given to std::filesystem::path is read as the C locale's
// bytes, so a Chinese name would not survive. On Linux the bytes pass through unchanged.
std::filesystem::path pathFromUtf8(std::string_view text);
std::string utf8Text(const std::filesystem::path& path);

}  // namespace qv
