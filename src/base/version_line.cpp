#include "base/version_line.h"

#include "lumora_version.h"

namespace lumora::base {

std::string VersionLine(std::string_view program) {
    return std::string(program) + " " + version::kText + "\n";
}

}  // namespace lumora::base
