#pragma once

#include <functional>
#include <optional>
#include <string>

#include "link/Frames.h"

namespace qv {

// The one serial line to the radio, always 9600 bit/s, 8 data bits, no parity, 1 stop bit,
// no flow control. Received bytes are delivered as one block once at least the receive
// threshold is buffered; fewer wait in the buffer.
class SerialPort {
public:
    using ReceivedHandler = std::function<void(const Frame& block)>;
    using LostHandler = std::function<void()>;

    virtual ~SerialPort() = default;

    // The device the next Open uses.
    virtual void setDevice(const std::string& path) = 0;
    // Nothing on success; otherwise why the port cannot be had, in plain words, one line each:
    // text from outside in it (a program's name) is already made safe to show.
    virtual std::optional<std::string> open() = 0;
    // Whether the last open looked at every program that could hold the device; a look that
    // takes too long ends, and the port opens without it.
    virtual bool checkedEveryHolder() const = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void clearBuffers() = 0;
    virtual void setReceiveThreshold(int bytes) = 0;
    // Queues the whole frame; false when the port refuses it.
    virtual bool write(const Frame& frame) = 0;

    // Called with each delivered block, and once when an open port is lost (the device is
    // gone); the port is closed by then.
    virtual void setHandlers(ReceivedHandler received, LostHandler lost) = 0;
};

}  // namespace qv
