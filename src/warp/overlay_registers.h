#pragma once

// The box's overlay drawing engine as the tool drives it: register numbers
// (bank 0 unless said otherwise) and the values written to them.

#include <cstdint>

namespace lumora::warp::overlay_reg {

inline constexpr std::uint8_t kBankSelect = 0x00;
inline constexpr std::uint8_t kFillColour = 0x40;
inline constexpr std::uint8_t kFillWidth = 0x55;
inline constexpr std::uint8_t kFillHeight = 0x57;
inline constexpr std::uint8_t kFillAddress = 0x5F;
inline constexpr std::uint8_t kEngineControl = 0x3D;
inline constexpr std::uint8_t kEngineStatus = 0x66;
inline constexpr std::uint8_t kDisplayBank = 0x03;
inline constexpr std::uint8_t kDisplaySwitch = 0x60;  // in the display bank

// Values of the engine control register.
inline constexpr std::uint8_t kStartFill = 0x41;
inline constexpr std::uint8_t kMarkerPassDone = 0x40;
inline constexpr std::uint8_t kEngineStop = 0x00;
// Bit of the status register while a fill runs.
inline constexpr std::uint8_t kStatusBusy = 0x01;

}  // namespace lumora::warp::overlay_reg
