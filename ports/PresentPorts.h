#pragma once

#include <QLoggingCategory>
#include <memory>
#include <string>
#include <vector>

// The ports found and their comings and goings, silent unless the logging rules or a transfer
// log turn it on.
Q_DECLARE_LOGGING_CATEGORY(lcPorts)

namespace qv {

// One serial port the system reports as present: its name ("COM" and a number, as the
// port list shows it) and the device path behind it.
struct PresentPort {
    std::string name;
    std::string device;

    bool operator==(const PresentPort&) const = default;
};

// The system's list of present serial ports, in the system's order. The window asks for it
// every second, so an implementation does its costly part only when something has changed.
class PresentPorts {
public:
    virtual ~PresentPorts() = default;
    virtual std::vector<PresentPort> list() = 0;
};

// Logs the present ports under qv.ports when they differ from the ones it logged last: the
// window asks for them every second.
class PortListLog {
public:
    void logWhenChanged(const std::vector<PresentPort>& ports);

private:
    std::vector<PresentPort> logged_;
};

// How often the caller asks for the list: the window every second, the command line once.
enum class PortLookups { Once, EverySecond };

// This system's present ports. LinuxPorts and WindowsPorts are the Qt side's sibling of
// platform/: they need QSerialPortInfo (and libudev), and CMake picks one as it picks a platform
// side. `configured` are the settings file's [ports] entries: Linux
// numbers its devices and takes them; Windows names every port itself.
std::unique_ptr<PresentPorts> systemPorts(const std::vector<PresentPort>& configured,
                                          PortLookups lookups);

}  // namespace qv
