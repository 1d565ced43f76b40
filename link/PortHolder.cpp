#include "link/PortHolder.h"

#include "platform/DeviceHolders.h"
#include "platform/Devices.h"

namespace qv {

PortHolders findPortHolders(const std::string& port, const std::vector<std::string>& grabbers,
                            std::chrono::milliseconds budget) {
    const auto device = platform::deviceNumber(platform::serialDeviceLocation(port));
    if (!device) {
        return {};
    }
    const platform::DeviceHolders found = platform::holdersOf(*device, budget, grabbers);
    PortHolders result{{}, found.complete};
    for (const platform::Process& holder : found.holders) {
        result.holders.push_back({holder.name, holder.id});
    }
    if (result.holders.empty() && found.watched) {
        result.holders.push_back({found.watched->name, found.watched->id, false});
    }
    return result;
}

}  // namespace qv
