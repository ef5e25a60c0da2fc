#include "cli/box_connection.h"

#include <filesystem>
#include <memory>

#include "cli/cli_commands.h"
#include "link/link_error.h"
#include "link/packets.h"
#include "link/serial_transport.h"

namespace lumora::cli {
namespace {

// How long the box gets to answer the connect request.
constexpr std::chrono::milliseconds kConnectAnswer{2000};

// The serial layer words its advice for the window's buttons; a command is
// run again instead.
std::string CommandLineAdvice(std::string message) {
    for (const char* button : {"press Disconnect and Connect again", "press Connect again"}) {
        if (const auto at = message.find(button); at != std::string::npos) {
            message.replace(at, std::string(button).size(), "run the command again");
        }
    }
    return message;
}

// A file or folder opens as nothing the system can call a serial port; say
// what it is rather than the system's error number.
void RefuseWhatIsNoPort(const std::string& port) {
    std::error_code error;
    const auto status = std::filesystem::status(port, error);
    if (error) {
        return;
    }
    if (std::filesystem::is_directory(status)) {
        throw link::LinkError(port + " is a directory, not a serial port");
    }
    if (std::filesystem::is_regular_file(status)) {
        throw link::LinkError(port + " is a regular file, not a serial port");
    }
}

}  // namespace

OpenLink::OpenLink(const Options& options) : link(std::make_unique<link::SerialTransport>()) {
    RefuseWhatIsNoPort(options.port);
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
    err << "lumora-warp-cli: " << CommandLineAdvice(port.broken) << "\n";
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
    // The box is there but did not answer: that is no port failure.
    if (!read.size) {
        if (read.answered == 0) {
            err << "lumora-warp-cli: the box answered the connect request but not the picture "
                   "size reads\n";
        } else {
            err << "lumora-warp-cli: the box did not report its picture size: "
                << link::kPictureSizeReads - read.answered << " of " << link::kPictureSizeReads
                << " register reads got no answer. Check the cable and the box, then run the "
                   "command again.\n";
        }
        return kExitNoAnswer;
    }
    return *read.size;
}

}  // namespace lumora::cli
