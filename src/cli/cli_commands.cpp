#include "cli/cli_commands.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <memory>

#include "cli/info_command.h"
#include "cli/map_command.h"
#include "core/session.h"
#include "link/link_error.h"
#include "link/packets.h"
#include "link/port_list.h"
#include "link/serial_transport.h"

namespace lumora::cli {
namespace {

// How long the box gets to answer the connect request.
constexpr int kConnectAnswerMs = 2000;
// Timer1's tick plus four register reads, each bounded by the read time-out.
constexpr int kPictureSizeMs = 5000;

std::string Hex(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::uint8_t b : bytes) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%s%02X", text.empty() ? "" : " ", b);
        text += buf;
    }
    return text;
}

// Serves the event loop until done() holds or the bound passes.
bool WaitFor(QObject* context, const std::function<bool()>& done, int boundMs) {
    QEventLoop loop;
    QTimer poll;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&poll, &QTimer::timeout, context, [&] {
        if (done())
            loop.quit();
    });
    deadline.start(boundMs);
    poll.start(5);
    if (!done()) {
        loop.exec();
    }
    return done();
}

std::unique_ptr<core::Session> OpenSession(const Options& options) {
    auto session = std::make_unique<core::Session>(std::make_unique<link::SerialTransport>());
    session->link().setPortName(QString::fromStdString(options.port));
    session->link().open();
    session->link().clearBuffers();
    return session;
}

int Probe(const Options& options, std::ostream& out, std::ostream& err) {
    core::Session session(std::make_unique<link::SerialTransport>());
    session.setSelectedPort(QString::fromStdString(options.port));
    session.CNTBtnClick();
    if (session.connectionState() == core::ConnectionState::Disconnected) {
        err << "lumora-warp-cli: " << session.lastError().toStdString() << "\n";
        return kExitPortFailed;
    }
    if (!WaitFor(
            &session, [&] { return session.connectionState() == core::ConnectionState::Connected; },
            kConnectAnswerMs)) {
        err << "lumora-warp-cli: the box on " << options.port
            << " did not answer the connect request; check the cable and that the box is on\n";
        return kExitNoAnswer;
    }
    const QString before = session.window().resolution;
    WaitFor(
        &session,
        [&] { return session.window().resolution != before || !session.lastError().isEmpty(); },
        kPictureSizeMs);
    if (session.window().resolution == before || session.link().boxSilent()) {
        err << "lumora-warp-cli: the box answered the connect request but not the picture size "
               "reads\n";
        return kExitNoAnswer;
    }
    if (!session.lastError().isEmpty()) {
        err << "lumora-warp-cli: " << session.lastError().toStdString() << "\n";
        return kExitPortFailed;
    }
    out << session.window().resolution.toStdString() << "\n";
    return kExitDone;
}

int Read(const Options& options, std::ostream& out, std::ostream& err) {
    const auto reg = ParseNumber(options.positional[0]);
    if (!reg || *reg > 0xFF) {
        err << "lumora-warp-cli: REG must be 0..255\n";
        return kExitUsage;
    }
    auto session = OpenSession(options);
    const auto value = session->link().readRegisterChecked(
        static_cast<std::uint8_t>(*options.channel), static_cast<std::uint8_t>(*reg));
    if (!value) {
        err << "lumora-warp-cli: no reply to the register read within "
            << link::Link::kDefaultReadTimeout.count() << " ms\n";
        return kExitNoAnswer;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", *value);
    out << static_cast<int>(*value) << " (" << hex << ")\n";
    return kExitDone;
}

int Write(const Options& options, std::ostream& err) {
    const auto reg = ParseNumber(options.positional[0]);
    const auto value = ParseNumber(options.positional[1]);
    const std::uint64_t limit = options.bits == 32 ? 0xFFFFFFFFull : (1ull << options.bits) - 1;
    if (!reg || *reg > 0xFF || !value || *value > limit) {
        err << "lumora-warp-cli: REG must be 0..255 and VALUE must fit in " << options.bits
            << " bits\n";
        return kExitUsage;
    }
    const auto channel = static_cast<std::uint8_t>(*options.channel);
    const auto r = static_cast<std::uint8_t>(*reg);
    link::Bytes packet;
    switch (options.bits) {
        case 16:
            packet = link::WriteRegister16Packet(channel, r, static_cast<std::uint16_t>(*value));
            break;
        case 32:
            packet = link::WriteRegister32Packet(channel, r, static_cast<std::uint32_t>(*value));
            break;
        default:
            packet = link::WriteRegister8Packet(channel, r, static_cast<std::uint8_t>(*value));
            break;
    }
    auto session = OpenSession(options);
    session->send(packet);
    session->link().transport().drain();
    return kExitDone;
}

int Send(const Options& options, std::ostream& out, std::ostream& err) {
    const auto bytes = ParseHexBytes(options.positional);
    if (!bytes || bytes->size() > 253) {
        err << "lumora-warp-cli: give 1 to 253 bytes as pairs of hex digits, e.g. 21 00 52\n";
        return kExitUsage;
    }
    // The typed bytes follow the length byte directly; the first takes the
    // place of the command code.
    link::Bytes packet;
    packet.push_back(static_cast<std::uint8_t>(bytes->size() + 2));
    packet.insert(packet.end(), bytes->begin(), bytes->end());
    packet.push_back(link::PacketChecksum(packet));

    auto session = OpenSession(options);
    QObject::connect(&session->link(), &link::Link::replyReceived, &session->link(),
                     [&out](link::Reply r) {
                         const std::uint8_t reply[] = {r.code, r.b1, r.b2};
                         out << "reply: " << Hex(reply) << "\n";
                     });
    out << "sent: " << Hex(packet) << "\n";
    session->send(packet);
    WaitFor(
        session.get(), [] { return false; }, options.waitMs);
    return kExitDone;
}

}  // namespace

int RunCommand(const Options& options, std::ostream& out, std::ostream& err) {
    try {
        if (options.command == "help") {
            out << UsageText();
            return kExitDone;
        }
        if (options.command == "ports") {
            for (const QString& port : link::ListPorts()) {
                out << port.toStdString() << "\n";
            }
            return kExitDone;
        }
        if (options.command == "probe")
            return Probe(options, out, err);
        if (options.command == "read")
            return Read(options, out, err);
        if (options.command == "write")
            return Write(options, err);
        if (options.command == "send")
            return Send(options, out, err);
        if (options.command == "info")
            return RunInfoCommand(options, out, err);
        if (options.command == "map")
            return RunMapCommand(options, out, err);
    } catch (const link::LinkError& error) {
        err << "lumora-warp-cli: " << error.what() << "\n";
        return kExitPortFailed;
    }
    err << "lumora-warp-cli: unknown command " << options.command << "\n";
    return kExitUsage;
}

}  // namespace lumora::cli
