#pragma once

// The warp map that a move of one channel would send, computed from a
// settings file alone: the channel's grid, grid size and Internal Grid flag
// from the file, the corners shifted from the nominal frame by the file's
// counters, and the tables starting as the identity map. `map` writes it;
// `store` sends both channels' maps to the box through the save itself.

#include <ostream>
#include <string>
#include <variant>

#include "settings/settings_image.h"
#include "warp/grid_model.h"
#include "warp/warp_map.h"

namespace lumora::cli {

// Reads a settings file as the loader takes it: bytes beyond the image are
// ignored, and a short file or a foreign header is only warned about on
// `err`, prefixed with `command`. False (and said on `err`) when the file
// cannot be read at all.
bool ReadSettingsFile(const std::string& path, const char* command, settings::SettingsImage& image,
                      std::ostream& err);

// True when `width` x `height` fits the warp map; otherwise says so on `err`,
// prefixed with `command`.
bool PictureSizeFits(int width, int height, const char* command, std::ostream& err);

// Channel c of `model`, on the picture size set there, as the file holds it:
// the nominal lattice and corners, then the file's points, grid size,
// Internal Grid flag and shifted corners, with no scale or offset. The grid
// lines and the recorded grid size and flag that the computation reads are
// held once for both channels and are left as channel c's: load a channel
// just before computing its map.
void LoadChannelFromSettings(const settings::SettingsImage& image, int c, warp::GridModel& model);

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
