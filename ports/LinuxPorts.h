#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ports/PresentPorts.h"

namespace qv {

// Present ports on Linux: the devices named in the settings file's [ports] section that
// exist, then the serial devices the system lists, numbered from their names (ttyS<k> is
// COM<k+1>, ttyUSB<k> COM<k+33>, ttyACM<k> COM<k+65>). Any other device, and a named one whose
// number is already given, gets the next number from 100 up that nothing else has. A device
// keeps its number for the run, so a number never names two devices, not even one after the
// other.
class LinuxPorts : public PresentPorts {
public:
    using DeviceLister = std::function<std::vector<std::string>()>;
    using DeviceProbe = std::function<bool(const std::string&)>;

    // Defaults: systemSerialDevices; a path exists when the file system has it.
    explicit LinuxPorts(std::vector<PresentPort> configured, DeviceLister systemDevices = {},
                        DeviceProbe exists = {});

    std::vector<PresentPort> list() override;

private:
    bool reserved(int n) const;

    std::vector<PresentPort> configured_;
    DeviceLister systemDevices_;
    DeviceProbe exists_;
    std::map<std::string, int> assigned_;  // the number each device got
    PortListLog log_;
};

// The serial devices QSerialPortInfo lists, by path: several milliseconds and thousands of
// system calls a call.
std::vector<std::string> systemSerialDevices();

}  // namespace qv
