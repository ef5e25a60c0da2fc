#include "cli/map_from_settings.h"

#include <QByteArray>
#include <QFile>
#include <memory>

namespace lumora::cli {

bool PictureSizeFits(int width, int height, const char* command, std::ostream& err) {
    if (width <= warp::WarpMap::kMaxWidth && height <= warp::WarpMap::kMaxHeight) {
        return true;
    }
    err << command << ": the picture size " << width << " x " << height
        << " is larger than the warp map holds (at most " << warp::WarpMap::kMaxWidth << " x "
        << warp::WarpMap::kMaxHeight << ")\n";
    return false;
}

bool ReadSettingsFile(const std::string& path, const char* command, settings::SettingsImage& image,
                      std::ostream& err) {
    QFile file(QString::fromStdString(path));
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) {
        // Bytes beyond the image are not part of it.
        bytes = file.read(settings::kSettingsImageSize);
    }
    // A folder opens but cannot be read.
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        err << command << ": cannot read " << path << ": " << file.errorString().toStdString()
            << "\n";
        return false;
    }
    const auto read = settings::ReadSettingsImage(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                  static_cast<std::size_t>(bytes.size())),
        image);
    if (!read.headerMatches) {
        err << command << ": warning: " << path
            << " does not start like a settings file; taking it as one all the same\n";
    }
    if (!read.complete) {
        err << command << ": warning: " << path << " ends after " << read.bytesUsed << " of "
            << settings::kSettingsImageSize << " bytes; what it does not hold is taken as zero\n";
    }
    return true;
}

void LoadChannelFromSettings(const settings::SettingsImage& image, int c, warp::GridModel& model) {
    const auto index = static_cast<std::size_t>(c);
    // ResetGrid gives the nominal lattice, the work grid and the nominal
    // corners; the file's grid then replaces the points.
    model.ResetGrid(c);
    warp::ChannelGrid& grid = model.channel(c);
    grid.points = image.grids[index];
    grid.internalGrid = image.internalGrid[index];
    model.ApplyGridSize(c, image.gridSize[index]);
    model.recordedGridSize = image.gridSize[index];
    model.recordedInternalGrid = image.internalGrid[index];
    model.transform() = {1.0f, 1.0f, 0.0f, 0.0f};

    const float w = static_cast<float>(model.width());
    const float h = static_cast<float>(model.height());
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
}

std::variant<warp::WarpMap, std::string> MapFromSettings(const settings::SettingsImage& image,
                                                         const MapRequest& request,
                                                         warp::WarpMapComputer& computer) {
    const int c = request.channel;
    auto model = std::make_unique<warp::GridModel>();
    model->setPictureSize(request.width, request.height);
    LoadChannelFromSettings(image, c, *model);

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
