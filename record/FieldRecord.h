#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace qv {

// The calibration values as typed members, laid out like the first 118 bytes of the
// calibration record; also the whole content of a data file.
struct FieldRecord {
    static constexpr std::size_t kSize = 118;
    using Bytes = std::array<std::uint8_t, kSize>;

    std::uint16_t VfFreq = 0;
    std::uint16_t BfFreq = 0;
    std::uint16_t UsbFilterBias = 0;
    std::uint16_t LsbFilterBias = 0;
    std::uint16_t FmDeviation = 0;
    std::uint8_t FmLowPower = 0;
    std::uint8_t FmHighPower = 0;
    std::uint8_t AmLowPower = 0;
    std::uint8_t AmHighPower = 0;
    std::uint8_t SsibLo = 0;
    std::uint8_t SsibHi = 0;
    std::uint8_t AmModLowPower = 0;
    std::uint8_t AmModHighPower = 0;
    std::uint8_t SsbPepLowPower = 0;
    std::uint8_t SsbPepHighPower = 0;
    std::uint8_t TxBiasIq1 = 0;
    std::uint8_t TxBiasIq2 = 0;
    std::uint8_t TxBiasIq3 = 0;
    std::uint8_t RxBpf = 0;
    std::uint8_t TxBpf = 0;
    std::uint8_t AsqCloseLevel = 0;
    std::uint16_t FmAsqH = 0;
    std::uint16_t FmAsqL = 0;
    std::uint16_t FmCtcssLevel = 0;
    std::uint16_t FmDcsLevel = 0;
    std::uint8_t RfGain = 0;
    std::uint8_t SquelchCloseLevel = 0;
    std::array<std::uint8_t, 12> TestWorkRxFreq{};
    std::array<std::uint8_t, 12> TestWorkTxFreq{};
    std::uint16_t VoltageSet = 0;
    std::uint16_t FmTxRssi = 0;
    std::uint16_t AmTxRssi = 0;
    std::uint16_t FmToneSet = 0;
    std::uint16_t AmToneSet = 0;
    std::uint16_t LsbToneSet = 0;
    std::uint16_t UsbToneSet = 0;
    std::uint8_t UsbWaveBalance = 0;
    std::uint8_t LsbWaveBalance = 0;
    std::array<std::uint16_t, 8> AfSq{};
    std::array<std::uint16_t, 8> UlSq{};
    std::array<std::uint8_t, 6> Reserved{};
    std::uint16_t AmAsqH = 0;
    std::uint16_t AmAsqL = 0;

    // The record in its stored form: members at their offsets, 16-bit values little-endian.
    Bytes toBytes() const;
    static FieldRecord fromBytes(const Bytes& bytes);

    // The unsigned member of `size` bytes (1 or 2) at `offset`. A member outside the record,
    // or a value too large for an 8-bit member, is a program error (std::out_of_range).
    std::uint16_t member(std::size_t offset, std::size_t size) const;
    void setMember(std::size_t offset, std::size_t size, std::uint16_t value);

    friend bool operator==(const FieldRecord&, const FieldRecord&) = default;
};

// The raw-byte view copies the object representation, which is the stored form only on
// a little-endian machine with no padding; both are checked here rather than assumed.
static_assert(std::endian::native == std::endian::little);
static_assert(sizeof(FieldRecord) == FieldRecord::kSize);

}  // namespace qv
