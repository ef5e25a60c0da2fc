#include "cli/map_command.h"

#include <QFile>
#include <memory>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/map_from_settings.h"
#include "settings/whole_files.h"

namespace lumora::cli {
namespace {

// The tables as the box receives them: column a after column a, 16-bit
// little-endian entries.
std::vector<std::uint8_t> TableBytes(
    const std::array<std::int16_t, warp::WarpMap::kEntries>& table) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(table.size() * 2);
    for (std::int16_t entry : table) {
        const auto bits = static_cast<std::uint16_t>(entry);
        bytes.push_back(static_cast<std::uint8_t>(bits & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(bits >> 8));
    }
    return bytes;
}

}  // namespace

int RunMapCommand(const Options& options, std::ostream& out, std::ostream& err) {
    const std::string& path = options.positional.front();
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        err << "map: cannot read " << path << ": " << file.errorString().toStdString() << "\n";
        return kExitFileFailed;
    }
    // Bytes beyond the image are not part of it.
    const QByteArray bytes = file.read(settings::kSettingsImageSize);
    auto image = std::make_unique<settings::SettingsImage>();
    const auto read = settings::ReadSettingsImage(
        std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                  static_cast<std::size_t>(bytes.size())),
        *image);
    if (!read.headerMatches) {
        err << "map: warning: " << path
            << " does not start like a settings file; taking it as one all the same\n";
    }
    if (!read.complete) {
        err << "map: warning: " << path << " ends after " << read.bytesUsed << " of "
            << settings::kSettingsImageSize << " bytes; what it does not hold is taken as zero\n";
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
    const auto x = TableBytes(map.x);
    const auto y = TableBytes(map.y);
    const settings::WholeFile tables[] = {{options.outX, x}, {options.outY, y}};
    if (const std::string error = settings::WriteWholeFiles(tables); !error.empty()) {
        err << "map: " << error << "\n";
        return kExitFileFailed;
    }
    out << "Channel " << (request.channel == 0 ? 'A' : 'B') << ", " << request.width << " x "
        << request.height << (request.cornerProjection ? "" : ", without the corner shift")
        << ": wrote " << options.outX << " and " << options.outY << "\n";
    return kExitDone;
}

}  // namespace lumora::cli
