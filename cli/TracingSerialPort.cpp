#include "cli/TracingSerialPort.h"

#include <cstdio>

#include "datafile/CalibrationDocument.h"
#include "record/PlainText.h"

namespace qv::cli {

TracingSerialPort::TracingSerialPort(SerialPort& port, std::ostream& trace)
    : port_(port), trace_(trace) {}

void TracingSerialPort::setDevice(const std::string& path) {
    device_ = path;
    port_.setDevice(path);
}

std::optional<std::string> TracingSerialPort::open() {
    auto failure = port_.open();
    line("open " + escapeControls(device_) + (failure ? ": " + escapeControls(*failure) : ""));
    return failure;
}

void TracingSerialPort::close() {
    line("close");
    port_.close();
}

bool TracingSerialPort::write(const Frame& frame) {
    const bool taken = port_.write(frame);
    line("-> " + hexText(frame) + (taken ? "" : "  (not taken by the port)"));
    return taken;
}

void TracingSerialPort::setHandlers(ReceivedHandler received, LostHandler lost) {
    if (!received && !lost) {
        port_.setHandlers({}, {});
        return;
    }
    port_.setHandlers(
        [this, received = std::move(received)](const Frame& block) {
            line("<- " + hexText(block));
            if (received) {
                received(block);
            }
        },
        [this, lost = std::move(lost)] {
            line("lost");
            if (lost) {
                lost();
            }
        });
}

void TracingSerialPort::line(const std::string& what) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    char stamp[24];
    std::snprintf(stamp, sizeof stamp, "%6lld ms ", static_cast<long long>(elapsed.count()));
    trace_ << stamp << what << std::endl;
}

}  // namespace qv::cli
