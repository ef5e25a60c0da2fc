#pragma once

// What `--version` prints, the same for every program of the tool.

#include <string>
#include <string_view>

namespace lumora::base {

// "PROGRAM VERSION\n", e.g. "lumora-warp-cli 0.1.0.0\n".
std::string VersionLine(std::string_view program);

}  // namespace lumora::base
