#include "cli/export_command.h"

#include <QBuffer>
#include <QDateTime>
#include <QImage>
#include <array>
#include <cmath>
#include <memory>

#include "base/whole_files.h"
#include "cli/cli_commands.h"
#include "cli/map_from_settings.h"
#include "cli/mpcdi_xml.h"
#include "cli/pfm_warp_file.h"
#include "cli/zip_archive.h"
#include "core/look_from_settings.h"
#include "render/blend_alpha.h"

namespace lumora::cli {
namespace {

// The blend's factor per picture pixel as 8-bit grey; the values carry the
// blend's gamma, which the caller records beside them.
QByteArray AlphaMapPng(const render::ChannelLook::Blend& blend, int width, int height) {
    QImage image(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const float alpha = render::BlendAlpha(blend, static_cast<float>(x),
                                                   static_cast<float>(y), width, height);
            line[x] = static_cast<uchar>(std::lround(alpha * 255.0f));
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

std::span<const std::uint8_t> Bytes(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

}  // namespace

int RunExportCommand(const Options& options, std::ostream& out, std::ostream& err) {
    if (!PictureSizeFits(options.width, options.height, "export", err)) {
        return kExitUsage;
    }
    auto image = std::make_unique<settings::SettingsImage>();
    if (!ReadSettingsFile(options.positional.front(), "export", *image, err)) {
        return kExitFileFailed;
    }

    // Channel A is the buffer's left half, B its right.
    constexpr std::array<const char*, 2> kNames = {"A", "B"};
    std::array<std::vector<std::uint8_t>, 2> warps;
    std::array<QByteArray, 2> alphas;
    std::vector<MpcdiRegion> regions;
    auto computer = std::make_unique<warp::WarpMapComputer>();
    for (int c = 0; c < 2; ++c) {
        const auto i = static_cast<std::size_t>(c);
        // The map a live move sends, as `render` shows it.
        const auto map =
            MapFromSettings(*image, {c, options.width, options.height, true}, *computer);
        if (const std::string* refusal = std::get_if<std::string>(&map)) {
            err << "export: " << *refusal << "\n";
            return kExitRefused;
        }
        warps[i] = PfmWarpFile(std::get<warp::WarpMap>(map), options.width, options.height);
        const render::ChannelLook look = core::LookFromSettings(*image, c);
        alphas[i] = AlphaMapPng(look.blend, options.width, options.height);
        const std::string name = kNames[i];
        regions.push_back({name, options.width, "warp" + name + ".pfm", "alpha" + name + ".png",
                           look.blend.gammaX100 / 100.0});
    }

    const std::string date =
        QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss").toStdString();
    const std::string xml = MpcdiXml(regions, options.height, date);
    std::vector<ZipEntry> entries = {
        {"mpcdi.xml", std::span(reinterpret_cast<const std::uint8_t*>(xml.data()), xml.size())}};
    for (std::size_t i = 0; i < regions.size(); ++i) {
        entries.push_back({regions[i].warpFile, warps[i]});
        entries.push_back({regions[i].alphaFile, Bytes(alphas[i])});
    }
    const auto archive = ZipArchive(entries);
    if (const std::string* error = std::get_if<std::string>(&archive)) {
        err << "export: " << *error << "\n";
        return kExitFileFailed;
    }
    const base::WholeFile file{options.mpcdi, std::get<std::vector<std::uint8_t>>(archive)};
    if (const std::string error = base::WriteWholeFiles(std::span(&file, 1)); !error.empty()) {
        err << "export: " << error << "\n";
        return kExitFileFailed;
    }
    out << "Exported Channels A and B (" << options.width << " x " << options.height << " each) to "
        << options.mpcdi << "\n";
    return kExitDone;
}

}  // namespace lumora::cli
