#include "cli/PortChoice.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "ports/PortList.h"

namespace qv::cli {

namespace {

// The number in "COM9", "com9" or "9"; none for a device path.
std::optional<int> portNumberIn(std::string text) {
    if (text.size() > 3 && std::equal(text.begin(), text.begin() + 3, "COM", [](char a, char b) {
            return std::toupper(static_cast<unsigned char>(a)) == b;
        })) {
        text.erase(0, 3);
    }
    const bool digits =
        !text.empty() && text.size() <= 5 &&
        std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
    return digits ? std::optional(std::stoi(text)) : std::nullopt;
}

}  // namespace

std::optional<RadioPort> choosePort(const std::string& text, PresentPorts& present) {
    const std::optional<int> n = portNumberIn(text);
    if (!n) {
        return RadioPort{{}, text};
    }
    const std::string name = portEntryText(*n);
    for (const PortEntry& entry : listPorts(present.list()).entries) {
        if (entry.text == name) {
            return RadioPort{name, entry.device};
        }
    }
    return std::nullopt;
}

}  // namespace qv::cli
