#pragma once

#include <ostream>

#include "cli/cli_options.h"

namespace lumora::cli {

enum ExitCode : int {
    kExitDone = 0,
    kExitUsage = 2,
    kExitNoAnswer = 3,
    kExitPortFailed = 4,
};

// Runs one parsed command against the serial port; needs a QCoreApplication.
int RunCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace lumora::cli
