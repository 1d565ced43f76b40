#include "shell/LinuxPorts.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <string_view>

#include "shell/ComPorts.h"

namespace qv {

namespace {

constexpr int kFirstFreeNumber = 100;

struct NamedFamily {
    std::string_view prefix;
    int offset;
};
constexpr std::array<NamedFamily, 3> kFamilies = {{{"ttyS", 1}, {"ttyUSB", 33}, {"ttyACM", 65}}};

std::vector<std::string> serialDevices() {
    std::vector<std::string> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        devices.push_back(info.systemLocation().toStdString());
    }
    return devices;
}

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

LinuxPorts::LinuxPorts(std::vector<PresentPort> configured, DeviceLister systemDevices,
                       DeviceProbe exists)
    : configured_(std::move(configured)),
      systemDevices_(systemDevices ? std::move(systemDevices) : serialDevices),
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
    std::vector<std::string> devices = systemDevices_();
    std::sort(devices.begin(), devices.end(), listedBefore);
    for (const std::string& device : devices) {
        const bool alreadyListed = std::find(configuredDevices.begin(), configuredDevices.end(),
                                             canonicalPath(device)) != configuredDevices.end();
        if (!alreadyListed) {
            ports.push_back({portEntryText(numberOf(device)), device});
        }
    }
    return ports;
}

// A number names one device: a named device whose number a configured port already has is
// numbered like any other device, so picking it never opens the configured one.
int LinuxPorts::numberOf(const std::string& device) {
    if (const auto member = familyOf(device)) {
        const int n = member->k + kFamilies[member->family].offset;
        if (!configured(n)) {
            return n;
        }
    }
    const auto known = assigned_.find(device);
    if (known != assigned_.end()) {
        return known->second;
    }
    const int n = nextFreeNumber();
    assigned_.emplace(device, n);
    return n;
}

bool LinuxPorts::configured(int n) const {
    return std::any_of(configured_.begin(), configured_.end(),
                       [n](const PresentPort& p) { return portNumberOf(p.name) == n; });
}

int LinuxPorts::nextFreeNumber() const {
    auto taken = [this](int n) {
        return configured(n) || std::any_of(assigned_.begin(), assigned_.end(),
                                            [n](const auto& entry) { return entry.second == n; });
    };
    int n = kFirstFreeNumber;
    while (taken(n)) {
        ++n;
    }
    return n;
}

}  // namespace qv
