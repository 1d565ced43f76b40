#pragma once

#include "tests/support/Hex.h"

namespace qv::test {

// A radio's memory, all 0xEE before, once a write of field texts all "7" with no read before
// it has gone in: every member a field holds is 7, every other byte the radio's own.
inline const Frame kSevensOverEe =
    hex("07 00 07 00 07 00 07 00 07 00 07 07 07 07 EE EE "
        "07 07 07 07 07 07 07 EE EE 07 07 00 07 00 07 00 "
        "07 00 07 07 EE EE EE EE EE EE EE EE EE EE EE EE "
        "EE EE EE EE EE EE EE EE EE EE EE EE 07 00 07 00 "
        "07 00 07 00 07 00 07 00 07 00 07 07 07 00 07 00 "
        "07 00 07 00 07 00 07 00 07 00 07 00 07 00 07 00 "
        "07 00 07 00 07 00 07 00 07 00 07 00 EE EE EE EE "
        "EE EE 07 00 07 00 EE EE EE EE EE EE EE EE EE EE");

}  // namespace qv::test
