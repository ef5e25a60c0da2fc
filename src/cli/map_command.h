#pragma once

#include <ostream>

#include "cli/cli_options.h"

namespace lumora::cli {

// `map FILE.lwf --channel A|B --size WxH [--no-corners] --out-x X --out-y Y`:
// the warp map a move of that channel would send, as two raw tables.
int RunMapCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace lumora::cli
