#pragma once

#include <ostream>

#include "cli/cli_options.h"

namespace lumora::cli {

enum ExitCode : int {
    kExitDone = 0,
    kExitUsage = 2,
    kExitNoAnswer = 3,
    kExitPortFailed = 4,
    kExitFileFailed = 5,
    kExitRefused = 6,
};

// Runs one parsed command; the port commands need a QCoreApplication.
int RunCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace lumora::cli
