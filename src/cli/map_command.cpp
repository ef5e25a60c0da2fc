#include "cli/map_command.h"

#include <memory>
#include <vector>

#include "base/whole_files.h"
#include "cli/cli_commands.h"
#include "cli/map_from_settings.h"

namespace lumora::cli {

int RunMapCommand(const Options& options, std::ostream& out, std::ostream& err) {
    auto image = std::make_unique<settings::SettingsImage>();
    if (!ReadSettingsFile(options.positional.front(), "map", *image, err)) {
        return kExitFileFailed;
    }

    const MapRequest request{*options.channel, options.width, options.height, !options.noCorners};
    auto computer = std::make_unique<warp::WarpMapComputer>();
    const auto result = MapFromSettings(*image, request, *computer);
    if (const auto* fault = std::get_if<std::string>(&result)) {
        err << "map: " << *fault << "\n";
        return kExitRefused;
    }
    const auto& map = std::get<warp::WarpMap>(result);
    // Both tables or neither: a pair from two different runs would look valid.
    const auto x = warp::WarpMap::TableBytes(map.x);
    const auto y = warp::WarpMap::TableBytes(map.y);
    const base::WholeFile tables[] = {{options.outX, x}, {options.outY, y}};
    if (const std::string error = base::WriteWholeFiles(tables); !error.empty()) {
        err << "map: " << error << "\n";
        return kExitFileFailed;
    }
    out << "Channel " << (request.channel == 0 ? 'A' : 'B') << ", " << request.width << " x "
        << request.height << (request.cornerProjection ? "" : ", without the corner shift")
        << ": wrote " << options.outX << " and " << options.outY << "\n";
    return kExitDone;
}

}  // namespace lumora::cli
