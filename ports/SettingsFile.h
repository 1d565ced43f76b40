#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "ports/PresentPorts.h"

namespace qv {

// Where the settings file is: mysetup.ini beside the executable when one is there (a portable
// copy), otherwise $XDG_CONFIG_HOME/qv4120-settestdata/mysetup.ini (~/.config/... by default).
std::filesystem::path settingsFilePath(const std::filesystem::path& executableFolder);

// The settings file mysetup.ini in the private-profile format. Each call reads or writes one
// key and leaves every other line of the file as it was.
class SettingsFile {
public:
    explicit SettingsFile(std::string path);

    const std::string& path() const { return path_; }

    // [language] comPort: the saved port number; 0 when the file, the key or a whole number in
    // the 16-bit signed range is missing.
    int readComPort() const;
    // Creates the file (and its folder) or the section when missing. The change is made on a copy
    // in the same folder and renamed over the file, so a write that fails (a full disk, a read-only
    // folder) leaves the file as it was; false then, and the tool goes on without it.
    bool writeComPort(int n) const;

    // [ports] COM<n>=<device path>: the devices behind port numbers, in file order.
    std::vector<PresentPort> configuredPorts() const;

    // [radio] accessCode and [radio] model as written, empty when missing.
    std::string accessCode() const;
    std::string model() const;

private:
    std::string read(const char* section, const char* key) const;
    bool write(const char* section, const char* key, const std::string& value) const;

    std::string path_;
};

}  // namespace qv
