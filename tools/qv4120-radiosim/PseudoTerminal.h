#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv::sim {

// The radio's end of a pseudo-terminal. The tool opens the other end as its serial port, and may
// close and reopen it freely. The radio holds only its own end: a program holding the tool's end
// is one the tool refuses to share a line with.
class PseudoTerminal {
public:
    using Clock = std::chrono::steady_clock;
    // One byte at 9600 bit/s with a start and a stop bit.
    static constexpr std::chrono::nanoseconds kByteTime{10'000'000'000 / 9600};

    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool isOpen() const { return master_ >= 0; }
    const std::string& devicePath() const { return devicePath_; }

    // Waits up to `timeout` for bytes from the tool; nothing on timeout or interruption. While
    // the tool's end is closed it waits for that end to be opened.
    std::optional<std::vector<std::uint8_t>> read(std::chrono::milliseconds timeout);
    // Writes the bytes at once, or paced: byte i leaves when it would have finished on a
    // 9600 bit/s line that starts sending at `start`.
    void write(const std::vector<std::uint8_t>& bytes);
    void writePaced(const std::vector<std::uint8_t>& bytes, Clock::time_point start);
    // Hangs up the line: the tool's end sees the device gone.
    void hangUp();

private:
    // Waits until the tool's end is opened, at most until `deadline`.
    void waitForOpening(Clock::time_point deadline) const;
    // Forgets the openings seen so far.
    void forgetOpenings() const;

    int master_ = -1;
    // Reports each opening of the tool's end.
    int openings_ = -1;
    std::string devicePath_;
};

}  // namespace qv::sim
