#include "ports/SerialDeviceCache.h"

namespace qv {

namespace {

constexpr int kSettleMs = 100;

}  // namespace

SerialDeviceCache::SerialDeviceCache(const QString& folder, LinuxPorts::DeviceLister list)
    : list_(std::move(list)) {
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    QObject::connect(&settle_, &QTimer::timeout, &settle_, [this] { stale_ = true; });
    // Not restarted by later changes, so that a busy folder still gets listed.
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &settle_, [this] {
        if (!settle_.isActive()) {
            qCDebug(lcPorts) << "serial devices came or went";
            settle_.start();
        }
    });
    watching_ = watcher_.addPath(folder);
}

std::vector<std::string> SerialDeviceCache::devices() {
    if (stale_) {
        devices_ = list_();
        stale_ = !watching_;
    }
    return devices_;
}

}  // namespace qv
