#include "link/RadioSettings.h"

#include <algorithm>

namespace qv {

std::string accessCodeOrDefault(std::string_view text) {
    constexpr std::size_t kLength = 10;
    const bool printable =
        std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
    return std::string(text.size() == kLength && printable ? text : kDefaultAccessCode);
}

}  // namespace qv
