#pragma once

// Command line of lumora-boxsim.

#include <optional>
#include <span>
#include <string>

#include "sim/box_config.h"

namespace lumora::sim {

struct Options {
    BoxConfig box;
    std::string logFile;             // empty: no packet log
    std::string portFile;            // empty: no port file
    std::string overlayPngDir;       // empty: no overlay pictures
    std::string outputPngDir;        // empty: no output pictures
    std::string inputImage;          // empty: the built-in test card
    std::string mapsDir;             // empty: warp maps are not written out
    std::string stateJson;           // empty: the picture state is not written out
    std::optional<int> hangUpAfter;  // hang up the line after this many good packets
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    std::optional<Options> options;  // unset on bad usage
    std::string error;               // why, for the message before the usage text
};

// `args` are the arguments after the program name.
ParsedOptions ParseOptions(std::span<const std::string> args);

std::string UsageText();

}  // namespace lumora::sim
