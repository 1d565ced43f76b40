#include "SimulatedRadio.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace qv::sim {

namespace {

constexpr std::uint8_t kAck = 0x06;
constexpr std::uint8_t kRefusal = 0x0A;
constexpr std::size_t kBlockSize = 16;
constexpr std::size_t kReadRequestLength = 4;
constexpr std::size_t kWriteBlockLength = 22;
constexpr std::size_t kEndLength = 3;
constexpr std::size_t kBlockAnswerLength = 21;

std::uint8_t checksum(Bytes::const_iterator first, Bytes::const_iterator last) {
    return static_cast<std::uint8_t>(std::accumulate(first, last, 0U) & 0xFF);
}

void put16(SimulatedRadio::Memory& memory, std::size_t offset, std::uint16_t value) {
    memory[offset] = static_cast<std::uint8_t>(value & 0xFF);
    memory[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

SimulatedRadio::SimulatedRadio(Identity identity, const Memory& memory, std::vector<Fault> faults,
                               Quirks quirks)
    : identity_(std::move(identity)),
      memory_(memory),
      faults_(std::move(faults)),
      quirks_(quirks),
      noise_(quirks.seed) {}

std::vector<Exchange> SimulatedRadio::receive(const Bytes& bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<Exchange> exchanges;
    for (int length = frameLength(); length != 0; length = frameLength()) {
        if (length < 0) {
            pending_.erase(pending_.begin());
            continue;
        }
        Bytes frame(pending_.begin(), pending_.begin() + length);
        pending_.erase(pending_.begin(), pending_.begin() + length);
        exchanges.push_back(answer(std::move(frame)));
    }
    return exchanges;
}

int SimulatedRadio::frameLength() const {
    if (pending_.empty()) {
        return 0;
    }
    const std::string& code = identity_.accessCode;
    const std::size_t common = std::min(pending_.size(), code.size());
    if (std::equal(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(common),
                   code.begin())) {
        return pending_.size() >= code.size() ? static_cast<int>(code.size()) : 0;
    }
    const auto whole = [&](std::size_t length) {
        return pending_.size() >= length ? static_cast<int>(length) : 0;
    };
    switch (pending_[0]) {
        case 0x02:
            return 1;
        case 'R':
            return whole(kReadRequestLength);
        case 'W':
            return whole(kWriteBlockLength);
        case 'E':
            return whole(kEndLength);
        default:
            return -1;
    }
}

Exchange SimulatedRadio::answer(Bytes frame) {
    Exchange exchange;
    exchange.number = ++frameCount_;
    exchange.frame = std::move(frame);
    exchange.answer = answerFrame(exchange.frame, exchange.note);
    const Bytes late = std::exchange(late_, {});
    if (std::bernoulli_distribution(quirks_.noiseRate)(noise_)) {
        addNoise(exchange);
    }
    applyFault(exchange);
    exchange.answer.insert(exchange.answer.begin(), late.begin(), late.end());
    return exchange;
}

Bytes SimulatedRadio::answerFrame(const Bytes& frame, std::string& note) {
    if (frame == Bytes(identity_.accessCode.begin(), identity_.accessCode.end())) {
        unlocked_ = true;
        note = "access code";
        return {'K', 'V', kAck};
    }
    if (!unlocked_) {
        note = "ignored: no access code yet";
        return {};
    }
    switch (frame[0]) {
        case 0x02:
            note = "identify";
            return identificationAnswer();
        case 'R':
            note = "read";
            return blockAnswer(static_cast<std::uint16_t>(frame[1] * 256 + frame[2]));
        case 'W':
            return storeBlock(frame, note);
        default:
            if (frame == Bytes{'E', 'N', 'D'}) {
                note = "end";
                return {kAck};
            }
            note = "ignored: not a frame";
            return {};
    }
}

Bytes SimulatedRadio::blockAnswer(std::uint16_t address) const {
    Bytes answer{'W', static_cast<std::uint8_t>(address >> 8),
                 static_cast<std::uint8_t>(address & 0xFF), static_cast<std::uint8_t>(kBlockSize)};
    for (std::size_t i = 0; i < kBlockSize; ++i) {
        const std::size_t offset = static_cast<std::size_t>(address - kBase) + i;
        answer.push_back(address >= kBase && offset < kMemorySize ? memory_[offset] : 0);
    }
    const std::uint8_t sum = checksum(answer.begin() + 1, answer.end());
    switch (quirks_.answerChecksum) {
        case AnswerChecksum::Right:
            answer.push_back(sum);
            break;
        case AnswerChecksum::None:
            answer.push_back(0);
            break;
        case AnswerChecksum::Wrong:
            answer.push_back(static_cast<std::uint8_t>(~sum));
            break;
    }
    return answer;
}

Bytes SimulatedRadio::identificationAnswer() const {
    Bytes answer(16, 0);
    answer[0] = 'I';
    std::copy_n(identity_.model.begin(), std::min<std::size_t>(identity_.model.size(), 7),
                answer.begin() + 1);
    std::copy_n(identity_.version.begin(), std::min<std::size_t>(identity_.version.size(), 4),
                answer.begin() + 9);
    return answer;
}

// Applied before the faults of the frame, so that a forgetful frame is known by its number.
Bytes SimulatedRadio::storeBlock(const Bytes& frame, std::string& note) {
    const std::uint16_t address = static_cast<std::uint16_t>(frame[1] * 256 + frame[2]);
    const bool inRange = address >= kBase && address - kBase + kBlockSize <= kMemorySize;
    if (!inRange || frame[3] != kBlockSize ||
        frame[20] != checksum(frame.begin() + 1, frame.begin() + 20) || frame[21] != kAck) {
        note = "write refused: bad address, length, checksum or trailer";
        return {kRefusal};
    }
    if (quirks_.forget || faulty(frameCount_, Fault::Kind::Forget)) {
        note = "write acknowledged, not stored";
        return {kAck};
    }
    std::copy(frame.begin() + 4, frame.begin() + 20, memory_.begin() + (address - kBase));
    note = "write stored";
    return {kAck};
}

void SimulatedRadio::applyFault(Exchange& exchange) {
    for (const Fault& fault : faults_) {
        if (exchange.number < fault.first || exchange.number > fault.last) {
            continue;
        }
        switch (fault.kind) {
            case Fault::Kind::Silence:
                exchange.answer.clear();
                exchange.note += "; fault: silence";
                break;
            case Fault::Kind::Refusal:
                exchange.answer = {kRefusal};
                exchange.note += "; fault: refusal";
                break;
            case Fault::Kind::OtherAddress:
                if (exchange.answer.size() > 2) {
                    exchange.answer[2] = static_cast<std::uint8_t>(exchange.answer[2] ^ 0x10);
                }
                exchange.note += "; fault: other address";
                break;
            case Fault::Kind::Garble:
                if (!exchange.answer.empty()) {
                    exchange.answer[0] = static_cast<std::uint8_t>(exchange.answer[0] ^ 0xFF);
                }
                exchange.note += "; fault: garbled";
                break;
            case Fault::Kind::Drop:
                exchange.answer.clear();
                exchange.drop = true;
                exchange.note += "; fault: line dropped";
                break;
            case Fault::Kind::Corrupt:
                // The last data byte of a block answer, by the frame's number so never twice
                // alike; its checksum is left as it was.
                if (exchange.answer.size() == kBlockAnswerLength && exchange.answer[0] == 'W') {
                    std::uint8_t& last = exchange.answer[kBlockAnswerLength - 2];
                    last = static_cast<std::uint8_t>(last ^ (exchange.number % 255 + 1));
                }
                exchange.note += "; fault: data byte changed";
                break;
            case Fault::Kind::Delay:
                late_ = std::exchange(exchange.answer, {});
                exchange.note += "; fault: answer delayed";
                break;
            case Fault::Kind::Partial:
                exchange.answer.resize(exchange.answer.size() / 2);
                exchange.note += "; fault: half the answer";
                break;
            case Fault::Kind::Noise:
                addNoise(exchange);
                break;
            case Fault::Kind::Forget:
                break;
        }
    }
}

bool SimulatedRadio::faulty(int number, Fault::Kind kind) const {
    return std::ranges::any_of(faults_, [&](const Fault& fault) {
        return fault.kind == kind && number >= fault.first && number <= fault.last;
    });
}

// A data byte of a block answer changed on the line; its checksum is left as it was.
void SimulatedRadio::addNoise(Exchange& exchange) {
    if (exchange.answer.size() != kBlockAnswerLength || exchange.answer[0] != 'W') {
        return;
    }
    const auto offset = std::uniform_int_distribution<std::size_t>(4, 3 + kBlockSize)(noise_);
    const auto change = std::uniform_int_distribution<unsigned>(1, 0xFF)(noise_);
    exchange.answer[offset] = static_cast<std::uint8_t>(exchange.answer[offset] ^ change);
    exchange.note += "; noise: data byte " + std::to_string(offset - 4) + " changed";
}

SimulatedRadio::Memory builtInImage() {
    SimulatedRadio::Memory m{};
    const std::array<std::uint16_t, 5> head{1250, 1310, 512, 498, 640};
    for (std::size_t i = 0; i < head.size(); ++i) {
        put16(m, 2 * i, head[i]);
    }
    const std::array<std::uint8_t, 16> bytes10{40, 180, 35, 150, 20, 200, 60, 190,
                                               45, 170, 30, 32,  34, 7,   9,  3};
    std::copy(bytes10.begin(), bytes10.end(), m.begin() + 10);
    const std::array<std::uint16_t, 4> levels{420, 380, 260, 300};
    for (std::size_t i = 0; i < levels.size(); ++i) {
        put16(m, 26 + 2 * i, levels[i]);
    }
    m[34] = 128;
    m[35] = 2;
    for (std::size_t i = 0; i < 12; ++i) {
        m[36 + i] = static_cast<std::uint8_t>(10 + i);
        m[48 + i] = static_cast<std::uint8_t>(60 + i);
    }
    const std::array<std::uint16_t, 7> settings{720, 610, 590, 1000, 1100, 1200, 1300};
    for (std::size_t i = 0; i < settings.size(); ++i) {
        put16(m, 60 + 2 * i, settings[i]);
    }
    m[74] = 128;
    m[75] = 127;
    for (std::size_t i = 0; i < 8; ++i) {
        put16(m, 76 + 2 * i, static_cast<std::uint16_t>(100 + 50 * i));
        put16(m, 92 + 2 * i, static_cast<std::uint16_t>(90 + 45 * i));
    }
    const std::array<std::uint8_t, 6> reserved{0xA5, 0x5A, 0x3C, 0xC3, 0x0F, 0xF0};
    std::copy(reserved.begin(), reserved.end(), m.begin() + 108);
    put16(m, 114, 410);
    put16(m, 116, 370);
    for (std::size_t i = 118; i < SimulatedRadio::kMemorySize; ++i) {
        m[i] = static_cast<std::uint8_t>(i - 101);
    }
    return m;
}

}  // namespace qv::sim
