#pragma once

#include <string>

namespace qv {

// Whether the user's rights let them open the device, so that a refusal means another program
// holds it.
bool userMayOpen(const std::string& device);

}  // namespace qv
