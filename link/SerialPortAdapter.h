#pragma once

#include <QSerialPort>
#include <QString>

#include "link/SerialPort.h"

namespace qv {

// Why an open failed, in plain words for the technician.
std::string OpenFailureReason(QSerialPort::SerialPortError error, const QString& errorText,
                              int systemError);

// The serial line over QSerialPort. Received bytes wait in the buffer until the receive
// threshold is reached, then go out as one block; a lost device (a USB cable pulled) closes
// the port and is reported once.
class SerialPortAdapter final : public SerialPort {
public:
    SerialPortAdapter();

    void SetDevice(const std::string& path) override;
    std::optional<std::string> Open() override;
    void Close() override;
    bool IsOpen() const override;
    void ClearBuffers() override;
    void SetReceiveThreshold(int bytes) override;
    bool Write(const Frame& frame) override;
    void SetHandlers(ReceivedHandler received, LostHandler lost) override;

private:
    void DeliverWhenThresholdReached();
    void HandleError(QSerialPort::SerialPortError error);
    void ReportLost();

    QSerialPort port_;
    int threshold_ = 1;
    bool lostReported_ = false;
    // Counts opens, so that a loss reported for an earlier opening never closes a later one.
    int opening_ = 0;
    ReceivedHandler received_;
    LostHandler lost_;
};

}  // namespace qv
