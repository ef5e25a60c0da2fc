#pragma once

#include <ostream>

#include "cli/cli_options.h"

namespace lumora::cli {

// `corner4 --port P mode|move|reset ...`: the four-corner page's handlers,
// sending exactly what the window's controls send.
int RunCorner4Command(const Options& options, std::ostream& err);

// `hid`: the USB HID probe, its log lines on `out`.
int RunHidCommand(std::ostream& out);

}  // namespace lumora::cli
