#pragma once

// What `--version` prints, the same for every program of the tool.

#include <string>
#include <string_view>

namespace lumora::base {

// "PROGRAM VERSION\n", e.g. "lumora-warp-cli 0.1.0.0\n".
std::string VersionLine(std::string_view program);

// Whether the arguments ask for the version (--version or -v), so that a
// program can answer before it needs a display.
bool AsksForVersion(int argc, const char* const* argv);

}  // namespace lumora::base
