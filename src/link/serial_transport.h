#pragma once

// The box's serial line: 115200 baud, 8 data bits, no parity, one stop bit,
// no flow control, DTR and RTS off. Errors carry the serial layer's texts.

#include <QSerialPort>

#include "link/transport.h"

namespace lumora::link {

class SerialTransport : public Transport {
    Q_OBJECT
  public:
    static constexpr qint32 kBaudRate = 115200;

    explicit SerialTransport(QObject* parent = nullptr);
    ~SerialTransport() override;

    void setPortName(const QString& name) override;
    QString portName() const override { return name_; }
    void open() override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    void clearBuffers() override;
    void write(std::span<const std::uint8_t> bytes) override;
    Bytes readAvailable() override;
    void drain() override;

  private:
    void applySettings();

    QString name_;
    QSerialPort port_;
};

// The system error code behind a serial port error, as errno values.
int SystemErrorCode(QSerialPort::SerialPortError error);

}  // namespace lumora::link
