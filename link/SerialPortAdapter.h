#pragma once

#include <QSerialPort>
#include <QString>
#include <functional>

#include "link/PortHolder.h"
#include "link/SerialPort.h"

namespace qv {

using HolderLookup = std::function<std::optional<PortHolder>()>;

// Why an open failed, in plain words for the technician; every text of it is here. A busy port
// names the program that holds it when `findHolder` finds one, which is asked only then.
std::string openFailureReason(QSerialPort::SerialPortError error, const QString& errorText,
                              int systemError, const HolderLookup& findHolder = {});

// The serial line over QSerialPort. Received bytes wait in the buffer until the receive
// threshold is reached, then go out as one block; a lost device (a USB cable pulled) closes
// the port and is reported once.
class SerialPortAdapter final : public SerialPort {
public:
    SerialPortAdapter();

    void setDevice(const std::string& path) override;
    std::optional<std::string> open() override;
    void close() override;
    bool isOpen() const override;
    void clearBuffers() override;
    void setReceiveThreshold(int bytes) override;
    bool write(const Frame& frame) override;
    void setHandlers(ReceivedHandler received, LostHandler lost) override;

private:
    void deliverWhenThresholdReached();
    void handleError(QSerialPort::SerialPortError error);
    void reportLost();

    QSerialPort port_;
    std::string device_;
    int threshold_ = 1;
    bool lostReported_ = false;
    // Counts opens, so that a loss reported for an earlier opening never closes a later one.
    int opening_ = 0;
    ReceivedHandler received_;
    LostHandler lost_;
};

}  // namespace qv
