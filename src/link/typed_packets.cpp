#include "link/typed_packets.h"

#include <algorithm>
#include <cassert>
#include <span>

#include "link/packets.h"

namespace lumora::link {
namespace {

int HexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

}  // namespace

std::optional<Bytes> TypedHexBytes(const QString& text) {
    QString digits = text;
    digits.remove(QLatin1Char(' '));
    if (digits.size() > kMaxTypedHexDigits) {
        return std::nullopt;
    }
    Bytes bytes;
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2) {
        const int high = HexValue(digits[i]);
        const int low = HexValue(digits[i + 1]);
        if (high < 0 || low < 0) {
            break;
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return bytes;
}

Bytes TypedRegisterPacket(const Bytes& typed) {
    assert(typed.size() >= 2);
    const std::uint8_t args[] = {0x00, typed[0], typed[1]};
    return FramePacket(code::kRead, args);
}

Bytes TypedFreePacket(const Bytes& typed) {
    assert(typed.size() <= kMaxFreePacketBytes);
    // Sized once: GCC's optimiser misreads a push_back followed by an insert.
    Bytes packet(typed.size() + 2);
    packet[0] = static_cast<std::uint8_t>(typed.size() + 2);
    std::copy(typed.begin(), typed.end(), packet.begin() + 1);
    packet.back() = PacketChecksum(std::span(packet).first(packet.size() - 1));
    return packet;
}

}  // namespace lumora::link
