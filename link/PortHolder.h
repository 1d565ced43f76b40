#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace qv {

// A running program that has a device open.
struct PortHolder {
    std::string name;  // as the system names the process, at most 15 characters on Linux
    long long pid = 0;
    // False for a program known to take serial adapters that runs where its open files cannot
    // be seen (another user's, often root's): it may hold the device.
    bool seen = true;

    bool operator==(const PortHolder&) const = default;
};

// The programs found to hold a device, and whether every program was looked at.
struct PortHolders {
    std::vector<PortHolder> holders;
    bool complete = true;
};

// Programs that take USB serial adapters on many desktops.
inline const std::vector<std::string> kKnownGrabbers{"ModemManager", "brltty"};

// How long an open may spend looking for holders before it goes ahead without.
constexpr std::chrono::milliseconds kHolderLookBudget{250};

// Every other process, among those whose open files we may see, with a descriptor on the device
// the port opens (a bare name, a link, a bind mount and /dev/... are one device), in the
// system's order; when none, the first running program of `grabbers`, not seen; none when
// neither shows. Looks at every process's open files: once for an open, not for every byte.
PortHolders findPortHolders(const std::string& port,
                            const std::vector<std::string>& grabbers = kKnownGrabbers,
                            std::chrono::milliseconds budget = kHolderLookBudget);

}  // namespace qv
