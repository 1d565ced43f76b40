#pragma once

#include <QSerialPort>
#include <QString>
#include <functional>

#include "link/PortHolder.h"
#include "link/SerialPort.h"

namespace qv {

using HoldersLookup = std::function<std::vector<PortHolder>()>;

// Why an open failed, in plain words for the technician; every text of it is here. Qt words a
// permission refusal alike whether the device's modes forbid it or another program holds it (its
// lock file, exclusive mode), and its words are translated: the port is busy when the system
// says so (EBUSY) or when the device's modes would let us in. `findHolders` is asked only then.
std::string openFailureReason(QSerialPort::SerialPortError error, const QString& errorText,
                              int systemError, bool deviceAccessible,
                              const HoldersLookup& findHolders = {});

// A busy port, naming the programs that hold it, one line each, at most three.
std::string busyReason(const std::vector<PortHolder>& holders);

// The serial line over QSerialPort. Received bytes wait in the buffer until the receive
// threshold is reached, then go out as one block; a lost device (a USB cable pulled) closes
// the port and is reported once. A device that another process we can see holds is closed
// again at once and refused as busy, as where ports are exclusive: two programs on one line
// would each take the other's answers.
class SerialPortAdapter final : public SerialPort {
public:
    // `holderLook` bounds the look for other holders at each open.
    explicit SerialPortAdapter(std::chrono::milliseconds holderLook = kHolderLookBudget);

    void setDevice(const std::string& path) override;
    std::optional<std::string> open() override;
    void close() override;
    bool checkedEveryHolder() const override;
    bool isOpen() const override;
    void clearBuffers() override;
    void setReceiveThreshold(int bytes) override;
    bool write(const Frame& frame) override;
    void setHandlers(ReceivedHandler received, LostHandler lost) override;

private:
    // Logs why the port cannot be had, and gives that reason back.
    std::string refused(std::string reason) const;
    void deliverWhenThresholdReached();
    void handleError(QSerialPort::SerialPortError error);
    void reportLost();

    QSerialPort port_;
    std::string device_;
    int threshold_ = 1;
    bool lostReported_ = false;
    bool checkedEveryHolder_ = true;
    std::chrono::milliseconds holderLook_;
    // Counts opens, so that a loss reported for an earlier opening never closes a later one.
    int opening_ = 0;
    ReceivedHandler received_;
    LostHandler lost_;
};

}  // namespace qv
