#include "cli/cli_commands.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>

#include "base/version_line.h"
#include "cli/box_connection.h"
#include "cli/export_command.h"
#include "cli/info_command.h"
#include "cli/load_command.h"
#include "cli/map_command.h"
#include "cli/ports_command.h"
#include "cli/render_command.h"
#include "cli/service_commands.h"
#include "cli/store_command.h"
#include "link/link.h"
#include "link/link_error.h"
#include "link/packets.h"
#include "link/port_list.h"
#include "link/typed_packets.h"

namespace lumora::cli {
namespace {

std::string Hex(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (std::uint8_t b : bytes) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%s%02X", text.empty() ? "" : " ", b);
        text += buf;
    }
    return text;
}

int Probe(const Options& options, std::ostream& out, std::ostream& err) {
    OpenLink port(options);
    const auto connected = ConnectToBox(port, options.port, err);
    if (const int* code = std::get_if<int>(&connected)) {
        return *code;
    }
    const auto& size = std::get<link::PictureSize>(connected);
    out << size.width << " x " << size.height << "\n";
    return kExitDone;
}

int Read(const Options& options, std::ostream& out, std::ostream& err) {
    const auto reg = ParseNumber(options.positional[0]);
    if (!reg || *reg > 0xFF) {
        err << "lumora-warp-cli: REG must be 0..255\n";
        return kExitUsage;
    }
    OpenLink port(options);
    std::optional<std::uint8_t> value;
    try {
        value = port.link.read(static_cast<std::uint8_t>(*options.channel),
                               static_cast<std::uint8_t>(*reg));
    } catch (const link::WaitAborted&) {
        return LineBroke(port, err);
    }
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
    OpenLink port(options);
    switch (options.bits) {
        case 16:
            port.link.write16(channel, r, static_cast<std::uint16_t>(*value));
            break;
        case 32:
            port.link.write32(channel, r, static_cast<std::uint32_t>(*value));
            break;
        default:
            port.link.write8(channel, r, static_cast<std::uint8_t>(*value));
            break;
    }
    port.link.transport().drain();
    return kExitDone;
}

int Send(const Options& options, std::ostream& out, std::ostream& err) {
    const auto bytes = ParseHexBytes(options.positional);
    if (!bytes || bytes->size() > link::kMaxFreePacketBytes) {
        err << "lumora-warp-cli: give 1 to 253 bytes as pairs of hex digits, e.g. 21 00 52\n";
        return kExitUsage;
    }
    // Framed as the window's typed free packet (Button6).
    const link::Bytes packet = link::TypedFreePacket(*bytes);

    OpenLink port(options);
    port.link.router().observeAll([&out](const link::Reply& r) {
        const std::uint8_t reply[] = {r.code, r.b1, r.b2};
        out << "reply: " << Hex(reply) << "\n";
    });
    QObject::connect(&port.link, &link::Link::notice, &port.link,
                     [&err](const QString& line) { err << line.toStdString() << "\n"; });
    out << "sent: " << Hex(packet) << "\n";
    port.link.send(packet);
    if (!port.serveFor(std::chrono::milliseconds(options.waitMs))) {
        return LineBroke(port, err);
    }
    return kExitDone;
}

}  // namespace

int RunCommand(const Options& options, std::ostream& out, std::ostream& err) {
    try {
        if (options.command == "help") {
            out << UsageText();
            return kExitDone;
        }
        if (options.command == "version") {
            out << base::VersionLine("lumora-warp-cli");
            return kExitDone;
        }
        if (options.command == "ports") {
            PrintPorts(link::DescribePorts(), out);
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
        if (options.command == "store")
            return RunStoreCommand(options, out, err);
        if (options.command == "load")
            return RunLoadCommand(options, out, err);
        if (options.command == "render")
            return RunRenderCommand(options, out, err);
        if (options.command == "export")
            return RunExportCommand(options, out, err);
        if (options.command == "corner4")
            return RunCorner4Command(options, err);
        if (options.command == "hid")
            return RunHidCommand(out);
    } catch (const link::LinkError& error) {
        err << "lumora-warp-cli: " << error.what() << "\n";
        return kExitPortFailed;
    }
    err << "lumora-warp-cli: unknown command " << options.command << "\n";
    return kExitUsage;
}

}  // namespace lumora::cli
