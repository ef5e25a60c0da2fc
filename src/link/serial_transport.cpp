#include "link/serial_transport.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalBlocker>
#include <cerrno>
#include <cstring>

#include "link/link_error.h"
#include "link/port_lock.h"

namespace lumora::link {
namespace {

// One byte on the line: a start bit, 8 data bits and a stop bit.
constexpr qint64 kNsPerByte = 10 * 1'000'000'000LL / SerialTransport::kBaudRate;

[[noreturn]] void Fail(const char* text, QSerialPort::SerialPortError error) {
    throw LinkError(WithErrorCode(text, SystemErrorCode(error)));
}

// Bytes in one of the kernel's queues of the port (FIONREAD, TIOCOUTQ); 0
// when it cannot say.
std::size_t KernelQueue(int fd, unsigned long request) {
    int count = 0;
    if (::ioctl(fd, request, &count) != 0 || count < 0) {
        return 0;
    }
    return static_cast<std::size_t>(count);
}

const char* const kStoppedTakingAdvice =
    ": the box stopped taking data (nothing more left the port for %1 ms). Check that the box "
    "is switched on and the cable is in, then press Disconnect and Connect again.";

const char* const kLineGoneAdvice =
    ": the line to the box is gone (cable or adapter unplugged, or the box switched off). "
    "Check it, then press Connect again.";

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

std::string RequestLowLatency(int fd) {
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0) {
        return std::strerror(errno);
    }
    serial.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(fd, TIOCSSERIAL, &serial) != 0) {
        return std::strerror(errno);
    }
    return {};
}

SerialTransport::SerialTransport(QObject* parent, LowLatencyRequest lowLatency)
    : Transport(parent), lowLatency_(std::move(lowLatency)) {
    clock_.start();
    connect(&port_, &QSerialPort::readyRead, this, &Transport::bytesArrived);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialTransport::onPortError);
    lineCheck_.setInterval(kLineCheckMs);
    connect(&lineCheck_, &QTimer::timeout, this, [this] {
        if (lineHungUp()) {
            reportLineFailure();
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
    // A stable name (/dev/serial/by-id/...) is a link: open the device it
    // leads to, so that its lock file is the one every other program sees.
    const QFileInfo named(name_);
    const QString device = named.isSymLink() && !named.canonicalFilePath().isEmpty()
                               ? named.canonicalFilePath()
                               : name_;
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite)) {
        const auto error = port_.error();
        port_.clearError();
        if (error == QSerialPort::PermissionError) {
            if (const auto inUse = PortInUseText(device)) {
                throw LinkError(WithErrorCode("Unable to open com port", EBUSY) + ": " +
                                inUse->toStdString());
            }
        }
        Fail("Unable to open com port", error);
    }
    try {
        applySettings();
    } catch (...) {
        close();
        throw;
    }
    // Writes wait for the line themselves, within their bound.
    const int fd = static_cast<int>(port_.handle());
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    lineFreeAtNs_ = 0;
    // Never a reason to fail the open: a pseudo-terminal, for one, refuses it.
    if (lowLatency_) {
        const std::string refused = lowLatency_(static_cast<int>(port_.handle()));
        emit notice(refused.empty()
                        ? QStringLiteral("Low-latency mode on for %1.").arg(name_)
                        : QStringLiteral("Low-latency mode not available on %1 (%2): replies may "
                                         "come up to the adapter's latency timer late.")
                              .arg(name_, QString::fromStdString(refused)));
    }
    ++opening_;
    failed_ = false;
    lineCheck_.start();
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
    lineCheck_.stop();
    if (!port_.isOpen()) {
        return;
    }
    // The line may be dead already: whatever the port says about its own
    // closing is no news to anybody.
    closing_ = true;
    {
        const QSignalBlocker quiet(port_);
        // Unread input is stale; output already written is left to go out,
        // so that a packet sent just before closing is not lost.
        port_.clear(QSerialPort::Input);
        port_.close();
        port_.clearError();
    }
    closing_ = false;
    ++opening_;
}

void SerialTransport::onPortError(QSerialPort::SerialPortError error) {
    if (closing_ || !port_.isOpen() || error == QSerialPort::NoError ||
        error == QSerialPort::TimeoutError) {
        return;
    }
    if (error == QSerialPort::ResourceError || lineHungUp()) {
        reportLineFailure();
    }
}

bool SerialTransport::lineHungUp() const {
    if (!port_.isOpen()) {
        return false;
    }
    pollfd pfd{static_cast<int>(port_.handle()), POLLIN, 0};
    if (::poll(&pfd, 1, 0) <= 0) {
        return false;
    }
    if ((pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        return true;
    }
    // Readable with nothing to read is the end of the line.
    int waiting = 0;
    return (pfd.revents & POLLIN) != 0 && ::ioctl(pfd.fd, FIONREAD, &waiting) == 0 && waiting == 0;
}

void SerialTransport::reportLineFailure() {
    if (failed_) {
        return;
    }
    failed_ = true;
    lineCheck_.stop();
    const QString message =
        QString::fromStdString(WithErrorCode("ReadFile function failed", EIO) + kLineGoneAdvice);
    // From the event loop: never inside the serial layer's own notification.
    QMetaObject::invokeMethod(
        this,
        [this, message, opening = opening_] {
            if (opening == opening_ && port_.isOpen()) {
                emit lineFailed(message);
            }
        },
        Qt::QueuedConnection);
}

void SerialTransport::clearBuffers() {
    if (!port_.isOpen()) {
        throw LinkError("Port Not Open");
    }
    if (!port_.clear(QSerialPort::AllDirections)) {
        Fail("PurgeComm function failed", port_.error());
    }
    lineFreeAtNs_ = 0;
}

void SerialTransport::failWrite(int code) {
    if (lineHungUp()) {
        reportLineFailure();
    }
    throw LinkError(WithErrorCode("WriteFile function failed", code));
}

void SerialTransport::write(std::span<const std::uint8_t> bytes) {
    if (!port_.isOpen()) {
        throw LinkError("Port Not Open");
    }
    // Straight to the descriptor, polled within the bound: a line that stops
    // draining must not hold the caller longer than a read would.
    const int fd = static_cast<int>(port_.handle());
    const qint64 bound = writeBound().count();
    QElapsedTimer clock;
    clock.start();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            failWrite(errno);
        }
        const qint64 left = bound - clock.elapsed();
        if (left <= 0) {
            throw LinkError(WithErrorCode("WriteFile function failed", ETIMEDOUT) +
                            QString::fromLatin1(kStoppedTakingAdvice).arg(bound).toStdString());
        }
        pollfd pfd{fd, POLLOUT, 0};
        if (::poll(&pfd, 1, static_cast<int>(left)) < 0 && errno != EINTR) {
            failWrite(errno);
        }
        if ((pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            failWrite(EIO);
        }
    }
    const qint64 now = clock_.nsecsElapsed();
    lineFreeAtNs_ = std::max(lineFreeAtNs_, now) + static_cast<qint64>(bytes.size()) * kNsPerByte;
}

std::size_t SerialTransport::outputQueued() const {
    if (!port_.isOpen()) {
        return 0;
    }
    const std::size_t kernel = KernelQueue(static_cast<int>(port_.handle()), TIOCOUTQ);
    // A pseudo-terminal or an adapter may hide what it holds: the line has
    // not carried more than its rate allows since the bytes were written.
    const qint64 ahead = lineFreeAtNs_ - clock_.nsecsElapsed();
    const auto byRate =
        static_cast<std::size_t>(ahead > 0 ? (ahead + kNsPerByte - 1) / kNsPerByte : 0);
    return std::max(kernel, byRate);
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
    if (!data.isEmpty()) {
        // The box answers what it has taken: the line has carried what was
        // written before (a transfer waits for each answer before it
        // writes again).
        lineFreeAtNs_ = std::min(lineFreeAtNs_, clock_.nsecsElapsed());
    }
    return Bytes(data.begin(), data.end());
}

std::size_t SerialTransport::bytesWaiting() const {
    if (!port_.isOpen()) {
        return 0;
    }
    return static_cast<std::size_t>(port_.bytesAvailable()) +
           KernelQueue(static_cast<int>(port_.handle()), FIONREAD);
}

}  // namespace lumora::link
