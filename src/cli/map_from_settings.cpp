#include "cli/map_from_settings.h"

#include <memory>

namespace lumora::cli {

std::variant<warp::WarpMap, std::string> MapFromSettings(const settings::SettingsImage& image,
                                                         const MapRequest& request,
                                                         warp::WarpMapComputer& computer) {
    const int c = request.channel;
    const auto index = static_cast<std::size_t>(c);
    auto model = std::make_unique<warp::GridModel>();
    model->setPictureSize(request.width, request.height);
    // ResetGrid gives the nominal lattice, the work grid and the nominal
    // corners; the file's grid then replaces the points.
    model->ResetGrid(c);
    warp::ChannelGrid& grid = model->channel(c);
    grid.points = image.grids[index];
    grid.internalGrid = image.internalGrid[index];
    model->ApplyGridSize(c, image.gridSize[index]);
    model->recordedGridSize = image.gridSize[index];
    model->recordedInternalGrid = image.internalGrid[index];
    model->transform() = {1.0f, 1.0f, 0.0f, 0.0f};

    const float w = static_cast<float>(request.width);
    const float h = static_cast<float>(request.height);
    grid.cornerBase = {warp::ControlPoint{0.0f, 0.0f}, {w, 0.0f}, {0.0f, h}, {w, h}};
    for (int corner = 0; corner < 4; ++corner) {
        const auto which = static_cast<warp::Corner>(corner);
        const auto k = static_cast<std::size_t>(corner);
        grid.shiftedCorners[k].x =
            grid.cornerBase[k].x + image.cornerShift[static_cast<std::size_t>(
                                       settings::CornerShiftIndex(which, settings::Axis::kX, c))];
        grid.shiftedCorners[k].y =
            grid.cornerBase[k].y + image.cornerShift[static_cast<std::size_t>(
                                       settings::CornerShiftIndex(which, settings::Axis::kY, c))];
    }

    warp::WarpMap map;
    map.setIdentity();
    const auto fault = request.cornerProjection
                           ? warp::ComputeShiftedWarpMap(*model, c, computer, map)
                           : warp::ComputeWarpMap(*model, c, computer, map);
    if (fault) {
        return fault->message;
    }
    return map;
}

}  // namespace lumora::cli
