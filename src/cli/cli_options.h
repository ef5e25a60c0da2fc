#pragma once

// Command-line parsing for lumora-warp-cli: pure, so that it can be tested
// without a port.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace lumora::cli {

struct Options {
    std::string command;  // ports, probe, ..., load, export, help, version
    std::string port;
    std::optional<int> channel;
    int bits = 8;
    int waitMs = 300;
    std::vector<std::string> positional;
    bool json = false;
    int width = 0;  // --size WxH; 0 when not given
    int height = 0;
    bool noCorners = false;
    std::string outX;
    std::string outY;
    int slot = 0;       // --slot 1..10, the "Save to Box" button; 0 when not given
    int step = 1;       // --step 1..50, a four-corner move
    std::string input;  // --input IMAGE
    std::string out;    // --out FILE
    std::string mpcdi;  // --mpcdi FILE
    bool sixteenBit = false;
};

inline constexpr int kSlots = 10;

struct UsageError {
    std::string message;
};

// corner4's modes ("2x2", "3x3", "5x3") and move directions ("up", "left",
// "down", "right") as the window's item index and button tag.
std::optional<int> Corner4Mode(const std::string& text);
std::optional<int> Corner4Direction(const std::string& text);

std::variant<Options, UsageError> ParseOptions(const std::vector<std::string>& args);

// Decimal or 0x-hex, no sign, no trailing text.
std::optional<std::uint64_t> ParseNumber(const std::string& text);

// "WxH" (or "WXH"): two whole decimal numbers from 1 to kMaxPictureSide.
inline constexpr int kMaxPictureSide = 65535;
std::optional<std::pair<int, int>> ParseSize(const std::string& text);

// Hex text to bytes, blanks ignored; every byte must be two hex digits.
std::optional<std::vector<std::uint8_t>> ParseHexBytes(const std::vector<std::string>& words);

const char* UsageText();

}  // namespace lumora::cli
