// The simulated radio: answers the tool's frames on a pseudo-terminal.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "PseudoTerminal.h"
#include "SimOptions.h"
#include "SimulatedRadio.h"

namespace {

using namespace qv::sim;

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

std::string Hex(const Bytes& bytes) {
    std::string text;
    char digits[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, "%02X ", b);
        text += digits;
    }
    return text.empty() ? text : text.substr(0, text.size() - 1);
}

SimulatedRadio::Memory LoadImage(const std::string& path) {
    if (path.empty() || !std::filesystem::exists(path)) {
        return BuiltInImage();
    }
    SimulatedRadio::Memory memory{};
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(memory.data()), memory.size());
    if (in.gcount() != static_cast<std::streamsize>(memory.size())) {
        throw std::runtime_error(path + " does not hold 128 bytes");
    }
    return memory;
}

void SaveImage(const std::string& path, const SimulatedRadio::Memory& memory) {
    if (path.empty()) {
        return;
    }
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(memory.data()), memory.size());
    }
    std::filesystem::rename(temporary, path);
}

void Serve(const SimOptions& options, PseudoTerminal& line, SimulatedRadio& radio,
           std::ostream& log) {
    // A frame left unfinished this long is abandoned, as the radio does after a pause.
    constexpr std::chrono::milliseconds kFrameGap{100};
    auto lineFree = PseudoTerminal::Clock::now();
    while (stopRequested == 0 && line.IsOpen()) {
        const auto bytes = line.Read(kFrameGap);
        if (!bytes) {
            radio.ForgetPartialFrame();
            continue;
        }
        const auto arrived = PseudoTerminal::Clock::now();
        for (const Exchange& exchange : radio.Receive(*bytes)) {
            log << "frame " << exchange.number << " <- " << Hex(exchange.frame) << "  ("
                << exchange.note << ")\n";
            // The frame takes its line time to come in; the answer starts after it.
            const auto start = std::max(lineFree, arrived) +
                               PseudoTerminal::kByteTime * static_cast<long>(exchange.frame.size());
            if (exchange.drop) {
                line.HangUp();
                break;
            }
            if (!exchange.answer.empty()) {
                log << "frame " << exchange.number << " -> " << Hex(exchange.answer) << "\n";
            }
            if (options.pace) {
                line.WritePaced(exchange.answer, start);
                lineFree =
                    start + PseudoTerminal::kByteTime * static_cast<long>(exchange.answer.size());
            } else {
                line.Write(exchange.answer);
            }
            if (exchange.frame.size() == 3 && exchange.answer == Bytes{0x06}) {
                SaveImage(options.image, radio.memory());
            }
        }
        log.flush();
    }
}

}  // namespace

int main(int argc, char** argv) {
    const auto parsed = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        std::cerr << *error << "\n" << kUsage;
        return 2;
    }
    const SimOptions& options = std::get<SimOptions>(parsed);
    std::signal(SIGTERM, RequestStop);
    std::signal(SIGINT, RequestStop);
    try {
        SimulatedRadio radio(options.identity, LoadImage(options.image), options.faults);
        PseudoTerminal line;
        if (!options.link.empty()) {
            std::filesystem::remove(options.link);
            std::filesystem::create_symlink(line.DevicePath(), options.link);
        }
        std::cout << line.DevicePath() << std::endl;
        std::ofstream logFile;
        if (!options.log.empty()) {
            logFile.open(options.log, std::ios::app);
        }
        Serve(options, line, radio, options.log.empty() ? std::cerr : logFile);
        SaveImage(options.image, radio.memory());
        if (!options.link.empty()) {
            std::filesystem::remove(options.link);
        }
    } catch (const std::exception& e) {
        std::cerr << "qv4120-radiosim: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
