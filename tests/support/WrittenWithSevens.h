#pragma once

#include <array>
#include <cstdint>

#include "record/Conversions.h"
#include "record/FieldCatalogue.h"
#include "tests/support/LinkFakes.h"

namespace qv::test {

// The radio's memory after a write of field texts that are all 7 with no read before it:
// every member the tool sends from the texts, every other byte the radio's own.
inline std::array<std::uint8_t, 128> writtenWithSevens(std::array<std::uint8_t, 128> image) {
    FakeFieldTexts sevens;
    sevens.texts.fill("7");
    FieldRecord fields;
    CalibrationRecord gathered;
    textsToImage(sevens, fields, gathered);
    for (const FieldInfo& f : catalogue()) {
        for (std::size_t i = 0; f.sent && i < f.size; ++i) {
            image[f.offset + i] = gathered.byte(f.offset + i);
        }
    }
    return image;
}

}  // namespace qv::test
