#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "ports/PresentPorts.h"

namespace qv::cli {

// A port as the technician named it: "COM9" or "9" is the present port that the window lists
// as COM9; anything else is a device path. Empty when the number names no present port.
struct ChosenPort {
    std::string name;  // "COM9"; empty when given as a device path
    std::string device;

    // "COM9 (/dev/ttyUSB0)", or the device path.
    std::string describe() const;
};
std::optional<ChosenPort> choosePort(const std::string& text, PresentPorts& present);

}  // namespace qv::cli
