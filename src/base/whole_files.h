#pragma once

// Writes a set of files that belong together (the two warp tables, a settings
// file) so that either all of them are replaced or none is touched.

#include <sys/types.h>

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace lumora::base {

struct WholeFile {
    std::string path;
    std::span<const std::uint8_t> bytes;
};

struct WholeFileOptions {
    // Each file reaches the disk before it is renamed into place, so it also
    // survives a crash. Without, readers still see only whole files, and a
    // caller that must answer promptly is not held up by a busy disk.
    bool sync = true;
    // Permissions of a file that does not exist yet, less the umask; a
    // replaced file keeps its own.
    mode_t newFileMode = 0666;
};

// Writes each file's bytes to a temporary beside it and renames the
// temporaries into place only once all are complete. A symbolic link stays a
// link: the file it points to is replaced. A target that exists and is not a
// regular file (a device such as /dev/null, a FIFO) is written directly, never
// renamed over; those writes come before the renames, so one that fails still
// leaves every regular target as it was. Directories and sockets are refused.
// Returns an error text naming the file and the reason, empty on success.
std::string WriteWholeFiles(std::span<const WholeFile> files, const WholeFileOptions& options = {});

// The same for one file of text.
std::string WriteWholeFile(const std::string& path, std::string_view text,
                           const WholeFileOptions& options = {});

}  // namespace lumora::base
