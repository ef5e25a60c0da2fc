#pragma once

// The box's serial line: 115200 baud, 8 data bits, no parity, one stop bit,
// no flow control, DTR and RTS off. Errors carry the serial layer's texts.
//
// A line that dies while open (adapter pulled, box gone, the far end of a
// pseudo-terminal closed) is reported once through lineFailed, whichever way
// it shows: a resource error, a read error, or a hang-up that the port only
// shows as "readable with nothing to read". Closing never reports anything.

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTimer>
#include <functional>
#include <string>

#include "link/transport.h"

namespace lumora::link {

// Asks the driver of an open serial device to hand received bytes on at
// once. Returns an empty text when it did, else why not.
using LowLatencyRequest = std::function<std::string(int fd)>;

// USB serial adapters hold received bytes for their latency timer (16 ms on
// the common ones) before passing them on; a live transfer is 751
// stop-and-wait round trips, so that alone would add about 12 s to it. Sets
// ASYNC_LOW_LATENCY through TIOCGSERIAL / TIOCSSERIAL.
std::string RequestLowLatency(int fd);

class SerialTransport : public Transport {
    Q_OBJECT
  public:
    static constexpr qint32 kBaudRate = 115200;
    // How often an open line is checked for a hang-up that raised no error.
    static constexpr int kLineCheckMs = 250;

    explicit SerialTransport(QObject* parent = nullptr,
                             LowLatencyRequest lowLatency = RequestLowLatency);
    ~SerialTransport() override;

    void setPortName(const QString& name) override;
    QString portName() const override { return name_; }
    void open() override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    void clearBuffers() override;
    void write(std::span<const std::uint8_t> bytes) override;
    std::size_t outputQueued() const override;
    Bytes readAvailable() override;
    void drain() override;
    std::size_t bytesWaiting() const override;
    bool failed() const override { return failed_; }

  private:
    void applySettings();
    void onPortError(QSerialPort::SerialPortError error);
    bool lineHungUp() const;
    void reportLineFailure();
    [[noreturn]] void failWrite(int code);

    QString name_;
    QSerialPort port_;
    QTimer lineCheck_;
    LowLatencyRequest lowLatency_;
    // When the line will have carried the last byte written, at its rate:
    // a USB adapter or a pseudo-terminal may hide what it holds.
    QElapsedTimer clock_;
    qint64 lineFreeAtNs_ = 0;
    bool failed_ = false;
    bool closing_ = false;
    // Counts openings, so that a failure noticed on one is not reported
    // after the port has been closed and opened again.
    quint64 opening_ = 0;
};

// The system error code behind a serial port error, as errno values.
int SystemErrorCode(QSerialPort::SerialPortError error);

}  // namespace lumora::link
