#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ports/PresentPorts.h"

namespace qv {

// One entry of the port list: the text the user sees and the device path behind it.
struct PortEntry {
    std::string text;
    std::string device;

    bool operator==(const PortEntry&) const = default;
};

struct PortListing {
    std::vector<PortEntry> entries;
    int first = 0;  // the number of the first port listed, 0 when none
};

// The port list rebuilt from the present ports, in their order, duplicates kept. A port
// number longer than three digits is listed with its first three.
PortListing listPorts(const std::vector<PresentPort>& present);

// Whether some entry reads exactly "COM" followed by n.
bool isPortListed(const std::vector<PortEntry>& entries, int n);

// The entry equal to text, else the first entry, else the empty text.
std::string findEntryText(const std::vector<PortEntry>& entries, std::string_view text);

// The port number an entry text names from its fourth character on; 0 when none.
int portNumberOf(std::string_view entryText);

// "COM" followed by n.
std::string portEntryText(int n);

}  // namespace qv
