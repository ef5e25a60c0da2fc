#pragma once

#include <ostream>

#include "link/port_details.h"

namespace lumora::cli {

// One line per port: its name, then the adapter's vendor:product and
// description where known; below it, indented, each stable name, any of
// which the port commands take for --port.
void PrintPorts(const std::vector<link::PortDetails>& ports, std::ostream& out);

}  // namespace lumora::cli
