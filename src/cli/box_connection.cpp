#include "cli/box_connection.h"

#include <memory>

#include "cli/cli_commands.h"
#include "link/packets.h"
#include "link/serial_transport.h"

namespace lumora::cli {
namespace {

// How long the box gets to answer the connect request.
constexpr std::chrono::milliseconds kConnectAnswer{2000};

}  // namespace

OpenLink::OpenLink(const Options& options) : link(std::make_unique<link::SerialTransport>()) {
    QObject::connect(&link, &link::Link::lineBroke, &link,
                     [this](const QString& message) { broken = message.toStdString(); });
    link.setPortName(QString::fromStdString(options.port));
    link.open();
    link.clearBuffers();
}

bool OpenLink::serveFor(std::chrono::milliseconds bound) {
    try {
        link.serveUntil([this] { return !broken.empty(); }, bound);
    } catch (const link::WaitAborted&) {
    }
    return broken.empty();
}

int LineBroke(const OpenLink& port, std::ostream& err) {
    err << "lumora-warp-cli: " << port.broken << "\n";
    return kExitPortFailed;
}

std::variant<link::PictureSize, int> ConnectToBox(OpenLink& port, const std::string& portName,
                                                  std::ostream& err) {
    port.link.router().route(link::code::kConnect,
                             [&port](const link::Reply&) { port.connectAnswered = true; });
    port.link.send(link::ConnectRequestPacket());
    try {
        port.link.serveUntil([&port] { return port.connectAnswered; }, kConnectAnswer);
    } catch (const link::WaitAborted&) {
    }
    if (!port.broken.empty()) {
        return LineBroke(port, err);
    }
    if (!port.connectAnswered) {
        err << "lumora-warp-cli: the box on " << portName
            << " did not answer the connect request; check the cable and that the box is on\n";
        return kExitNoAnswer;
    }
    link::PictureSizeRead read;
    try {
        read = link::ReadPictureSize(port.link);
    } catch (const link::WaitAborted&) {
        return LineBroke(port, err);
    }
    if (!read.size) {
        if (read.answered == 0) {
            err << "lumora-warp-cli: the box answered the connect request but not the picture "
                   "size reads\n";
            return kExitNoAnswer;
        }
        err << "lumora-warp-cli: " << link::kPictureSizeUnreadText << "\n";
        return kExitPortFailed;
    }
    return *read.size;
}

}  // namespace lumora::cli
