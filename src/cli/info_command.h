#pragma once

#include <ostream>

#include "cli/cli_options.h"

namespace lumora::cli {

// `info FILE.lwf [--json]`: what the loader would take from a settings file.
int RunInfoCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace lumora::cli
