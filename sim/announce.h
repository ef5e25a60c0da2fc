#pragma once

// Where a running box tells others its pty path, and how the files are written.

#include <sys/types.h>
#include <string>

#include "base/whole_files.h"

namespace lumora::sim {

// $LUMORA_BOXSIM_DIR if set, else $XDG_RUNTIME_DIR/lumora-boxsim if that is
// set, else /tmp/lumora-boxsim-<uid>. Empty variables count as unset.
std::string AnnounceDirectory(const char* boxsimDir, const char* runtimeDir, uid_t uid);

// The same from the process environment.
std::string AnnounceDirectoryFromEnvironment();

// Creates `dir` and missing parents (mode 0700). Returns an error text, empty on success.
std::string MakeDirectories(const std::string& dir);

// The folder a box announces in: created with mode 0700 (missing parents as
// above), or, if it exists, accepted only as a real directory of this user's
// with mode 0700. Anyone who can write there could offer the tool a port of
// their choosing. Returns an error text naming the folder, empty on success.
std::string MakeAnnounceDirectory(const std::string& dir);

// How the box replaces its files (base::WriteWholeFiles): whole, but not
// synced. Readers need whole files, not files that outlive a crash, and a
// sync on a busy disk held the reply to a closing packet up by up to 66 ms.
inline constexpr base::WholeFileOptions kBoxFiles{.sync = false, .newFileMode = 0644};

}  // namespace lumora::sim
