#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/SerialPort.h"
#include "tests/support/Journal.h"

namespace qv::test {

// Keeps every frame it takes with the receive threshold armed for it; the test delivers the
// answers and can fail the open, refuse frames or lose the device.
class FakeSerialPort final : public SerialPort {
public:
    explicit FakeSerialPort(Journal& journal) : journal_(journal) {}

    void setDevice(const std::string&) override {}
    std::optional<std::string> open() override {
        journal_.push_back("open");
        opened = !openFailure;
        return openFailure;
    }
    void close() override {
        journal_.push_back("close");
        opened = false;
    }
    bool isOpen() const override { return opened; }
    void clearBuffers() override {}
    void setReceiveThreshold(int bytes) override { threshold_ = bytes; }
    bool write(const Frame& frame) override {
        if (refuseWrites) {
            journal_.push_back("write refused");
            return false;
        }
        journal_.push_back("write");
        written.push_back(frame);
        thresholds.push_back(threshold_);
        return opened;
    }
    void setHandlers(ReceivedHandler received, LostHandler lost) override {
        received_ = std::move(received);
        lost_ = std::move(lost);
    }

    void deliver(const Frame& block) { received_(block); }
    void lose() {
        opened = false;
        lost_();
    }

    bool opened = false;
    bool refuseWrites = false;
    std::optional<std::string> openFailure;
    std::vector<Frame> written;
    std::vector<int> thresholds;

private:
    Journal& journal_;
    int threshold_ = 0;
    ReceivedHandler received_;
    LostHandler lost_;
};

}  // namespace qv::test
