#pragma once

// Writes a set of files that belong together (the two warp tables, a settings
// file) so that either all of them are replaced or none is touched.

#include <cstdint>
#include <span>
#include <string>

namespace lumora::base {

struct WholeFile {
    std::string path;
    std::span<const std::uint8_t> bytes;
};

// Writes each file's bytes to a temporary beside it and renames the
// temporaries into place only once all are complete. A symbolic link stays a
// link: the file it points to is replaced. A target that exists and is not a
// regular file (a device such as /dev/null, a FIFO) is written directly, never
// renamed over; those writes come before the renames, so one that fails still
// leaves every regular target as it was. Directories and sockets are refused.
// Returns an error text naming the file and the reason, empty on success.
std::string WriteWholeFiles(std::span<const WholeFile> files);

}  // namespace lumora::base
