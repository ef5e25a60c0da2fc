#include "link/packets.h"

#include <numeric>

namespace lumora::link {
namespace {

void PutLe16(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

}  // namespace

std::uint8_t PacketChecksum(std::span<const std::uint8_t> bytes) {
    return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u));
}

Bytes FramePacket(std::uint8_t command, std::span<const std::uint8_t> arguments) {
    Bytes packet;
    packet.reserve(arguments.size() + 3);
    packet.push_back(static_cast<std::uint8_t>(arguments.size() + 3));
    packet.push_back(command);
    packet.insert(packet.end(), arguments.begin(), arguments.end());
    packet.push_back(PacketChecksum(packet));
    return packet;
}

Bytes ReadRegisterPacket(std::uint8_t channel, std::uint8_t reg) {
    const std::uint8_t args[] = {channel, reg};
    return FramePacket(code::kRead, args);
}

Bytes WriteRegister8Packet(std::uint8_t channel, std::uint8_t reg, std::uint8_t value) {
    const std::uint8_t args[] = {channel, reg, value};
    return FramePacket(code::kWrite8, args);
}

Bytes WriteRegister16Packet(std::uint8_t channel, std::uint8_t reg, std::uint16_t value) {
    Bytes args{channel, reg};
    PutLe16(args, value);
    return FramePacket(code::kWrite16, args);
}

Bytes WriteRegister32Packet(std::uint8_t channel, std::uint8_t reg, std::uint32_t value) {
    Bytes args{channel, reg};
    PutLe16(args, static_cast<std::uint16_t>(value & 0xFFFF));
    PutLe16(args, static_cast<std::uint16_t>(value >> 16));
    return FramePacket(code::kWrite32, args);
}

Bytes ConnectRequestPacket() {
    const std::uint8_t args[] = {0x00};
    return FramePacket(code::kConnect, args);
}

Bytes WarpResetPacket(std::uint8_t channel) {
    const std::uint8_t args[] = {channel};
    return FramePacket(code::kWarpReset, args);
}

Bytes FourCornerResetPacket(std::uint8_t channel) {
    const std::uint8_t args[] = {channel};
    return FramePacket(code::kFourCornerReset, args);
}

Bytes FourCornerModePacket(std::uint8_t first, std::uint8_t mode) {
    const std::uint8_t args[] = {first, mode};
    return FramePacket(code::kFourCornerMode, args);
}

Bytes FourCornerMovePacket(std::uint8_t first, std::uint8_t point, int direction, int step) {
    // Up and left (0, 1) move by minus the step, down and right (2, 3) by plus it.
    const int amount = (direction == 2 || direction == 3) ? step : -step;
    Bytes args{first, point, static_cast<std::uint8_t>(direction & 1)};
    PutLe16(args, static_cast<std::uint16_t>(amount));
    return FramePacket(code::kFourCornerMove, args);
}

Bytes BlendWidthPacket(std::uint8_t channel, int edge, std::uint16_t width) {
    Bytes args{channel};
    PutLe16(args, static_cast<std::uint16_t>(1u << (edge & 0xF)));
    PutLe16(args, width);
    return FramePacket(code::kBlendWidth, args);
}

Bytes BlendMarkerPacket(std::uint8_t channel, bool on) {
    Bytes args{channel};
    PutLe16(args, on ? 1 : 0);
    return FramePacket(code::kBlendMarker, args);
}

Bytes BlendOffsetPacket(std::uint8_t channel, std::uint16_t which, std::uint16_t value) {
    Bytes args{channel};
    PutLe16(args, which);
    PutLe16(args, value);
    return FramePacket(code::kBlendOffset, args);
}

Bytes BlendWindowPacket(std::uint8_t channel, const std::array<std::uint16_t, 6>& values) {
    Bytes args{channel};
    for (std::uint16_t v : values) {
        PutLe16(args, v);
    }
    return FramePacket(code::kBlendWindow, args);
}

Bytes BlendGammaPacket(std::uint8_t channel, std::uint16_t value) {
    Bytes args{channel};
    PutLe16(args, value);
    return FramePacket(code::kBlendGamma, args);
}

Bytes PatternEnablePacket(std::uint8_t channel, std::uint8_t colour, bool on) {
    const std::uint8_t args[] = {channel, colour, static_cast<std::uint8_t>(on ? 1 : 0)};
    return FramePacket(code::kPatternEnable, args);
}

Bytes PatternGridSizePacket(std::uint8_t channel, std::uint8_t horizontal, std::uint8_t vertical) {
    const std::uint8_t args[] = {channel, horizontal, vertical};
    return FramePacket(code::kPatternGridSize, args);
}

void BuildMapBlockPacket(MapBlock& out, std::uint8_t command, std::uint8_t table,
                         std::uint8_t block, std::uint8_t offset,
                         std::span<const std::int16_t, kMapBlockEntries> entries) {
    out[0] = static_cast<std::uint8_t>(kMapBlockPacketSize);
    out[1] = command;
    out[2] = table;
    out[3] = block;
    out[4] = offset;
    for (std::size_t i = 0; i < kMapBlockEntries; ++i) {
        const auto v = static_cast<std::uint16_t>(entries[i]);
        out[5 + 2 * i] = static_cast<std::uint8_t>(v & 0xFF);
        out[6 + 2 * i] = static_cast<std::uint8_t>(v >> 8);
    }
    out[kMapBlockPacketSize - 1] =
        PacketChecksum(std::span<const std::uint8_t>(out.data(), kMapBlockPacketSize - 1));
}

Bytes LiveTransferEndPacket(std::uint8_t channel) {
    const std::uint8_t args[] = {channel};
    return FramePacket(code::kLiveEnd, args);
}

Bytes StoreSlotPacket(std::uint8_t slot, std::uint8_t pass) {
    const std::uint8_t args[] = {slot, pass};
    return FramePacket(code::kSaveStore, args);
}

Bytes DiagnosticPacket(std::uint8_t command) {
    const std::uint8_t args[] = {0xF0, 0xF0, 0xF0};
    return FramePacket(command, args);
}

}  // namespace lumora::link
