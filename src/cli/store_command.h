#pragma once

#include <ostream>

#include "cli/cli_options.h"

namespace lumora::cli {

// `store --port P --slot N FILE.lwf`: "Save to Box" N with both channels'
// grids taken from a settings file and the picture size from the box.
int RunStoreCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace lumora::cli
