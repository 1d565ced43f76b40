#pragma once

#include <sstream>
#include <string>

#include "link/Frames.h"

namespace qv::test {

// Bytes written as the simulated radio logs them: "57 60 00 10 ...".
inline Frame hex(const std::string& text) {
    std::istringstream in(text);
    Frame frame;
    for (unsigned byte = 0; in >> std::hex >> byte;) {
        frame.push_back(static_cast<std::uint8_t>(byte));
    }
    return frame;
}

}  // namespace qv::test
