#pragma once

#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "link/SerialPort.h"

namespace qv::test {

// Keeps every frame written, and notes it in the journal with the receive threshold armed for
// it. The test delivers the answers, and can fail the open, refuse frames (write answers
// false) or lose the device.
class FakeSerialPort final : public SerialPort {
public:
    explicit FakeSerialPort(std::vector<std::string>& journal) : journal_(journal) {}

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
        journal_.push_back("write " + std::to_string(threshold_));
        written.push_back(frame);
        return opened && !refusing.contains(written.size() - 1);
    }
    void setHandlers(ReceivedHandler receivedHandler, LostHandler lostHandler) override {
        deliver = std::move(receivedHandler);
        lost = std::move(lostHandler);
    }

    bool opened = false;
    std::optional<std::string> openFailure;
    std::set<std::size_t> refusing;  // by index in `written`
    std::vector<Frame> written;
    ReceivedHandler deliver;  // an answer comes
    LostHandler lost;         // the device goes away (the port is closed first)

private:
    std::vector<std::string>& journal_;
    int threshold_ = 0;
};

}  // namespace qv::test
