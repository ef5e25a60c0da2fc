#pragma once

// In-memory transport for tests: what the host writes goes to a peer callback
// (usually the in-process virtual box); what the peer delivers arrives as if
// it came over the line, announced from the event loop, never inside write().

#include <functional>
#include <optional>

#include "link/transport.h"

namespace lumora::link {

class PipeTransport : public Transport {
    Q_OBJECT
  public:
    using PeerWrite = std::function<void(const Bytes&)>;

    explicit PipeTransport(QObject* parent = nullptr);

    void setPortName(const QString& name) override { name_ = name; }
    QString portName() const override { return name_; }
    void open() override;
    void close() override;
    bool isOpen() const override { return open_; }
    void clearBuffers() override;
    void write(std::span<const std::uint8_t> bytes) override;
    Bytes readAvailable() override;
    std::size_t bytesWaiting() const override { return input_.size(); }
    bool failed() const override { return failed_; }

    // Peer side.
    void setPeer(PeerWrite onHostWrite) { peer_ = std::move(onHostWrite); }
    void deliverFromPeer(const Bytes& bytes);

    // Fault switches for tests: the next open or every write fails with this text.
    void failOpenWith(std::optional<std::string> message) { openError_ = std::move(message); }
    void failWritesWith(std::optional<std::string> message) { writeError_ = std::move(message); }

    // The line breaks as an unplugged adapter's does.
    void breakLine(const QString& message);

    // Everything the host wrote while open, packet by packet.
    const std::vector<Bytes>& written() const { return written_; }
    void clearWritten() { written_.clear(); }

  private:
    QString name_;
    bool open_ = false;
    bool failed_ = false;
    Bytes input_;
    PeerWrite peer_;
    std::optional<std::string> openError_;
    std::optional<std::string> writeError_;
    std::vector<Bytes> written_;
    bool announcePending_ = false;
};

}  // namespace lumora::link
