#pragma once

#include <string>
#include <vector>

namespace qv {

// One serial port the system reports as present: its name ("COM" and a number, as the
// port list shows it) and the device path behind it.
struct PresentPort {
    std::string name;
    std::string device;
};

// The system's list of present serial ports, in the system's order. The window asks for it
// every second, so an implementation does its costly part only when something has changed.
class PresentPorts {
public:
    virtual ~PresentPorts() = default;
    virtual std::vector<PresentPort> list() = 0;
};

}  // namespace qv
