#include "cli/render_command.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <memory>

#include "base/whole_files.h"
#include "cli/cli_commands.h"
#include "cli/map_from_settings.h"
#include "core/look_from_settings.h"
#include "render/renderer.h"
#include "render/test_card.h"

namespace lumora::cli {
namespace {

constexpr int kMaxSourceSide = 8192;

std::optional<render::Image16> ReadSource(const std::string& path, std::ostream& err,
                                          int& exitCode) {
    QImageReader reader(QString::fromStdString(path));
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > kMaxSourceSide || size.height() > kMaxSourceSide)) {
        err << "render: the source image " << path << " is " << size.width() << " x "
            << size.height() << ", larger than " << kMaxSourceSide << " x " << kMaxSourceSide
            << "\n";
        exitCode = kExitUsage;
        return std::nullopt;
    }
    QImage image = reader.read();
    if (image.isNull()) {
        err << "render: cannot read the source image " << path << ": "
            << reader.errorString().toStdString() << "\n";
        exitCode = kExitFileFailed;
        return std::nullopt;
    }
    image.convertTo(QImage::Format_RGBX64);
    render::Image16 source(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgba64*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            source.set(x, y, {line[x].red(), line[x].green(), line[x].blue()});
        }
    }
    return source;
}

QByteArray EncodePng(const render::Image16& picture, bool sixteenBit) {
    QImage image(picture.width, picture.height,
                 sixteenBit ? QImage::Format_RGBX64 : QImage::Format_RGB888);
    for (int y = 0; y < picture.height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < picture.width; ++x) {
            const auto v = picture.at(x, y);
            if (sixteenBit) {
                reinterpret_cast<QRgba64*>(line)[x] = QRgba64::fromRgba64(v[0], v[1], v[2], 65535);
            } else {
                for (int k = 0; k < 3; ++k) {
                    line[3 * x + k] =
                        static_cast<uchar>((v[static_cast<std::size_t>(k)] + 128) / 257);
                }
            }
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

}  // namespace

int RunRenderCommand(const Options& options, std::ostream& out, std::ostream& err) {
    if (!PictureSizeFits(options.width, options.height, "render", err)) {
        return kExitUsage;
    }
    auto image = std::make_unique<settings::SettingsImage>();
    if (!ReadSettingsFile(options.positional.front(), "render", *image, err)) {
        return kExitFileFailed;
    }
    std::optional<render::Image16> source;
    if (!options.input.empty()) {
        int exitCode = kExitDone;
        source = ReadSource(options.input, err, exitCode);
        if (!source) {
            return exitCode;
        }
    } else {
        source = render::TestCard(options.width, options.height);
    }
    const int c = *options.channel;
    auto computer = std::make_unique<warp::WarpMapComputer>();
    const auto map = MapFromSettings(*image, {c, options.width, options.height, true}, *computer);
    if (const std::string* refusal = std::get_if<std::string>(&map)) {
        err << "render: " << *refusal << "\n";
        return kExitRefused;
    }
    render::RenderRequest request;
    request.map = &std::get<warp::WarpMap>(map);
    request.pictureWidth = options.width;
    request.pictureHeight = options.height;
    request.source = &*source;
    request.look = core::LookFromSettings(*image, c);
    request.outWidth = options.width;
    request.outHeight = options.height;
    render::Image16 picture;
    render::RenderChannel(request, picture);

    const QByteArray png = EncodePng(picture, options.sixteenBit);
    const base::WholeFile file{options.out,
                               std::span(reinterpret_cast<const std::uint8_t*>(png.constData()),
                                         static_cast<std::size_t>(png.size()))};
    if (const std::string error = base::WriteWholeFiles(std::span(&file, 1)); !error.empty()) {
        err << "render: " << error << "\n";
        return kExitFileFailed;
    }
    out << "Rendered Channel " << (c == 0 ? 'A' : 'B') << " (" << options.width << " x "
        << options.height << ") to " << options.out << "\n";
    return kExitDone;
}

}  // namespace lumora::cli
