#include "base/version_line.h"

#include "lumora_version.h"

namespace lumora::base {

std::string VersionLine(std::string_view program) {
    return std::string(program) + " " + version::kText + "\n";
}

bool AsksForVersion(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--version" || arg == "-v") {
            return true;
        }
    }
    return false;
}

}  // namespace lumora::base
