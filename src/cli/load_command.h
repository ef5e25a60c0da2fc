#pragma once

#include <ostream>

#include "cli/cli_options.h"

namespace lumora::cli {

// `load --port P FILE.lwf`: restores a box from a settings file without a
// display, as an installation does at boot. It connects as the window does
// (the connect request, the set-up after the box's answer) and then sends
// exactly what "Load file" sends, through the same code.
int RunLoadCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace lumora::cli
