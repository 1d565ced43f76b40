#pragma once

#include <string>
#include <variant>
#include <vector>

#include "SimulatedRadio.h"

namespace qv::sim {

struct SimOptions {
    std::string link;   // a symbolic link to the device, made and removed by the radio
    std::string image;  // the memory's file, read at start and written back on exit
    std::string log;    // the log of frames and answers; standard error when empty
    bool pace = true;
    SimulatedRadio::Identity identity;
    std::vector<Fault> faults;
};

inline constexpr const char* kUsage =
    "usage: qv4120-radiosim [--link PATH] [--image FILE] [--no-pace] [--access-code CODE]\n"
    "                       [--model TEXT] [--version NNNN] [--log FILE]\n"
    "                       [--fault KIND@N[-M]]...\n"
    "KIND: silence, refuse, other-address, garble, drop, corrupt, delay, partial;\n"
    "N-M count the frames received.\n";

// The options, or a message saying what is wrong with them.
std::variant<SimOptions, std::string> parseOptions(const std::vector<std::string>& arguments);

}  // namespace qv::sim
