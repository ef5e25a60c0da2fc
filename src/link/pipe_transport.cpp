#include "link/pipe_transport.h"

#include <QMetaObject>

#include "link/link_error.h"

namespace lumora::link {

PipeTransport::PipeTransport(QObject* parent) : Transport(parent) {}

void PipeTransport::open() {
    if (open_) {
        return;
    }
    if (openError_) {
        throw LinkError(*openError_);
    }
    open_ = true;
    failed_ = false;
}

void PipeTransport::close() {
    open_ = false;
    input_.clear();
}

void PipeTransport::breakLine(const QString& message) {
    if (!open_ || failed_) {
        return;
    }
    failed_ = true;
    emit lineFailed(message);
}

void PipeTransport::clearBuffers() {
    if (!open_) {
        throw LinkError("Port Not Open");
    }
    input_.clear();
}

void PipeTransport::write(std::span<const std::uint8_t> bytes) {
    if (!open_) {
        throw LinkError("Port Not Open");
    }
    if (writeError_) {
        throw LinkError(*writeError_);
    }
    Bytes packet(bytes.begin(), bytes.end());
    written_.push_back(packet);
    if (peer_) {
        peer_(packet);
    }
}

Bytes PipeTransport::readAvailable() {
    if (!open_) {
        throw LinkError("Port Not Open");
    }
    Bytes out;
    out.swap(input_);
    return out;
}

void PipeTransport::deliverFromPeer(const Bytes& bytes) {
    if (!open_) {
        return;  // nobody listens on a closed line
    }
    input_.insert(input_.end(), bytes.begin(), bytes.end());
    if (announcePending_) {
        return;
    }
    announcePending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            announcePending_ = false;
            if (open_ && !input_.empty()) {
                emit bytesArrived();
            }
        },
        Qt::QueuedConnection);
}

}  // namespace lumora::link
