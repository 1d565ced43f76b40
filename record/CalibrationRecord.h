#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qv {

// Byte image of the radio's calibration memory: offset k is radio address 0x6000 + k.
// Offsets 128..131 are room for an answer block that starts at the highest accepted address.
class CalibrationRecord {
public:
    static constexpr std::size_t kSize = 132;
    // The radio's calibration memory itself, 0x6000..0x607F.
    static constexpr std::size_t kMemorySize = 128;
    static constexpr std::uint16_t kBaseAddress = 0x6000;

    // An offset outside 0..131 is a program error: std::out_of_range, never a wrap.
    std::uint8_t byte(std::size_t offset) const { return bytes_.at(offset); }
    void setByte(std::size_t offset, std::uint8_t value) { bytes_.at(offset) = value; }

private:
    std::array<std::uint8_t, kSize> bytes_{};
};

}  // namespace qv
