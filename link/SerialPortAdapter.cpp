#include "link/SerialPortAdapter.h"

#include <QTimer>
#include <cerrno>

namespace qv {

namespace {

bool IsBusy(const QString& errorText, int systemError) {
    return systemError == EBUSY ||
           errorText.contains(QStringLiteral("lock"), Qt::CaseInsensitive) ||
           errorText.contains(QStringLiteral("busy"), Qt::CaseInsensitive);
}

}  // namespace

std::string OpenFailureReason(QSerialPort::SerialPortError error, const QString& errorText,
                              int systemError) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return "No such device: is the cable plugged in?";
        case QSerialPort::PermissionError:
            if (IsBusy(errorText, systemError)) {
                return "The port is busy: another program holds it.";
            }
            return "Permission denied: add yourself to the dialout group and log in again.";
        default:
            return errorText.toStdString();
    }
}

SerialPortAdapter::SerialPortAdapter() {
    QObject::connect(&port_, &QSerialPort::readyRead, &port_,
                     [this] { DeliverWhenThresholdReached(); });
    QObject::connect(&port_, &QSerialPort::errorOccurred, &port_,
                     [this](QSerialPort::SerialPortError error) { HandleError(error); });
}

void SerialPortAdapter::SetDevice(const std::string& path) {
    port_.setPortName(QString::fromStdString(path));
}

std::optional<std::string> SerialPortAdapter::Open() {
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    errno = 0;
    if (!port_.open(QIODevice::ReadWrite)) {
        const int systemError = errno;
        return OpenFailureReason(port_.error(), port_.errorString(), systemError);
    }
    lostReported_ = false;
    ++opening_;
    return std::nullopt;
}

void SerialPortAdapter::Close() {
    port_.close();
}

bool SerialPortAdapter::IsOpen() const {
    return port_.isOpen();
}

void SerialPortAdapter::ClearBuffers() {
    if (port_.isOpen()) {
        port_.clear(QSerialPort::AllDirections);
    }
}

void SerialPortAdapter::SetReceiveThreshold(int bytes) {
    threshold_ = bytes;
}

bool SerialPortAdapter::Write(const Frame& frame) {
    const auto size = static_cast<qint64>(frame.size());
    return port_.isOpen() && port_.write(reinterpret_cast<const char*>(frame.data()), size) == size;
}

void SerialPortAdapter::SetHandlers(ReceivedHandler received, LostHandler lost) {
    received_ = std::move(received);
    lost_ = std::move(lost);
}

void SerialPortAdapter::DeliverWhenThresholdReached() {
    if (port_.bytesAvailable() < threshold_) {
        return;
    }
    const QByteArray bytes = port_.readAll();
    if (received_) {
        received_(Frame(bytes.begin(), bytes.end()));
    }
}

void SerialPortAdapter::HandleError(QSerialPort::SerialPortError error) {
    // A hung-up device shows as a stream of read errors rather than one resource error.
    if ((error != QSerialPort::ReadError && error != QSerialPort::ResourceError) || lostReported_ ||
        !port_.isOpen()) {
        return;
    }
    lostReported_ = true;
    // Closing inside QSerialPort's own signal is not safe: do it once control is back.
    QTimer::singleShot(0, &port_, [this, opening = opening_] {
        if (opening == opening_) {
            ReportLost();
        }
    });
}

void SerialPortAdapter::ReportLost() {
    port_.close();
    if (lost_) {
        lost_();
    }
}

}  // namespace qv
