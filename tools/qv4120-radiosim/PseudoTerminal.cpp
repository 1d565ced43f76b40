#include "PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace qv::sim {

namespace {

[[noreturn]] void fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        fail("cannot create a pseudo-terminal");
    }
    devicePath_ = ptsname(master_);
    slave_ = open(devicePath_.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        fail("cannot open " + devicePath_);
    }
    termios settings{};
    tcgetattr(slave_, &settings);
    cfmakeraw(&settings);
    cfsetspeed(&settings, B9600);
    tcsetattr(slave_, TCSANOW, &settings);
}

PseudoTerminal::~PseudoTerminal() {
    hangUp();
}

std::optional<std::vector<std::uint8_t>> PseudoTerminal::read(std::chrono::milliseconds timeout) {
    pollfd fd{.fd = master_, .events = POLLIN, .revents = 0};
    if (poll(&fd, 1, static_cast<int>(timeout.count())) <= 0 || (fd.revents & POLLIN) == 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(256);
    const ssize_t n = ::read(master_, bytes.data(), bytes.size());
    if (n <= 0) {
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(n));
    return bytes;
}

void PseudoTerminal::write(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR) {
            return;
        }
        done += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
}

void PseudoTerminal::writePaced(const std::vector<std::uint8_t>& bytes, Clock::time_point start) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::this_thread::sleep_until(start + kByteTime * static_cast<long>(i + 1));
        write({bytes[i]});
    }
}

void PseudoTerminal::hangUp() {
    for (int* fd : {&slave_, &master_}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
}

}  // namespace qv::sim
