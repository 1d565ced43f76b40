#pragma once

#include <optional>
#include <string>

namespace qv {

// A running program that has a device open.
struct PortHolder {
    std::string name;  // as /proc/<pid>/comm gives it, at most 15 characters
    long long pid = 0;

    bool operator==(const PortHolder&) const = default;
};

// The first process, among those whose open files we may see, with a descriptor on the device
// (or on the file a link to it names); none when no such process shows. Looks through every
// /proc/<pid>/fd, so it is for when an open has failed, not for every open.
std::optional<PortHolder> findPortHolder(const std::string& device);

}  // namespace qv
