#include "link/SerialPortAdapter.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <cerrno>

#include "link/TransferLogging.h"
#include "platform/Devices.h"
#include "record/PlainText.h"

namespace qv {

std::string busyReason(const std::vector<PortHolder>& holders) {
    constexpr std::size_t kNamed = 3;
    if (holders.empty()) {
        return QCoreApplication::translate("qv::SerialPortAdapter",
                                           "The port is busy: another program holds it.")
            .toStdString();
    }
    const auto named = [](const PortHolder& holder) {
        return QString::fromStdString(escapeControls(holder.name));
    };
    if (!holders.front().seen) {
        return QCoreApplication::translate(
                   "qv::SerialPortAdapter",
                   "The port is busy: another program holds it; %1 (process %2) runs and "
                   "often takes serial adapters.")
            .arg(named(holders.front()), QString::number(holders.front().pid))
            .toStdString();
    }
    QString reason = QCoreApplication::translate("qv::SerialPortAdapter",
                                                 "The port is busy; the programs that hold it:");
    for (std::size_t k = 0; k < std::min(holders.size(), kNamed); ++k) {
        reason += QLatin1Char('\n') +
                  QCoreApplication::translate("qv::SerialPortAdapter", "%1 (process %2)")
                      .arg(named(holders[k]), QString::number(holders[k].pid));
    }
    if (holders.size() > kNamed) {
        reason +=
            QLatin1Char('\n') + QCoreApplication::translate("qv::SerialPortAdapter", "and %1 more.")
                                    .arg(holders.size() - kNamed);
    }
    return reason.toStdString();
}

std::string openFailureReason(QSerialPort::SerialPortError error, const QString& errorText,
                              int systemError, bool deviceAccessible,
                              const HoldersLookup& findHolders) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return QCoreApplication::translate("qv::SerialPortAdapter",
                                               "No such device: is the cable plugged in?")
                .toStdString();
        case QSerialPort::PermissionError:
            if (systemError != EBUSY && !deviceAccessible) {
                return QCoreApplication::translate(
                           "qv::SerialPortAdapter",
                           "Permission denied: add yourself to the dialout group and log in again.")
                    .toStdString();
            }
            return busyReason(findHolders ? findHolders() : std::vector<PortHolder>{});
        default:
            return escapeControls(errorText.toStdString());
    }
}

SerialPortAdapter::SerialPortAdapter(std::chrono::milliseconds holderLook)
    : holderLook_(holderLook) {
    QObject::connect(&port_, &QSerialPort::readyRead, &port_,
                     [this] { deliverWhenThresholdReached(); });
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) { handleError(error); });
}

void SerialPortAdapter::setDevice(const std::string& path) {
    device_ = path;
    port_.setPortName(QString::fromStdString(path));
}

std::optional<std::string> SerialPortAdapter::open() {
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    restartTransferTime();
    errno = 0;
    if (!port_.open(QIODevice::ReadWrite)) {
        const int systemError = errno;
        return refused(openFailureReason(
            port_.error(), port_.errorString(), systemError, platform::userMayOpen(device_),
            [this] { return findPortHolders(device_, kKnownGrabbers, holderLook_).holders; }));
    }
    // Opened before us, it is not kept out by our lock or exclusive mode: refused all the same.
    const PortHolders others = findPortHolders(device_, {}, holderLook_);
    checkedEveryHolder_ = others.complete;
    if (!others.holders.empty()) {
        port_.close();
        return refused(busyReason(others.holders));
    }
    logLinkStep(QStringLiteral("opened %1%2")
                    .arg(QString::fromStdString(escapeControls(device_)),
                         others.complete
                             ? QString()
                             : QStringLiteral(" (the look for other holders ran out of time)")));
    lostReported_ = false;
    ++opening_;
    return std::nullopt;
}

std::string SerialPortAdapter::refused(std::string reason) const {
    logLinkStep(QStringLiteral("cannot open %1: %2")
                    .arg(QString::fromStdString(escapeControls(device_)),
                         QString::fromStdString(escapeControls(reason))));
    return reason;
}

void SerialPortAdapter::close() {
    if (port_.isOpen()) {
        logLinkStep(QStringLiteral("closed"));
    }
    port_.close();
}

bool SerialPortAdapter::checkedEveryHolder() const {
    return checkedEveryHolder_;
}

bool SerialPortAdapter::isOpen() const {
    return port_.isOpen();
}

void SerialPortAdapter::clearBuffers() {
    if (port_.isOpen()) {
        if (const QByteArray left = port_.readAll(); !left.isEmpty()) {
            logLinkStep(QStringLiteral("dropped, too short: ") +
                        frameLine(FrameWay::Received, Frame(left.begin(), left.end())));
        }
        port_.clear(QSerialPort::AllDirections);
    }
}

// Every answer the engine waits for is at least one byte long.
void SerialPortAdapter::setReceiveThreshold(int bytes) {
    Q_ASSERT(bytes > 0);
    threshold_ = bytes;
}

bool SerialPortAdapter::write(const Frame& frame) {
    Q_ASSERT(!frame.empty());
    const auto size = static_cast<qint64>(frame.size());
    const bool taken =
        port_.isOpen() && port_.write(reinterpret_cast<const char*>(frame.data()), size) == size;
    logLinkStep(frameLine(FrameWay::Sent, frame) +
                (taken ? QString() : QStringLiteral("  (not taken by the port)")));
    return taken;
}

void SerialPortAdapter::setHandlers(ReceivedHandler received, LostHandler lost) {
    received_ = std::move(received);
    lost_ = std::move(lost);
}

void SerialPortAdapter::deliverWhenThresholdReached() {
    if (port_.bytesAvailable() < threshold_) {
        return;
    }
    const QByteArray bytes = port_.readAll();
    const Frame block(bytes.begin(), bytes.end());
    logLinkStep(frameLine(FrameWay::Received, block));
    if (received_) {
        received_(block);
    }
}

void SerialPortAdapter::handleError(QSerialPort::SerialPortError error) {
    // A hung-up device shows as a stream of read errors rather than one resource error.
    if ((error != QSerialPort::ReadError && error != QSerialPort::ResourceError) || lostReported_ ||
        !port_.isOpen()) {
        return;
    }
    lostReported_ = true;
    // Closing inside QSerialPort's own signal is not safe: do it once control is back.
    QTimer::singleShot(0, &port_, [this, opening = opening_] {
        if (opening == opening_) {
            reportLost();
        }
    });
}

void SerialPortAdapter::reportLost() {
    logLinkStep(QStringLiteral("lost"));
    port_.close();
    if (lost_) {
        lost_();
    }
}

}  // namespace qv
