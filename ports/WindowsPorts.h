#pragma once

#include "ports/PresentPorts.h"

namespace qv {

// Present ports on Windows: those QSerialPortInfo lists (it reads the system's own list of
// serial ports), in its order, each named by its own name ("COM3") with its device path.
class WindowsPorts : public PresentPorts {
public:
    std::vector<PresentPort> list() override;

private:
    PortListLog log_;
};

}  // namespace qv
