#pragma once

#include <string>
#include <vector>

namespace qv {

// The program's arguments in UTF-8, its own name first. Needs the QCoreApplication.
std::vector<std::string> utf8Arguments(int argc, char** argv);

}  // namespace qv
