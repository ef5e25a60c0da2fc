#pragma once

#include <ostream>

#include "cli/cli_options.h"
#include "core/look_from_settings.h"

namespace lumora::cli {

// Shared with the window's preview.
using core::LookFromSettings;

// `render FILE.lwf --channel A|B --size WxH [--input IMAGE] --out OUT.png
// [--16bit]`: the channel's output as the box would show it, no box needed.
int RunRenderCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace lumora::cli
