#include "picture/uniformity_registers.h"

#include "warp/overlay_fill.h"
#include "warp/overlay_registers.h"

namespace lumora::picture {
namespace {

void PutBits(PointData& data, int first, int count, std::uint32_t value) {
    for (int bit = 0; bit < count; ++bit) {
        if ((value >> bit) & 1u) {
            const int at = first + bit;
            data[static_cast<std::size_t>(at / 8)] |= static_cast<std::uint8_t>(1u << (at % 8));
        }
    }
}

constexpr int kPointSpacing = 64;
constexpr int kHalfSide = 32;

// One fill of the marker and which of its registers it writes: a register
// whose value the fill before left in place is not written again.
struct MarkerFill {
    int dx, dy, width, height;
    std::uint8_t colourMask;
    bool writeColour;
    bool writeSize;
};

constexpr std::array<MarkerFill, 6> kMarker = {{
    {0, -kHalfSide, 2, 65, 0x08, true, true},            // vertical line through the point
    {-kHalfSide, 0, 66, 1, 0x08, false, true},           // horizontal line through it
    {-kHalfSide, -kHalfSide, 2, 65, 0x08, true, true},   // left side
    {-kHalfSide, -kHalfSide, 66, 1, 0x88, true, true},   // top side
    {-kHalfSide, kHalfSide, 66, 1, 0x88, false, false},  // bottom side
    {kHalfSide, -kHalfSide, 2, 65, 0x08, true, true},    // right side
}};

}  // namespace

PointData EncodePoint(int gain, int offset) {
    const auto o = static_cast<std::uint32_t>(offset) & 0x3FFu;
    const auto g = static_cast<std::uint32_t>(gain) & 0x3FFFu;
    PointData data{};
    PutBits(data, 0, 10, o);
    PutBits(data, 10, 10, o);
    PutBits(data, 20, 10, o);
    PutBits(data, 30, 14, g);
    PutBits(data, 44, 14, g);
    PutBits(data, 58, 14, g);
    return data;
}

void DrawCursorMarker(link::RegisterPort& port, std::uint8_t channel, int x, int y, bool draw) {
    using namespace warp::overlay_reg;
    const std::uint8_t value = draw ? 0xFF : 0x00;
    const int px = kPointSpacing * x;
    const int py = kPointSpacing * y;
    port.write8(channel, kBankSelect, 0x00);
    for (const MarkerFill& fill : kMarker) {
        if (fill.writeColour) {
            port.write8(channel, kFillColour, static_cast<std::uint8_t>(value & fill.colourMask));
        }
        if (fill.writeSize) {
            port.write16(channel, kFillWidth, warp::FillWidthRegister(fill.width));
            port.write16(channel, kFillHeight, warp::FillHeightRegister(fill.height));
        }
        port.write32(channel, kFillAddress, warp::FillAddressRegister(px + fill.dx, py + fill.dy));
        port.write8(channel, kEngineControl, kStartFill);
        warp::WaitUntilIdle(port, channel);
    }
}

}  // namespace lumora::picture
