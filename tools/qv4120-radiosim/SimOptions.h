#pragma once

#include <string>
#include <vector>

#include "SimulatedRadio.h"
#include "platform/Result.h"

namespace qv::sim {

struct SimOptions {
    std::string link;   // a symbolic link to the device, made and removed by the radio
    std::string image;  // the memory's file, read at start and written back on exit
    std::string log;    // the log of frames and answers; standard error when empty
    bool pace = true;
    bool help = false;     // --help: say how to use it, and serve nothing
    bool version = false;  // --version: say the program's version, and serve nothing
    SimulatedRadio::Identity identity;
    std::vector<Fault> faults;
    Quirks quirks;
};

inline constexpr const char* kUsage = "Usage: qv4120-radiosim [OPTION]...\n";

inline constexpr const char* kHelp =
    "Plays a QV-4120 radio on a pseudo-terminal: prints the device path on its first line, then\n"
    "answers the access code, the identification, read requests, write blocks and END at the\n"
    "pace of a 9600 bit/s line, until it is stopped (SIGINT or SIGTERM).\n"
    "\n"
    "Options:\n"
    "  --link PATH            also reach the device as PATH, which must be free (a symbolic\n"
    "                         link, removed on exit)\n"
    "  --image FILE           the 128-byte memory: read at start when FILE exists (else a\n"
    "                         built-in image), written back after every END and on exit\n"
    "  --no-pace              answer at once instead of at the line's byte time\n"
    "  --access-code CODE     the ten characters the radio expects (default PROGRAMQV4)\n"
    "  --model TEXT           the model the identification names (default QV-4120)\n"
    "  --radio-version NNNN   the version the identification names (default 0102)\n"
    "  --fault KIND@N[-M]     misbehave on received frames N..M (counted from 1); KIND is\n"
    "                         silence, refuse, other-address, garble, drop, corrupt (a data\n"
    "                         byte changed), delay (held back until the next frame) or\n"
    "                         partial (half the answer), noise (a data byte changed at\n"
    "                         random) or forget (a write block acknowledged, not stored);\n"
    "                         repeatable\n"
    "  --noise RATE           change one data byte of a block answer at random, in RATE of\n"
    "                         them (0 to 1), its checksum left as it was\n"
    "  --seed N               start the noise from N (default 1), to play it again\n"
    "  --answer-checksum none|wrong\n"
    "                         block answers without a checksum (0 at its place) or with a\n"
    "                         wrong one\n"
    "  --forget               acknowledge write blocks without storing them\n"
    "  --log FILE             the frames received and the answers sent (default: standard\n"
    "                         error)\n"
    "  --help                 show this help and exit\n"
    "  --version              show the program's version and exit\n";

// The options, or a message saying what is wrong with them.
Result<SimOptions> parseOptions(const std::vector<std::string>& arguments);

}  // namespace qv::sim
