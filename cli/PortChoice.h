#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "ports/PresentPorts.h"

namespace qv::cli {

// The settings file read when none is named: mysetup.ini beside the executable when there,
// else $XDG_CONFIG_HOME/qv4120-settestdata/mysetup.ini (~/.config when unset or relative).
std::filesystem::path defaultSettingsPath(const std::filesystem::path& executableFolder);

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
