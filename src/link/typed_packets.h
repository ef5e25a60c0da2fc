#pragma once

// Packets typed as hex text by a technician: the service entry box of the
// window and `lumora-warp-cli send` build them here.

#include <QString>
#include <optional>

#include "link/bytes.h"

namespace lumora::link {

// More typed text than this is refused: the converted bytes would not fit
// the 512-byte buffer the box's tools assume.
inline constexpr qsizetype kMaxTypedHexDigits = 1024;
// More bytes than this would wrap the free packet's length byte.
inline constexpr std::size_t kMaxFreePacketBytes = 253;

// Blanks removed, two hex digits per byte from the start, up to the first
// pair that is not two hex digits (an odd last digit is dropped). Nullopt
// for text of more than kMaxTypedHexDigits once the blanks are gone.
std::optional<Bytes> TypedHexBytes(const QString& text);

// 06 21 00, the first two bytes, checksum: a register read of the typed
// channel and register. Needs two bytes.
Bytes TypedRegisterPacket(const Bytes& typed);
// [n + 2][the n bytes][checksum]: the first byte stands where the command
// code goes. At most kMaxFreePacketBytes.
Bytes TypedFreePacket(const Bytes& typed);

}  // namespace lumora::link
