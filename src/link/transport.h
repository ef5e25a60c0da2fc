#pragma once

// The byte pipe between the tool and the box: a serial port in the field, an
// in-memory pipe in tests. Failing operations throw LinkError.

#include <QObject>
#include <QString>
#include <chrono>
#include <cstdint>
#include <span>

#include "link/bytes.h"

namespace lumora::link {

class Transport : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;
    ~Transport() override = default;

    virtual void setPortName(const QString& name) = 0;
    virtual QString portName() const = 0;
    // Does nothing when already open; on failure throws and stays closed.
    virtual void open() = 0;
    // Does nothing when closed. Never reports a failure of its own: a line
    // that died is closed all the same.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void clearBuffers() = 0;
    // Returns once every byte has been handed to the line. A line that takes
    // nothing for the write bound makes it throw.
    virtual void write(std::span<const std::uint8_t> bytes) = 0;
    void setWriteBound(std::chrono::milliseconds bound) { writeBound_ = bound; }
    std::chrono::milliseconds writeBound() const { return writeBound_; }
    // Bytes written that the line has not carried yet (held by the kernel or
    // the adapter); 0 where there is no line to wait for.
    virtual std::size_t outputQueued() const { return 0; }
    // Waits until every written byte has left the line, for a caller that is
    // about to close the port and must not lose its last packet.
    virtual void drain() {}
    // Returns at once with whatever has arrived.
    virtual Bytes readAvailable() = 0;
    // Received bytes not yet read, wherever they wait.
    virtual std::size_t bytesWaiting() const = 0;
    // The line has broken since it was opened (lineFailed is on its way or
    // has been sent); errors of writes after that are no news.
    virtual bool failed() const = 0;

  signals:
    // Bytes are waiting; emitted on the thread that owns the transport.
    void bytesArrived();
    // The line broke while open (an adapter unplugged, the box gone); carries
    // the text to show. Emitted once per opening, from the event loop.
    void lineFailed(const QString& message);
    // Something the log should hold about the line.
    void notice(const QString& line);

  private:
    std::chrono::milliseconds writeBound_{1000};
};

}  // namespace lumora::link
