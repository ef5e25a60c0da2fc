#pragma once

// What the uniformity page writes to the box: the nine bytes of one point,
// and the cursor marker drawn into the overlay plane.

#include <array>
#include <cstdint>

#include "link/register_port.h"

namespace lumora::picture {

// One point as a 72-bit value, least significant byte first: three copies
// of the 10-bit offset (two's complement), then three of the 14-bit gain.
using PointData = std::array<std::uint8_t, 9>;
PointData EncodePoint(int gain, int offset);

// Registers of bank 1.
namespace uniformity_reg {
inline constexpr std::uint8_t kBankSelect = 0x00;
inline constexpr std::uint8_t kBank = 0x01;
inline constexpr std::uint8_t kMode = 0x24;  // 2 while points are written, then the enable state
inline constexpr std::uint8_t kPointIndex = 0x25;  // low byte, then high byte
inline constexpr std::uint8_t kPointData = 0x26;   // nine bytes per point
inline constexpr std::uint8_t kWriting = 0x02;
}  // namespace uniformity_reg

// Draws (or with draw false erases) the cursor marker of point (x, y) of the
// 64-pixel uniformity grid: a square of about 64 pixels around the point
// with a cross through it, in six fills, each awaited. Points on row or
// column 0 give positions above or left of the picture; they are sent as
// they come.
void DrawCursorMarker(link::RegisterPort& port, std::uint8_t channel, int x, int y, bool draw);

}  // namespace lumora::picture
