#include "link/Frames.h"

#include <algorithm>
#include <cassert>
#include <numeric>

namespace qv {

namespace {

constexpr std::uint8_t kIdentify = 0x02;
constexpr std::uint8_t kReadCommand = 0x52;
constexpr std::uint8_t kWriteCommand = 0x57;
constexpr std::uint8_t kIdentificationMark = 0x49;
constexpr std::size_t kIdentificationLength = 16;
constexpr std::size_t kModelOffset = 1;
constexpr std::size_t kModelLength = 7;
constexpr std::size_t kVersionOffset = 9;
constexpr std::size_t kDataOffset = 4;
constexpr std::size_t kChecksumOffset = kDataOffset + kBlockSize;

// Blocks start on a block boundary inside the memory.
Frame addressedFrame(std::uint8_t command, std::uint16_t address) {
    assert(address >= CalibrationRecord::kBaseAddress &&
           address + kBlockSize <=
               CalibrationRecord::kBaseAddress + CalibrationRecord::kMemorySize &&
           (address - CalibrationRecord::kBaseAddress) % kBlockSize == 0);
    return {command, static_cast<std::uint8_t>(address / 256),
            static_cast<std::uint8_t>(address % 256), static_cast<std::uint8_t>(kBlockSize)};
}

}  // namespace

Frame accessCodeFrame(std::string_view accessCode) {
    return Frame(accessCode.begin(), accessCode.end());
}

Frame identifyRequestFrame() {
    return {kIdentify};
}

Frame readRequestFrame(std::uint16_t address) {
    return addressedFrame(kReadCommand, address);
}

Frame writeBlockFrame(std::uint16_t address, const CalibrationRecord& record) {
    Frame frame = addressedFrame(kWriteCommand, address);
    const std::size_t first = address - CalibrationRecord::kBaseAddress;
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        frame.push_back(record.byte(first + i));
    }
    frame.push_back(0);  // checksum
    frame.push_back(0);
    frameChecksum(frame, 1, 1);
    frame.back() = kAck;
    assert(frame.size() == kChecksumOffset + 2);
    return frame;
}

Frame endFrame() {
    return {'E', 'N', 'D'};
}

void frameChecksum(Frame& frame, std::size_t first, std::size_t trailerBytes) {
    assert(first + 1 + trailerBytes <= frame.size());
    const std::size_t position = frame.size() - 1 - trailerBytes;
    const unsigned sum = std::accumulate(frame.begin() + static_cast<std::ptrdiff_t>(first),
                                         frame.begin() + static_cast<std::ptrdiff_t>(position), 0U);
    frame[position] = static_cast<std::uint8_t>(sum & 0xFF);
}

bool isAccessAck(const Frame& block) {
    return block.size() >= 3 && block[0] == 'K' && block[1] == 'V' && block[2] == kAck;
}

bool isIdentification(const Frame& block) {
    return block.size() == kIdentificationLength && block[0] == kIdentificationMark;
}

bool isAck(const Frame& block) {
    return block == Frame{kAck};
}

bool isRefusal(const Frame& block) {
    return block == Frame{kRefusal};
}

bool isBlockAnswer(const Frame& block) {
    return block.size() >= kBlockAnswerThreshold && block[0] == kWriteCommand;
}

bool hasRightChecksum(const Frame& blockAnswer) {
    if (!isBlockAnswer(blockAnswer)) {
        return false;
    }
    const auto checksum = blockAnswer.begin() + kChecksumOffset;
    return *checksum ==
           static_cast<std::uint8_t>(std::accumulate(blockAnswer.begin() + 1, checksum, 0U) & 0xFF);
}

std::uint16_t blockAnswerAddress(const Frame& block) {
    return static_cast<std::uint16_t>(block.at(1) * 256 + block.at(2));
}

std::uint8_t blockAnswerByte(const Frame& block, std::size_t index) {
    assert(index < kBlockSize);
    return block.at(kDataOffset + index);
}

Identification readIdentification(const Frame& block) {
    if (!isIdentification(block)) {
        return {};
    }
    const auto modelBegin = block.begin() + kModelOffset;
    const auto modelEnd = std::find(modelBegin, modelBegin + kModelLength, 0);
    const auto version = block.begin() + kVersionOffset;
    return {
        .model = std::string(modelBegin, modelEnd),
        .version = std::string(version, version + 2) + "." + std::string(version + 2, version + 4)};
}

}  // namespace qv
