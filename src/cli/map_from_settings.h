#pragma once

// The warp map that a move of one channel would send, computed from a
// settings file alone: the channel's grid, grid size and Internal Grid flag
// from the file, the corners shifted from the nominal frame by the file's
// counters, and the tables starting as the identity map.

#include <string>
#include <variant>

#include "settings/settings_image.h"
#include "warp/warp_map.h"

namespace lumora::cli {

struct MapRequest {
    int channel = 0;  // 0 = A, 1 = B
    int width = 0;
    int height = 0;
    bool cornerProjection = true;  // false: as a save to the box computes it
};

// The map, or the text of the fault that refused it.
std::variant<warp::WarpMap, std::string> MapFromSettings(const settings::SettingsImage& image,
                                                         const MapRequest& request,
                                                         warp::WarpMapComputer& computer);

}  // namespace lumora::cli
