#include "ports/WindowsPorts.h"

#include <QSerialPortInfo>

namespace qv {

std::vector<PresentPort> WindowsPorts::list() {
    std::vector<PresentPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports.push_back({info.portName().toStdString(), info.systemLocation().toStdString()});
    }
    log_.logWhenChanged(ports);
    return ports;
}

std::unique_ptr<PresentPorts> systemPorts(const std::vector<PresentPort>& /*configured*/,
                                          PortLookups /*lookups*/) {
    return std::make_unique<WindowsPorts>();
}

}  // namespace qv
