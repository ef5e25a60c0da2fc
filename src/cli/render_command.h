#pragma once

#include <ostream>

#include "cli/cli_options.h"

namespace lumora::cli {

// `render FILE.lwf --channel A|B --size WxH [--input IMAGE] --out OUT.png
// [--16bit]`: the channel's output as the box would show it, no box needed.
int RunRenderCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace lumora::cli
