#include "platform/Arguments.h"

namespace qv::platform {

// The bytes as given: every name the tool takes is UTF-8 here.
std::vector<std::string> utf8Arguments(int argc, char** argv) {
    return {argv, argv + argc};
}

}  // namespace qv::platform
