#pragma once

// Opening a port for a command and the connect-then-size exchange that
// `probe` and `store` both start with.

#include <chrono>
#include <ostream>
#include <string>
#include <variant>

#include "cli/cli_options.h"
#include "link/link.h"
#include "link/picture_size.h"

namespace lumora::cli {

// The port commands talk to the box through the link alone: no feature area
// is wired to it, so nothing is sent but what the command itself sends, and
// no reply sets anything off. Opening throws LinkError.
struct OpenLink {
    explicit OpenLink(const Options& options);

    // Serves the line for `bound`; false when it broke meanwhile.
    bool serveFor(std::chrono::milliseconds bound);

    link::Link link;
    std::string broken;  // the line's message once it broke
    // Kept here, not on a caller's stack: a late 0x30 reply may still come.
    bool connectAnswered = false;
};

// Says why the line broke; the exit code.
int LineBroke(const OpenLink& port, std::ostream& err);

// Sends the connect request, waits for its answer and reads the picture size.
// The size, or the exit code once `err` has been told why there is none.
std::variant<link::PictureSize, int> ConnectToBox(OpenLink& port, const std::string& portName,
                                                  std::ostream& err);

}  // namespace lumora::cli
