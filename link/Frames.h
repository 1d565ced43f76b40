#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "record/CalibrationRecord.h"

namespace qv {

using Frame = std::vector<std::uint8_t>;

// Receive thresholds: the length of the answer each frame expects.
inline constexpr int kAccessAckThreshold = 3;
inline constexpr int kIdentificationThreshold = 16;
inline constexpr int kBlockAnswerThreshold = 21;
inline constexpr int kSingleByteThreshold = 1;

inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kRefusal = 0x0A;
inline constexpr std::size_t kBlockSize = 16;

// The access code goes out byte for byte, with nothing around it.
Frame accessCodeFrame(std::string_view accessCode);
Frame identifyRequestFrame();
Frame readRequestFrame(std::uint16_t address);
// The 16 record bytes at address - 0x6000, with the checksum and the trailing 0x06.
Frame writeBlockFrame(std::uint16_t address, const CalibrationRecord& record);
Frame endFrame();

// Stores the low byte of the sum of frame[first .. checksum position - 1] at the checksum
// position, which is the last offset minus `trailerBytes`.
void frameChecksum(Frame& frame, std::size_t first, std::size_t trailerBytes);

// Tried in this order on every received block; the first that accepts it decides.
bool isAccessAck(const Frame& block);
bool isIdentification(const Frame& block);
bool isAck(const Frame& block);
bool isRefusal(const Frame& block);
bool isBlockAnswer(const Frame& block);

// A block answer whose offset 20 holds the checksum of offsets 1..19, as a write block does.
bool hasRightChecksum(const Frame& blockAnswer);
// Of a block answer: the address it carries and its 16 data bytes.
std::uint16_t blockAnswerAddress(const Frame& block);
std::uint8_t blockAnswerByte(const Frame& block, std::size_t index);

// What an identification says about the radio.
struct Identification {
    std::string model;    // ends at the first NUL
    std::string version;  // "12.34"
};
// Empty for a block that is not an identification.
Identification readIdentification(const Frame& block);

}  // namespace qv
