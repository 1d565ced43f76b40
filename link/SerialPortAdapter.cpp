#include "link/SerialPortAdapter.h"

#include <QCoreApplication>
#include <QTimer>
#include <cerrno>

namespace qv {

namespace {

bool isBusy(const QString& errorText, int systemError) {
    return systemError == EBUSY ||
           errorText.contains(QStringLiteral("lock"), Qt::CaseInsensitive) ||
           errorText.contains(QStringLiteral("busy"), Qt::CaseInsensitive);
}

}  // namespace

std::string openFailureReason(QSerialPort::SerialPortError error, const QString& errorText,
                              int systemError, const HolderLookup& findHolder) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return QCoreApplication::translate("qv::SerialPortAdapter",
                                               "No such device: is the cable plugged in?")
                .toStdString();
        case QSerialPort::PermissionError:
            if (!isBusy(errorText, systemError)) {
                return QCoreApplication::translate(
                           "qv::SerialPortAdapter",
                           "Permission denied: add yourself to the dialout group and log in again.")
                    .toStdString();
            }
            if (const auto holder = findHolder ? findHolder() : std::nullopt) {
                return (holder->seen ? QCoreApplication::translate(
                                           "qv::SerialPortAdapter",
                                           "The port is busy: %1 (process %2) holds it.")
                                     : QCoreApplication::translate(
                                           "qv::SerialPortAdapter",
                                           "The port is busy: another program holds it; %1 "
                                           "(process %2) runs and often takes serial adapters."))
                    .arg(QString::fromStdString(holder->name), QString::number(holder->pid))
                    .toStdString();
            }
            return QCoreApplication::translate("qv::SerialPortAdapter",
                                               "The port is busy: another program holds it.")
                .toStdString();
        default:
            return errorText.toStdString();
    }
}

SerialPortAdapter::SerialPortAdapter() {
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
    errno = 0;
    if (!port_.open(QIODevice::ReadWrite)) {
        const int systemError = errno;
        return openFailureReason(port_.error(), port_.errorString(), systemError,
                                 [this] { return findPortHolder(device_); });
    }
    lostReported_ = false;
    ++opening_;
    return std::nullopt;
}

void SerialPortAdapter::close() {
    port_.close();
}

bool SerialPortAdapter::isOpen() const {
    return port_.isOpen();
}

void SerialPortAdapter::clearBuffers() {
    if (port_.isOpen()) {
        port_.clear(QSerialPort::AllDirections);
    }
}

void SerialPortAdapter::setReceiveThreshold(int bytes) {
    threshold_ = bytes;
}

bool SerialPortAdapter::write(const Frame& frame) {
    const auto size = static_cast<qint64>(frame.size());
    return port_.isOpen() && port_.write(reinterpret_cast<const char*>(frame.data()), size) == size;
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
    if (received_) {
        received_(Frame(bytes.begin(), bytes.end()));
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
    port_.close();
    if (lost_) {
        lost_();
    }
}

}  // namespace qv
