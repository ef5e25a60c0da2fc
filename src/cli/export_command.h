#pragma once

#include <ostream>

#include "cli/cli_options.h"

namespace lumora::cli {

// `export FILE.lwf --size WxH --mpcdi OUT.mpcdi`: both channels' warp and
// edge blend as an MPCDI 2.0 file of the "2d" profile, for other tools.
int RunExportCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace lumora::cli
