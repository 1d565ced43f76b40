#include "PseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
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

int millisecondsUntil(PseudoTerminal::Clock::time_point deadline) {
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(deadline - PseudoTerminal::Clock::now());
    return static_cast<int>(std::max<long long>(left.count(), 0));
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        fail("cannot create a pseudo-terminal");
    }
    devicePath_ = ptsname(master_);
    openings_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (openings_ < 0 || inotify_add_watch(openings_, devicePath_.c_str(), IN_OPEN) < 0) {
        fail("cannot watch " + devicePath_);
    }
    // Raw from the start: the line's settings outlive each opening of the tool's end.
    const int slave = open(devicePath_.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) {
        fail("cannot open " + devicePath_);
    }
    termios settings{};
    tcgetattr(slave, &settings);
    cfmakeraw(&settings);
    cfsetspeed(&settings, B9600);
    tcsetattr(slave, TCSANOW, &settings);
    close(slave);
}

PseudoTerminal::~PseudoTerminal() {
    hangUp();
}

std::optional<std::vector<std::uint8_t>> PseudoTerminal::read(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        // Openings from here on wake the wait below, so none is missed between the two looks.
        forgetOpenings();
        pollfd fd{.fd = master_, .events = POLLIN, .revents = 0};
        if (poll(&fd, 1, millisecondsUntil(deadline)) <= 0) {
            return std::nullopt;
        }
        if ((fd.revents & POLLIN) != 0) {
            std::vector<std::uint8_t> bytes(256);
            const ssize_t n = ::read(master_, bytes.data(), bytes.size());
            if (n > 0) {
                bytes.resize(static_cast<std::size_t>(n));
                return bytes;
            }
        }
        // With the tool's end closed, the radio's end reports a hang-up at once, and would
        // until the tool comes back.
        if ((fd.revents & POLLHUP) == 0) {
            return std::nullopt;
        }
        waitForOpening(deadline);
        if (Clock::now() >= deadline) {
            return std::nullopt;
        }
    }
}

void PseudoTerminal::waitForOpening(Clock::time_point deadline) const {
    pollfd fd{.fd = openings_, .events = POLLIN, .revents = 0};
    poll(&fd, 1, millisecondsUntil(deadline));
}

void PseudoTerminal::forgetOpenings() const {
    alignas(inotify_event) char events[4096];
    while (::read(openings_, events, sizeof events) > 0) {
    }
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
    for (int* fd : {&openings_, &master_}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
}

}  // namespace qv::sim
