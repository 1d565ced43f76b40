#pragma once

// The program's command line: Arguments_posix.cpp and Arguments_windows.cpp implement it.

#include <string>
#include <vector>

namespace qv::platform {

// The program's arguments in UTF-8, its own name first.
std::vector<std::string> utf8Arguments(int argc, char** argv);

}  // namespace qv::platform
