#pragma once

// The processes that hold a device: DeviceHolders_posix.cpp and DeviceHolders_windows.cpp
// implement the look.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv::platform {

// A running program, as the system names it.
struct Process {
    std::string name;
    long long id = 0;

    bool operator==(const Process&) const = default;
};

// The programs other than this one with a descriptor on a device, in the system's order.
struct DeviceHolders {
    std::vector<Process> holders;
    // The first program named in the watch list that holds nothing seen of the device.
    std::optional<Process> watched;
    // False when the look ended at its time budget before every program was seen.
    bool complete = true;
};

// Looks at every program whose open files this user may see, for at most `budget`. This
// program knows itself by the system's own word for it, so a process table it does not appear
// in never names it.
DeviceHolders holdersOf(std::uint64_t device, std::chrono::milliseconds budget,
                        const std::vector<std::string>& watched);

}  // namespace qv::platform
