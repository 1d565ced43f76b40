#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ports/PresentPorts.h"

namespace qv {

// The settings file mysetup.ini in the private-profile format. Each call reads or writes one
// key and leaves every other line of the file as it was.
class SettingsFile {
public:
    explicit SettingsFile(std::string path);

    const std::string& path() const { return path_; }

    // Why the file is not read, when it is there but is not a regular file (a folder, a named
    // pipe, a device, or a link to one): such a file is never opened, for reading it could block
    // or never end, and the built-in settings are used. Nothing for a regular or missing file.
    std::optional<std::string> refusal() const;

    // [language] comPort: the saved port number; 0 when the file, the key or a whole number in
    // the 16-bit signed range is missing.
    int readComPort() const;
    // Creates the file (and its folder) or the section when missing. The change is made on a copy
    // in the same folder and renamed over the file, so a write that fails (a full disk, a read-only
    // folder) leaves the file as it was; false then, and the tool goes on without it. A file that
    // is a symbolic link stays one: the file it names is changed, where the system lets the link
    // be followed.
    bool writeComPort(int n) const;

    // [ports] COM<n>=<device path>: the devices behind port numbers, in file order.
    std::vector<PresentPort> configuredPorts() const;

    // [radio] accessCode and [radio] model as written, empty when missing.
    std::string accessCode() const;
    std::string model() const;

private:
    bool isRefused() const;
    std::string read(const char* section, const char* key) const;
    bool write(const char* section, const char* key, const std::string& value) const;

    std::string path_;
};

}  // namespace qv
