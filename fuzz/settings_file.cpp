// Any settings file, hand-edited or damaged, and the port number written into it: a write that
// fails leaves the file byte for byte, one that succeeds reads back and changes no other
// setting, and writing the same number again changes nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "ports/SettingsFile.h"

namespace qv::fuzz {
namespace {

// Every setting the tool reads but the port number.
auto otherSettings(const SettingsFile& settings) {
    std::vector<std::string> ports;
    for (const PresentPort& port : settings.configuredPorts()) {
        ports.push_back(port.name + "=" + port.device);
    }
    return std::tuple(ports, settings.accessCode(), settings.model());
}

}  // namespace
}  // namespace qv::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qv::fuzz;
    FuzzedDataProvider input(data, size);
    const int port = input.ConsumeIntegralInRange(-40000, 40000);
    const std::string before = input.ConsumeRemainingBytesAsString();
    const auto path = scratchFolder() / "mysetup.ini";
    writeFile(path, before);
    const qv::SettingsFile settings(path.string());
    const auto others = otherSettings(settings);
    if (!settings.writeComPort(port)) {
        check(fileContents(path) == before, "a write that fails leaves the file as it was");
        return 0;
    }
    const bool fits = port >= std::numeric_limits<std::int16_t>::min() &&
                      port <= std::numeric_limits<std::int16_t>::max();
    check(settings.readComPort() == (fits ? port : 0), "the port written reads back");
    check(otherSettings(settings) == others, "writing the port keeps every other setting");
    const std::string after = fileContents(path);
    check(settings.writeComPort(port) && fileContents(path) == after,
          "writing the same port again changes nothing");
    return 0;
}
