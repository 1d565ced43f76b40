#pragma once

#include <vector>

#include "tests/support/Hex.h"

namespace qv::test {

// The write blocks of field texts all "7" to a radio whose memory is all 0xEE, with no read
// before: every member a field holds is 7, every other byte the radio's own.
inline const std::vector<Frame> kSevensOverEe{
    hex("57 60 00 10 07 00 07 00 07 00 07 00 07 00 07 07 07 07 EE EE 8B 06"),
    hex("57 60 10 10 07 07 07 07 07 07 07 EE EE 07 07 00 07 00 07 00 A9 06"),
    hex("57 60 20 10 07 00 07 07 EE EE EE EE EE EE EE EE EE EE EE EE CD 06"),
    hex("57 60 30 10 EE EE EE EE EE EE EE EE EE EE EE EE 07 00 07 00 D6 06"),
    hex("57 60 40 10 07 00 07 00 07 00 07 00 07 00 07 07 07 00 07 00 EF 06"),
    hex("57 60 50 10 07 00 07 00 07 00 07 00 07 00 07 00 07 00 07 00 F8 06"),
    hex("57 60 60 10 07 00 07 00 07 00 07 00 07 00 07 00 EE EE EE EE B2 06"),
    hex("57 60 70 10 EE EE 07 00 07 00 EE EE EE EE EE EE EE EE EE EE 16 06"),
};

}  // namespace qv::test
