#include "sim/output_png.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>

#include "base/whole_files.h"
#include "render/test_card.h"
#include "sim/announce.h"
#include "sim/overlay_png.h"

namespace lumora::sim {

OutputSnapshot TakeOutputSnapshot(const BoxModel& model, int channel) {
    OutputSnapshot snapshot;
    snapshot.map = std::make_unique<warp::WarpMap>();
    snapshot.map->setIdentity();
    if (const auto& live = model.liveMap(channel)) {
        for (int a = 0; a < warp::WarpMap::kColumns; ++a) {
            for (int b = 0; b < warp::WarpMap::kRows; ++b) {
                const auto i = static_cast<std::size_t>(warp::WarpMap::Index(a, b));
                snapshot.map->x[i] = live->at(0, a, b);
                snapshot.map->y[i] = live->at(1, a, b);
            }
        }
    }
    const PictureState& picture = model.picture(channel);
    render::ChannelLook& look = snapshot.look;
    look.uniformity.enabled = picture.uniformity.enabled;
    for (std::size_t p = 0; p < picture.uniformity.points.size(); ++p) {
        look.uniformity.gain[p] = picture.uniformity.points[p].gain;
        look.uniformity.offset[p] = picture.uniformity.points[p].offset;
    }
    const ColourState colour = model.colour(channel);
    look.colour.gainEnabled = colour.gainEnabled;
    for (std::size_t k = 0; k < 3; ++k) {
        look.colour.gain[k] = colour.gains[k];
        look.colour.offset[k] = colour.offsets[k];
    }
    for (std::size_t e = 0; e < 4; ++e) {
        look.blend.edgeWidth[e] = picture.blend.edgeWidth[e];
    }
    // The box powers on with gamma 0; a ramp needs one.
    look.blend.gammaX100 = picture.blend.gamma != 0 ? picture.blend.gamma : 100;
    look.blend.transitionOffset = picture.blend.transitionOffset;
    look.blend.nonTransitionOffset = picture.blend.nonTransitionOffset;
    look.pattern = {picture.pattern.on, picture.pattern.colour, picture.pattern.horizontal,
                    picture.pattern.vertical};
    snapshot.overlay = model.overlay(channel);
    snapshot.overlayShown = model.overlayShown(channel);
    snapshot.width = model.config().width;
    snapshot.height = model.config().height;
    return snapshot;
}

QImage OutputImage(const OutputSnapshot& snapshot, const render::Image16& source) {
    render::RenderRequest request;
    request.map = snapshot.map.get();
    request.pictureWidth = snapshot.width;
    request.pictureHeight = snapshot.height;
    request.source = &source;
    request.look = snapshot.look;
    request.outWidth = snapshot.width;
    request.outHeight = snapshot.height;
    render::Image16 out;
    render::RenderChannel(request, out);
    QImage image(out.width, out.height, QImage::Format_RGB888);
    for (int y = 0; y < out.height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < out.width; ++x) {
            const auto v = out.at(x, y);
            for (int k = 0; k < 3; ++k) {
                line[3 * x + k] = static_cast<uchar>((v[static_cast<std::size_t>(k)] + 128) / 257);
            }
        }
    }
    // The overlay's markers on top, while its display is on.
    if (snapshot.overlayShown) {
        const QImage overlay = OverlayImage(snapshot.overlay, true);
        for (int y = 0; y < std::min(overlay.height(), image.height()); ++y) {
            for (int x = 0; x < std::min(overlay.width(), image.width()); ++x) {
                if (snapshot.overlay.pixel(x, y) != 0) {
                    image.setPixel(x, y, overlay.pixel(x, y));
                }
            }
        }
    }
    return image;
}

OutputPngWriter::OutputPngWriter(std::string dir, std::shared_ptr<const render::Image16> source)
    : dir_(std::move(dir)),
      source_(std::move(source)),
      // A picture takes a while to render: only the newest after a change
      // settles is written.
      writer_(std::chrono::milliseconds(200), std::chrono::milliseconds(2000)) {}

std::string OutputPngWriter::FileName(int channel) {
    return channel == 0 ? "output-A.png" : "output-B.png";
}

void OutputPngWriter::submit(int channel, OutputSnapshot snapshot) {
    auto shared = std::make_shared<OutputSnapshot>(std::move(snapshot));
    writer_.submit(channel, [target = path(channel), shared, source = source_] {
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        QImageWriter writer(&png, "png");
        if (!writer.write(OutputImage(*shared, *source))) {
            return "cannot write " + target + ": " + writer.errorString().toStdString();
        }
        const QByteArray& bytes = png.data();
        return base::WriteWholeFile(
            target, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
            kBoxFiles);
    });
}

std::shared_ptr<const render::Image16> OutputSource(const std::string& inputPath, int width,
                                                    int height, std::string& error) {
    if (inputPath.empty()) {
        return std::make_shared<const render::Image16>(render::TestCard(width, height));
    }
    QImageReader reader(QString::fromStdString(inputPath));
    QImage image = reader.read();
    if (image.isNull()) {
        error =
            "cannot read the source image " + inputPath + ": " + reader.errorString().toStdString();
        return nullptr;
    }
    image = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_RGBX64);
    auto source = std::make_shared<render::Image16>(width, height);
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgba64*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            source->set(x, y, {line[x].red(), line[x].green(), line[x].blue()});
        }
    }
    return source;
}

}  // namespace lumora::sim
