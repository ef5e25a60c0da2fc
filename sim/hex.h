#pragma once

// Hex text for the packet log and the stray-bytes option.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/bytes.h"

namespace lumora::sim {

// "04 30 00 34": uppercase pairs separated by single spaces.
std::string FormatHex(std::span<const std::uint8_t> bytes);

// Accepts pairs of hex digits, optionally separated by spaces, commas or
// colons ("FF", "ff 00", "0A,0B"). Nothing valid, or an odd digit, gives nullopt.
std::optional<link::Bytes> ParseHex(std::string_view text);

}  // namespace lumora::sim
