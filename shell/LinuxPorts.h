#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "shell/PresentPorts.h"

namespace qv {

// Present ports on Linux: the devices named in the settings file's [ports] section that
// exist, then the serial devices the system lists, numbered from their names (ttyS<k> is
// COM<k+1>, ttyUSB<k> COM<k+33>, ttyACM<k> COM<k+65>); any other device, and one whose number
// a configured port has, gets the next free number from 100 up, kept for the run.
class LinuxPorts : public PresentPorts {
public:
    using DeviceLister = std::function<std::vector<std::string>()>;
    using DeviceProbe = std::function<bool(const std::string&)>;

    // Defaults: the devices QSerialPortInfo lists; a path exists when the file system has it.
    explicit LinuxPorts(std::vector<PresentPort> configured, DeviceLister systemDevices = {},
                        DeviceProbe exists = {});

    std::vector<PresentPort> list() override;

private:
    int numberOf(const std::string& device);
    bool configured(int n) const;
    int nextFreeNumber() const;

    std::vector<PresentPort> configured_;
    DeviceLister systemDevices_;
    DeviceProbe exists_;
    std::map<std::string, int> assigned_;  // devices numbered from 100 up
};

}  // namespace qv
