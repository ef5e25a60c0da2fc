#include "sim/overlay_png.h"

#include <QBuffer>
#include <QImageWriter>
#include <cstring>
#include <string_view>

#include "sim/announce.h"

namespace lumora::sim {
namespace {

constexpr std::uint8_t kMarkerColour = 0x88;

QList<QRgb> colourTable(bool shown) {
    const int on = shown ? 255 : 100;
    QList<QRgb> table(256, qRgb(on, 0, on));
    table[0] = qRgb(0, 0, 0);
    table[kMarkerColour] = qRgb(0, on, 0);
    return table;
}

}  // namespace

QImage OverlayImage(const OverlayMemory& memory, bool shown) {
    QImage image(memory.width(), memory.height(), QImage::Format_Indexed8);
    image.setColorTable(colourTable(shown));
    const auto width = static_cast<std::size_t>(memory.width());
    for (int y = 0; y < memory.height(); ++y) {
        const std::span<const std::uint8_t> line = memory.line(y);
        uchar* out = image.scanLine(y);
        if (line.empty()) {
            std::memset(out, 0, width);
        } else {
            std::memcpy(out, line.data(), width);
        }
    }
    return image;
}

std::string OverlayPngWriter::FileName(int channel) {
    return channel == 0 ? "overlay-A.png" : "overlay-B.png";
}

void OverlayPngWriter::submit(int channel, OverlayMemory memory, bool shown) {
    writer_.submit(channel, [target = path(channel), memory = std::move(memory), shown] {
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        QImageWriter writer(&png, "png");
        if (!writer.write(OverlayImage(memory, shown))) {
            return "cannot write " + target + ": " + writer.errorString().toStdString();
        }
        const QByteArray& bytes = png.data();
        return base::WriteWholeFile(
            target, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
            kBoxFiles);
    });
}

}  // namespace lumora::sim
