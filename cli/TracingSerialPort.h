#pragma once

#include <chrono>
#include <ostream>

#include "link/SerialPort.h"

namespace qv::cli {

// A serial port that writes every frame sent and every block received to `trace` as hex,
// with the milliseconds since it was made, and passes everything on to the real port.
class TracingSerialPort final : public SerialPort {
public:
    TracingSerialPort(SerialPort& port, std::ostream& trace);

    void setDevice(const std::string& path) override;
    std::optional<std::string> open() override;
    void close() override;
    bool checkedEveryHolder() const override { return port_.checkedEveryHolder(); }
    bool isOpen() const override { return port_.isOpen(); }
    void clearBuffers() override { port_.clearBuffers(); }
    void setReceiveThreshold(int bytes) override { port_.setReceiveThreshold(bytes); }
    bool write(const Frame& frame) override;
    void setHandlers(ReceivedHandler received, LostHandler lost) override;

private:
    void line(const std::string& what);

    SerialPort& port_;
    std::ostream& trace_;
    std::string device_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace qv::cli
