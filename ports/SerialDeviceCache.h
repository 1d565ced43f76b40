#pragma once

#include <QFileSystemWatcher>
#include <QString>
#include <QTimer>
#include <string>
#include <vector>

#include "ports/LinuxPorts.h"

namespace qv {

// The serial devices the system lists, kept until something comes or goes in the device folder:
// every device node appears in /dev as its device is added and leaves as it is removed, so the
// costly listing is made only then (inotify, through QFileSystemWatcher, on the event loop).
// Where the folder cannot be watched, every call lists them.
class SerialDeviceCache {
public:
    explicit SerialDeviceCache(const QString& folder = QStringLiteral("/dev"),
                               LinuxPorts::DeviceLister list = systemSerialDevices);

    // The devices as last listed; listed again when the folder changed since.
    std::vector<std::string> devices();

private:
    LinuxPorts::DeviceLister list_;
    QFileSystemWatcher watcher_;
    // A removed device leaves /sys, where the listing looks, a moment after it leaves /dev.
    QTimer settle_;
    bool watching_ = false;
    bool stale_ = true;
    std::vector<std::string> devices_;
};

}  // namespace qv
