#include "link/serial_transport.h"

#include <termios.h>

#include <cerrno>

#include "link/link_error.h"

namespace lumora::link {
namespace {

// Write time-out of the line: 100 ms per byte plus one second.
int WriteTimeoutMs(std::size_t bytes) {
    return static_cast<int>(100 * bytes + 1000);
}

[[noreturn]] void Fail(const char* text, QSerialPort::SerialPortError error) {
    throw LinkError(WithErrorCode(text, SystemErrorCode(error)));
}

}  // namespace

int SystemErrorCode(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return ENOENT;
        case QSerialPort::PermissionError:
            return EACCES;
        case QSerialPort::OpenError:
            return EBUSY;
        case QSerialPort::TimeoutError:
            return ETIMEDOUT;
        case QSerialPort::UnsupportedOperationError:
            return EINVAL;
        case QSerialPort::NotOpenError:
            return EBADF;
        default:
            return EIO;
    }
}

SerialTransport::SerialTransport(QObject* parent) : Transport(parent) {
    connect(&port_, &QSerialPort::readyRead, this, &Transport::bytesArrived);
    connect(&port_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::ResourceError && port_.isOpen()) {
            emit lineFailed(QString::fromStdString(
                WithErrorCode("ReadFile function failed", SystemErrorCode(error))));
        }
    });
}

SerialTransport::~SerialTransport() {
    close();
}

void SerialTransport::setPortName(const QString& name) {
    name_ = name;
    if (port_.isOpen()) {
        close();
        open();
    }
}

void SerialTransport::open() {
    if (port_.isOpen()) {
        return;
    }
    port_.setPortName(name_);
    if (!port_.open(QIODevice::ReadWrite)) {
        const auto error = port_.error();
        port_.clearError();
        Fail("Unable to open com port", error);
    }
    try {
        applySettings();
    } catch (...) {
        port_.close();
        throw;
    }
}

void SerialTransport::applySettings() {
    if (!port_.setBaudRate(kBaudRate) || !port_.setDataBits(QSerialPort::Data8) ||
        !port_.setParity(QSerialPort::NoParity) || !port_.setStopBits(QSerialPort::OneStop) ||
        !port_.setFlowControl(QSerialPort::NoFlowControl)) {
        Fail("SetCommState function failed", port_.error());
    }
    // Modem lines are off; a pseudo-terminal has none, which is not an error.
    port_.setDataTerminalReady(false);
    port_.setRequestToSend(false);
    port_.clearError();
}

void SerialTransport::close() {
    if (port_.isOpen()) {
        // Unread input is stale; output already written is left to go out,
        // so that a packet sent just before closing is not lost.
        port_.clear(QSerialPort::Input);
        port_.close();
    }
}

void SerialTransport::clearBuffers() {
    if (!port_.isOpen()) {
        throw LinkError("Port Not Open");
    }
    if (!port_.clear(QSerialPort::AllDirections)) {
        Fail("PurgeComm function failed", port_.error());
    }
}

void SerialTransport::write(std::span<const std::uint8_t> bytes) {
    if (!port_.isOpen()) {
        throw LinkError("Port Not Open");
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (port_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        const auto error = port_.error();
        port_.clearError();
        Fail("WriteFile function failed", error);
    }
    // Returns when the bytes are on their way, as a blocking serial write does.
    while (port_.bytesToWrite() > 0) {
        if (!port_.waitForBytesWritten(WriteTimeoutMs(bytes.size()))) {
            const auto error = port_.error();
            port_.clearError();
            Fail("WriteFile function failed",
                 error == QSerialPort::NoError ? QSerialPort::TimeoutError : error);
        }
    }
}

void SerialTransport::drain() {
    if (port_.isOpen()) {
        ::tcdrain(static_cast<int>(port_.handle()));
    }
}

Bytes SerialTransport::readAvailable() {
    if (!port_.isOpen()) {
        throw LinkError("Port Not Open");
    }
    const QByteArray data = port_.readAll();
    return Bytes(data.begin(), data.end());
}

}  // namespace lumora::link
