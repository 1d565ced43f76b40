#pragma once

#include <optional>
#include <string>

#include "ports/PresentPorts.h"
#include "workflow/RadioOperations.h"

namespace qv::cli {

// A port as the technician named it: "COM9" or "9" is the present port that the window lists
// as COM9; anything else is a device path. Empty when the number names no present port.
std::optional<RadioPort> choosePort(const std::string& text, PresentPorts& present);

}  // namespace qv::cli
