#pragma once

#include <string>
#include <vector>

namespace qv::test {

// What the fakes were asked to do and what a transfer reported, in order.
using Journal = std::vector<std::string>;

}  // namespace qv::test
