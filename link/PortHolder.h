#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qv {

// A running program that has a device open.
struct PortHolder {
    std::string name;  // as /proc/<pid>/comm gives it, at most 15 characters
    long long pid = 0;
    // False for a program known to take serial adapters that runs where its open files cannot
    // be seen (another user's, often root's): it may hold the device.
    bool seen = true;

    bool operator==(const PortHolder&) const = default;
};

// Programs that take USB serial adapters on many desktops.
inline const std::vector<std::string> kKnownGrabbers{"ModemManager", "brltty"};

// Every process, among those whose open files we may see, with a descriptor on the device (or
// on the file a link to it names), in /proc's order; when none, the first running program of
// `grabbers`, not seen; empty when neither shows. Looks through every /proc/<pid>/fd: once
// for an open, not for every byte.
std::vector<PortHolder> findPortHolders(const std::string& device,
                                        const std::vector<std::string>& grabbers = kKnownGrabbers);

}  // namespace qv
