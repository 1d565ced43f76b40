#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace qv::sim {

using Bytes = std::vector<std::uint8_t>;

// A misbehaviour of the radio on frames first..last (counted from 1, every frame received).
struct Fault {
    enum class Kind {
        Silence,
        Refusal,
        OtherAddress,
        Garble,
        Drop,
        Corrupt,
        Delay,
        Partial,
        Noise,   // one data byte of a block answer changed at random, its checksum as it was
        Forget,  // a write block acknowledged and not stored
    };
    Kind kind = Kind::Silence;
    int first = 0;
    int last = 0;
};

// What the radio puts at offset 20 of its block answers.
enum class AnswerChecksum { Right, None, Wrong };

// How the radio misbehaves throughout, beside its faults on given frames.
struct Quirks {
    AnswerChecksum answerChecksum = AnswerChecksum::Right;
    double noiseRate = 0;  // the share of block answers with one data byte changed
    unsigned seed = 1;     // of the noise
    bool forget = false;   // acknowledges write blocks without storing them
};

// One frame from the tool and what the radio does about it.
struct Exchange {
    int number = 0;
    Bytes frame;
    Bytes answer;       // empty: no answer
    bool drop = false;  // the radio hangs up the line instead of answering
    std::string note;   // what the radio made of the frame, for the log
};

// The radio's side of the protocol, with its 128 bytes of calibration memory at 0x6000.
class SimulatedRadio {
public:
    static constexpr std::uint16_t kBase = 0x6000;
    static constexpr std::size_t kMemorySize = 128;
    using Memory = std::array<std::uint8_t, kMemorySize>;

    struct Identity {
        std::string accessCode = "PROGRAMQV4";
        std::string model = "QV-4120";
        std::string version = "0102";
    };

    SimulatedRadio(Identity identity, const Memory& memory, std::vector<Fault> faults,
                   Quirks quirks = {});

    // Bytes from the line; every frame they complete, with the radio's answer.
    std::vector<Exchange> receive(const Bytes& bytes);
    // Bytes of an unfinished frame are forgotten, as after a pause on the line.
    void forgetPartialFrame() { pending_.clear(); }
    bool hasPartialFrame() const { return !pending_.empty(); }

    const Memory& memory() const { return memory_; }

private:
    // Length of the frame at the start of the pending bytes: 0 when more bytes are needed,
    // -1 when the first byte starts no frame.
    int frameLength() const;
    Exchange answer(Bytes frame);
    Bytes answerFrame(const Bytes& frame, std::string& note);
    Bytes blockAnswer(std::uint16_t address) const;
    Bytes identificationAnswer() const;
    Bytes storeBlock(const Bytes& frame, std::string& note);
    void applyFault(Exchange& exchange);
    bool faulty(int number, Fault::Kind kind) const;
    void addNoise(Exchange& exchange);

    Identity identity_;
    Memory memory_;
    std::vector<Fault> faults_;
    Quirks quirks_;
    std::mt19937 noise_;
    Bytes pending_;
    // An answer held back by a delay: it goes out just before the answer to the next frame.
    Bytes late_;
    bool unlocked_ = false;
    int frameCount_ = 0;
};

// A plausible calibration image, every value inside its member's range.
SimulatedRadio::Memory builtInImage();

}  // namespace qv::sim
