#pragma once

#include "ports/PresentPorts.h"

namespace qv {

// Present ports on Windows: the values of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, in the
// registry's order, stopping at the first value that cannot be read.
class WindowsPorts : public PresentPorts {
public:
    std::vector<PresentPort> list() override;
};

}  // namespace qv
