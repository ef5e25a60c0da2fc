#include "cli/map_command.h"

#include "cli/cli_commands.h"

namespace lumora::cli {

// Stands in until the warp map computation is wired to the command.
int RunMapCommand(const Options&, std::ostream&, std::ostream& err) {
    err << "map: not built yet\n";
    return kExitUsage;
}

}  // namespace lumora::cli
