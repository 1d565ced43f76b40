#include "ports/LinuxPorts.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string_view>

#include "ports/PortList.h"
#include "ports/SerialDeviceCache.h"

namespace qv {

namespace {

constexpr int kFirstFreeNumber = 100;

struct NamedFamily {
    std::string_view prefix;
    int offset;
};
constexpr std::array<NamedFamily, 3> kFamilies = {{{"ttyS", 1}, {"ttyUSB", 33}, {"ttyACM", 65}}};

bool pathExists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

std::string canonicalPath(const std::string& path) {
    const QString canonical = QFileInfo(QString::fromStdString(path)).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical.toStdString();
}

std::string_view baseName(std::string_view device) {
    const auto slash = device.rfind('/');
    return slash == std::string_view::npos ? device : device.substr(slash + 1);
}

// The family and the k of a device named <family prefix><k>.
struct FamilyMember {
    std::size_t family = 0;
    int k = 0;
};

std::optional<FamilyMember> familyOf(const std::string& device) {
    const std::string_view name = baseName(device);
    for (std::size_t f = 0; f < kFamilies.size(); ++f) {
        if (!name.starts_with(kFamilies[f].prefix)) {
            continue;
        }
        const std::string_view digits = name.substr(kFamilies[f].prefix.size());
        int k = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), k);
        if (error == std::errc() && end == digits.data() + digits.size() && !digits.empty()) {
            return FamilyMember{f, k};
        }
    }
    return std::nullopt;
}

// The named families first, each by k, then the other devices by name.
bool listedBefore(const std::string& a, const std::string& b) {
    const auto fa = familyOf(a);
    const auto fb = familyOf(b);
    if (fa && fb) {
        return std::pair(fa->family, fa->k) < std::pair(fb->family, fb->k);
    }
    if (fa || fb) {
        return fa.has_value();
    }
    return a < b;
}

}  // namespace

std::vector<std::string> systemSerialDevices() {
    std::vector<std::string> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        devices.push_back(info.systemLocation().toStdString());
    }
    return devices;
}

LinuxPorts::LinuxPorts(std::vector<PresentPort> configured, DeviceLister systemDevices,
                       DeviceProbe exists)
    : configured_(std::move(configured)),
      systemDevices_(systemDevices ? std::move(systemDevices) : systemSerialDevices),
      exists_(exists ? std::move(exists) : pathExists) {}

std::vector<PresentPort> LinuxPorts::list() {
    std::vector<PresentPort> ports;
    std::vector<std::string> configuredDevices;
    for (const PresentPort& port : configured_) {
        if (exists_(port.device)) {
            ports.push_back(port);
            configuredDevices.push_back(canonicalPath(port.device));
        }
    }
    std::vector<std::string> devices;
    for (std::string& device : systemDevices_()) {
        if (std::find(configuredDevices.begin(), configuredDevices.end(), canonicalPath(device)) ==
            configuredDevices.end()) {
            devices.push_back(std::move(device));
        }
    }
    std::sort(devices.begin(), devices.end(), listedBefore);
    // A number once given stays with its device for the run. The numbers by name go first,
    // so that none of them is handed out again from 100 up.
    for (const std::string& device : devices) {
        const auto member = familyOf(device);
        const int n = member ? member->k + kFamilies[member->family].offset : 0;
        if (member && !assigned_.contains(device) && !reserved(n)) {
            assigned_[device] = n;
        }
    }
    for (const std::string& device : devices) {
        if (!assigned_.contains(device)) {
            int n = kFirstFreeNumber;
            while (reserved(n)) {
                ++n;
            }
            assigned_[device] = n;
        }
        ports.push_back({portEntryText(assigned_[device]), device});
    }
    log_.logWhenChanged(ports);
    return ports;
}

// A configured number stays its port's, and a number given to a device stays that device's,
// even while they are absent.
bool LinuxPorts::reserved(int n) const {
    const auto configured =
        std::any_of(configured_.begin(), configured_.end(),
                    [n](const PresentPort& p) { return portNumberOf(p.name) == n; });
    return configured || std::any_of(assigned_.begin(), assigned_.end(),
                                     [n](const auto& entry) { return entry.second == n; });
}

namespace {

// Looks at the [ports] paths on every call, and at the system's devices only after one came or
// went.
class WatchedLinuxPorts : public PresentPorts {
public:
    explicit WatchedLinuxPorts(std::vector<PresentPort> configured)
        : ports_(std::move(configured), [this] { return devices_.devices(); }) {}

    std::vector<PresentPort> list() override { return ports_.list(); }

private:
    SerialDeviceCache devices_;
    LinuxPorts ports_;
};

}  // namespace

std::unique_ptr<PresentPorts> systemPorts(const std::vector<PresentPort>& configured,
                                          PortLookups lookups) {
    if (lookups == PortLookups::Once) {
        return std::make_unique<LinuxPorts>(configured);
    }
    return std::make_unique<WatchedLinuxPorts>(configured);
}

}  // namespace qv
