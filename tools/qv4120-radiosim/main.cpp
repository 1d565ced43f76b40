// The simulated radio: answers the tool's frames on a pseudo-terminal.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "MemoryImage.h"
#include "PseudoTerminal.h"
#include "SimOptions.h"
#include "SimulatedRadio.h"

namespace {

using namespace qv::sim;

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

std::string hex(const Bytes& bytes) {
    std::string text;
    char digits[4];
    for (std::uint8_t b : bytes) {
        std::snprintf(digits, sizeof digits, "%02X ", b);
        text += digits;
    }
    return text.empty() ? text : text.substr(0, text.size() - 1);
}

// A failed save is said at once; the memory stays, and the save at the end tries again.
void saveNow(const std::string& path, const SimulatedRadio::Memory& memory) {
    try {
        saveImage(path, memory);
    } catch (const std::exception& e) {
        std::cerr << "qv4120-radiosim: " << e.what() << "\n";
    }
}

void serve(const SimOptions& options, PseudoTerminal& line, SimulatedRadio& radio,
           std::ostream& log) {
    // A frame left unfinished this long is abandoned, as the radio does after a pause.
    constexpr std::chrono::milliseconds kFrameGap{100};
    auto lineFree = PseudoTerminal::Clock::now();
    while (stopRequested == 0 && line.isOpen()) {
        const auto bytes = line.read(kFrameGap);
        if (!bytes) {
            radio.forgetPartialFrame();
            continue;
        }
        const auto arrived = PseudoTerminal::Clock::now();
        for (const Exchange& exchange : radio.receive(*bytes)) {
            log << "frame " << exchange.number << " <- " << hex(exchange.frame) << "  ("
                << exchange.note << ")\n";
            // The frame takes its line time to come in; the answer starts after it.
            const auto start = std::max(lineFree, arrived) +
                               PseudoTerminal::kByteTime * static_cast<long>(exchange.frame.size());
            if (exchange.drop) {
                line.hangUp();
                break;
            }
            if (!exchange.answer.empty()) {
                log << "frame " << exchange.number << " -> " << hex(exchange.answer) << "\n";
            }
            if (options.pace) {
                line.writePaced(exchange.answer, start);
                lineFree =
                    start + PseudoTerminal::kByteTime * static_cast<long>(exchange.answer.size());
            } else {
                line.write(exchange.answer);
            }
            if (exchange.frame.size() == 3 && exchange.answer == Bytes{0x06}) {
                saveNow(options.image, radio.memory());
            }
        }
        log.flush();
    }
}

int run(const std::vector<std::string>& arguments) {
    const auto parsed = parseOptions(arguments);
    if (!parsed) {
        std::cerr << parsed.error().reason << "\n"
                  << kUsage << "qv4120-radiosim --help lists the options.\n";
        return 2;
    }
    const SimOptions& options = *parsed;
    if (options.help || options.version) {
        std::cout << (options.help ? std::string(kUsage) + "\n" + kHelp
                                   : std::string("qv4120-radiosim " QV_VERSION "\n"));
        return 0;
    }
    std::signal(SIGTERM, requestStop);
    std::signal(SIGINT, requestStop);
    SimulatedRadio radio(options.identity, loadImage(options.image), options.faults,
                         options.quirks);
    PseudoTerminal line;
    if (!options.link.empty()) {
        // Whatever is there may be another's: a link planted to take the tool's line, a file.
        if (std::error_code error;
            std::filesystem::exists(std::filesystem::symlink_status(options.link, error))) {
            std::cerr << "qv4120-radiosim: --link " << options.link
                      << ": something is there already; give a path that is free.\n";
            return 1;
        }
        std::filesystem::create_symlink(line.devicePath(), options.link);
    }
    std::cout << line.devicePath() << std::endl;
    std::ofstream logFile;
    if (!options.log.empty()) {
        logFile.open(options.log, std::ios::app);
    }
    serve(options, line, radio, options.log.empty() ? std::cerr : logFile);
    // Only the link made here: another may have taken the path since.
    if (std::error_code error;
        !options.link.empty() && std::filesystem::is_symlink(options.link, error) &&
        std::filesystem::read_symlink(options.link, error) == line.devicePath()) {
        std::filesystem::remove(options.link, error);
    }
    saveImage(options.image, radio.memory());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& e) {
        std::cerr << "qv4120-radiosim: " << e.what() << "\n";
    }
    return 1;
}
