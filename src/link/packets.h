#pragma once

// Builders for every command packet the tool sends to the box. Each one is a
// pure function: [length][command][arguments][checksum], 16- and 32-bit values
// least significant byte first, checksum = 8-bit sum of all bytes before it.

#include <array>
#include <cstdint>
#include <span>

#include "link/bytes.h"

namespace lumora::link {

std::uint8_t PacketChecksum(std::span<const std::uint8_t> bytes);

// Frames command + arguments with the length byte and the checksum.
Bytes FramePacket(std::uint8_t command, std::span<const std::uint8_t> arguments);

// Register access and connection.
Bytes ReadRegisterPacket(std::uint8_t channel, std::uint8_t reg);
Bytes WriteRegister8Packet(std::uint8_t channel, std::uint8_t reg, std::uint8_t value);
Bytes WriteRegister16Packet(std::uint8_t channel, std::uint8_t reg, std::uint16_t value);
Bytes WriteRegister32Packet(std::uint8_t channel, std::uint8_t reg, std::uint32_t value);
Bytes ConnectRequestPacket();
Bytes WarpResetPacket(std::uint8_t channel);

// Picture and geometry commands.
Bytes FourCornerResetPacket(std::uint8_t channel);
Bytes FourCornerModePacket(std::uint8_t first, std::uint8_t mode);
Bytes FourCornerMovePacket(std::uint8_t first, std::uint8_t point, int direction, int step);
Bytes BlendWidthPacket(std::uint8_t channel, int edge, std::uint16_t width);
Bytes BlendMarkerPacket(std::uint8_t channel, bool on);
Bytes BlendOffsetPacket(std::uint8_t channel, std::uint16_t which, std::uint16_t value);
Bytes BlendWindowPacket(std::uint8_t channel, const std::array<std::uint16_t, 6>& values);
Bytes BlendGammaPacket(std::uint8_t channel, std::uint16_t value);
Bytes PatternEnablePacket(std::uint8_t channel, std::uint8_t colour, bool on);
Bytes PatternGridSizePacket(std::uint8_t channel, std::uint8_t horizontal, std::uint8_t vertical);

// Warp-map transfer packets.
inline constexpr std::size_t kMapBlockEntries = 26;
inline constexpr std::size_t kMapBlockPacketSize = 58;
using MapBlock = std::array<std::uint8_t, kMapBlockPacketSize>;
// Built in place so that a transfer of 750 blocks allocates nothing.
void BuildMapBlockPacket(MapBlock& out, std::uint8_t command, std::uint8_t table,
                         std::uint8_t block, std::uint8_t offset,
                         std::span<const std::int16_t, kMapBlockEntries> entries);
Bytes LiveTransferEndPacket(std::uint8_t channel);
Bytes StoreSlotPacket(std::uint8_t slot, std::uint8_t pass);

// Diagnostic packets 0xF0 and 0xF1.
Bytes DiagnosticPacket(std::uint8_t command);

// Command codes, shared with the reply dispatch and the virtual box.
namespace code {
inline constexpr std::uint8_t kFourCornerReset = 0x10;
inline constexpr std::uint8_t kWrite8 = 0x20;
inline constexpr std::uint8_t kRead = 0x21;
inline constexpr std::uint8_t kWrite16 = 0x22;
inline constexpr std::uint8_t kWrite32 = 0x23;
inline constexpr std::uint8_t kConnect = 0x30;
inline constexpr std::uint8_t kWarpReset = 0x31;
inline constexpr std::uint8_t kFourCornerMode = 0x70;
inline constexpr std::uint8_t kFourCornerMove = 0x80;
inline constexpr std::uint8_t kBlendWidth = 0x91;
inline constexpr std::uint8_t kBlendMarker = 0x92;
inline constexpr std::uint8_t kBlendOffset = 0x93;
inline constexpr std::uint8_t kBlendWindow = 0x94;
inline constexpr std::uint8_t kBlendGamma = 0x95;
inline constexpr std::uint8_t kPatternEnable = 0xA0;
inline constexpr std::uint8_t kPatternGridSize = 0xA1;
inline constexpr std::uint8_t kLiveBlock = 0xE0;
inline constexpr std::uint8_t kLiveEnd = 0xE1;
inline constexpr std::uint8_t kSaveBlock = 0xE2;
inline constexpr std::uint8_t kSaveStore = 0xE3;
inline constexpr std::uint8_t kDiagnostic0 = 0xF0;
inline constexpr std::uint8_t kDiagnostic1 = 0xF1;
}  // namespace code

}  // namespace lumora::link
