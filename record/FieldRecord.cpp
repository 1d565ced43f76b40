#include "FieldRecord.h"

#include <cstring>
#include <stdexcept>
#include <type_traits>

namespace qv {

static_assert(std::is_standard_layout_v<FieldRecord>);
static_assert(std::is_trivially_copyable_v<FieldRecord>);

// Each member at its offset, with no gaps.
static_assert(offsetof(FieldRecord, VfFreq) == 0);
static_assert(offsetof(FieldRecord, BfFreq) == 2);
static_assert(offsetof(FieldRecord, UsbFilterBias) == 4);
static_assert(offsetof(FieldRecord, LsbFilterBias) == 6);
static_assert(offsetof(FieldRecord, FmDeviation) == 8);
static_assert(offsetof(FieldRecord, FmLowPower) == 10);
static_assert(offsetof(FieldRecord, FmHighPower) == 11);
static_assert(offsetof(FieldRecord, AmLowPower) == 12);
static_assert(offsetof(FieldRecord, AmHighPower) == 13);
static_assert(offsetof(FieldRecord, SsibLo) == 14);
static_assert(offsetof(FieldRecord, SsibHi) == 15);
static_assert(offsetof(FieldRecord, AmModLowPower) == 16);
static_assert(offsetof(FieldRecord, AmModHighPower) == 17);
static_assert(offsetof(FieldRecord, SsbPepLowPower) == 18);
static_assert(offsetof(FieldRecord, SsbPepHighPower) == 19);
static_assert(offsetof(FieldRecord, TxBiasIq1) == 20);
static_assert(offsetof(FieldRecord, TxBiasIq2) == 21);
static_assert(offsetof(FieldRecord, TxBiasIq3) == 22);
static_assert(offsetof(FieldRecord, RxBpf) == 23);
static_assert(offsetof(FieldRecord, TxBpf) == 24);
static_assert(offsetof(FieldRecord, AsqCloseLevel) == 25);
static_assert(offsetof(FieldRecord, FmAsqH) == 26);
static_assert(offsetof(FieldRecord, FmAsqL) == 28);
static_assert(offsetof(FieldRecord, FmCtcssLevel) == 30);
static_assert(offsetof(FieldRecord, FmDcsLevel) == 32);
static_assert(offsetof(FieldRecord, RfGain) == 34);
static_assert(offsetof(FieldRecord, SquelchCloseLevel) == 35);
static_assert(offsetof(FieldRecord, TestWorkRxFreq) == 36);
static_assert(offsetof(FieldRecord, TestWorkTxFreq) == 48);
static_assert(offsetof(FieldRecord, VoltageSet) == 60);
static_assert(offsetof(FieldRecord, FmTxRssi) == 62);
static_assert(offsetof(FieldRecord, AmTxRssi) == 64);
static_assert(offsetof(FieldRecord, FmToneSet) == 66);
static_assert(offsetof(FieldRecord, AmToneSet) == 68);
static_assert(offsetof(FieldRecord, LsbToneSet) == 70);
static_assert(offsetof(FieldRecord, UsbToneSet) == 72);
static_assert(offsetof(FieldRecord, UsbWaveBalance) == 74);
static_assert(offsetof(FieldRecord, LsbWaveBalance) == 75);
static_assert(offsetof(FieldRecord, AfSq) == 76);
static_assert(offsetof(FieldRecord, UlSq) == 92);
static_assert(offsetof(FieldRecord, Reserved) == 108);
static_assert(offsetof(FieldRecord, AmAsqH) == 114);
static_assert(offsetof(FieldRecord, AmAsqL) == 116);

FieldRecord::Bytes FieldRecord::toBytes() const {
    Bytes bytes;
    std::memcpy(bytes.data(), this, kSize);
    return bytes;
}

FieldRecord FieldRecord::fromBytes(const Bytes& bytes) {
    FieldRecord record;
    std::memcpy(&record, bytes.data(), kSize);
    return record;
}

namespace {

void checkMember(std::size_t offset, std::size_t size) {
    if ((size != 1 && size != 2) || offset > FieldRecord::kSize - size) {
        throw std::out_of_range("FieldRecord member outside the record");
    }
}

void checkFits(std::size_t size, std::uint16_t value) {
    if (size == 1 && value > 0xFF) {
        throw std::out_of_range("value does not fit an 8-bit member");
    }
}

}  // namespace

std::uint16_t FieldRecord::member(std::size_t offset, std::size_t size) const {
    checkMember(offset, size);
    const auto* raw = reinterpret_cast<const unsigned char*>(this) + offset;
    return size == 1 ? raw[0] : static_cast<std::uint16_t>(raw[0] | raw[1] << 8);
}

void FieldRecord::setMember(std::size_t offset, std::size_t size, std::uint16_t value) {
    checkMember(offset, size);
    checkFits(size, value);
    auto* raw = reinterpret_cast<unsigned char*>(this) + offset;
    raw[0] = static_cast<unsigned char>(value & 0xFF);
    if (size == 2) {
        raw[1] = static_cast<unsigned char>(value >> 8);
    }
}

}  // namespace qv
