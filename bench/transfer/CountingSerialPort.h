#pragma once

#include "link/SerialPort.h"

namespace qv::bench {

// Passes everything to the real port and counts the bytes that cross the line.
class CountingSerialPort final : public SerialPort {
public:
    explicit CountingSerialPort(SerialPort& port) : port_(port) {}

    void setDevice(const std::string& path) override { port_.setDevice(path); }
    std::optional<std::string> open() override { return port_.open(); }
    void close() override { port_.close(); }
    bool checkedEveryHolder() const override { return port_.checkedEveryHolder(); }
    bool isOpen() const override { return port_.isOpen(); }
    void clearBuffers() override { port_.clearBuffers(); }
    void setReceiveThreshold(int bytes) override { port_.setReceiveThreshold(bytes); }
    bool write(const Frame& frame) override {
        bytes += frame.size();
        return port_.write(frame);
    }
    void setHandlers(ReceivedHandler received, LostHandler lost) override {
        port_.setHandlers(
            [this, received = std::move(received)](const Frame& block) {
                bytes += block.size();
                received(block);
            },
            std::move(lost));
    }

    std::size_t bytes = 0;

private:
    SerialPort& port_;
};

}  // namespace qv::bench
