#pragma once

#include <filesystem>
#include <ostream>

namespace qv::cli {

// Runs qv4120-cal on its arguments: results go to `out`, messages to `err`; the exit code.
// A mysetup.ini in `executableFolder` is the settings file unless another is named. The
// commands that talk to a radio need a QCoreApplication.
int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err,
                   const std::filesystem::path& executableFolder);

}  // namespace qv::cli
