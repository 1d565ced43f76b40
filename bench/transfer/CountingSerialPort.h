#pragma once

#include "link/SerialPort.h"

namespace qv::bench {

// Passes everything to the real port and counts the bytes that cross the line.
class CountingSerialPort final : public SerialPort {
public:
    explicit CountingSerialPort(SerialPort& port) : port_(port) {}

    void SetDevice(const std::string& path) override { port_.SetDevice(path); }
    std::optional<std::string> Open() override { return port_.Open(); }
    void Close() override { port_.Close(); }
    bool IsOpen() const override { return port_.IsOpen(); }
    void ClearBuffers() override { port_.ClearBuffers(); }
    void SetReceiveThreshold(int bytes) override { port_.SetReceiveThreshold(bytes); }
    bool Write(const Frame& frame) override {
        bytes += frame.size();
        return port_.Write(frame);
    }
    void SetHandlers(ReceivedHandler received, LostHandler lost) override {
        port_.SetHandlers(
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
