#include "shell/SettingsFile.h"

#include <minIni.h>

#include <charconv>
#include <cstdint>
#include <limits>

#include "shell/ComPorts.h"

namespace qv {

namespace {

constexpr char kLanguage[] = "language";
constexpr char kComPort[] = "comPort";
constexpr char kPorts[] = "ports";
constexpr char kRadio[] = "radio";

// A whole decimal number filling the text and fitting 16 bits signed, else 0.
int readInt16(const std::string& text) {
    int n = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, n);
    const bool whole = error == std::errc() && stop == end;
    const bool fits = n >= std::numeric_limits<std::int16_t>::min() &&
                      n <= std::numeric_limits<std::int16_t>::max();
    return whole && fits ? n : 0;
}

}  // namespace

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

std::string SettingsFile::read(const char* section, const char* key) const {
    return minIni(path_).gets(section, key);
}

int SettingsFile::readComPort() const {
    return readInt16(read(kLanguage, kComPort));
}

void SettingsFile::writeComPort(int n) const {
    minIni(path_).put(kLanguage, kComPort, std::to_string(n));
}

std::vector<PresentPort> SettingsFile::configuredPorts() const {
    const minIni ini(path_);
    std::vector<PresentPort> ports;
    for (int i = 0;; ++i) {
        const std::string key = ini.getkey(kPorts, i);
        if (key.empty()) {
            break;
        }
        const std::string device = ini.gets(kPorts, key);
        if (key.starts_with("COM") && portNumberOf(key) > 0 && !device.empty()) {
            ports.push_back({portEntryText(portNumberOf(key)), device});
        }
    }
    return ports;
}

std::string SettingsFile::accessCode() const {
    return read(kRadio, "accessCode");
}

std::string SettingsFile::model() const {
    return read(kRadio, "model");
}

}  // namespace qv
