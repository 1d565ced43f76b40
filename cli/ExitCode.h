#pragma once

#include "platform/Failure.h"

namespace qv::cli {

// What a run of qv4120-cal ended with; scripts tell the failures apart by these.
enum class ExitCode {
    Done = 0,
    Differences = 1,      // verify or diff found values that differ
    Usage = 2,            // the command line is wrong, or a write was not confirmed
    PortUnavailable = 3,  // the port cannot be opened
    Communication = 4,    // the radio did not answer, or the port was lost
    WrongModel = 5,
    FileError = 6,     // a file cannot be read or written
    InvalidField = 7,  // a field holds a value that cannot be written
    NotKept = 8,       // the radio read back after a write does not hold what was written
};

// The one place a failure becomes an exit code.
ExitCode exitCodeOf(Failure::Kind kind);

inline constexpr char kExitCodeHelp[] =
    "Exit codes:\n"
    "  0  done (verify, diff: no differences)\n"
    "  1  verify or diff found differences\n"
    "  2  usage error, or a write not confirmed\n"
    "  3  the port cannot be opened\n"
    "  4  communication failure: the radio did not answer, or the port was lost\n"
    "  5  the radio is of another model\n"
    "  6  a file cannot be read or written\n"
    "  7  a field holds no value that can be written\n"
    "  8  the radio did not keep what was written";

}  // namespace qv::cli
