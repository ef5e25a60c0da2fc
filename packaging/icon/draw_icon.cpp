// Draws the tool's icon, a warp grid bent over a screen, both as the 48x48
// PNG and as the scalable SVG, from one description, so that the two never
// drift apart. Run at build time: draw_icon OUT.png OUT.svg

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QSaveFile>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr int kSize = 48;
constexpr int kLines = 5;     // grid lines each way
constexpr int kSamples = 17;  // points along each drawn line
const QColor kBackground(0x1d, 0x2b, 0x3a);
const QColor kAcross(0xe3, 0xea, 0xf2);
const QColor kChannelB(0x4f, 0xc3, 0xf7);  // left half
const QColor kChannelA(0xff, 0xb7, 0x4d);  // right half

// A keystoned screen whose top and bottom bow outwards, in icon units.
QPointF Warp(double u, double v) {
    const double x = 24 + (u - 0.5) * (28 + 8 * v);
    const double y = 10 + 28 * v + 3.5 * std::sin(std::numbers::pi * u) * (2 * v - 1);
    return {x, y};
}

struct Stroke {
    QPolygonF points;
    QColor colour;
};

std::vector<Stroke> Strokes() {
    std::vector<Stroke> strokes;
    for (int k = 0; k < kLines; ++k) {
        const double t = static_cast<double>(k) / (kLines - 1);
        QPolygonF across;
        QPolygonF down;
        for (int s = 0; s < kSamples; ++s) {
            const double w = static_cast<double>(s) / (kSamples - 1);
            across << Warp(w, t);
            down << Warp(t, w);
        }
        strokes.push_back({across, kAcross});
        strokes.push_back({down, k < kLines / 2   ? kChannelB
                                 : k > kLines / 2 ? kChannelA
                                                  : kAcross});
    }
    return strokes;
}

std::vector<QPointF> Corners() {
    return {Warp(0, 0), Warp(1, 0), Warp(0, 1), Warp(1, 1)};
}

QString Svg() {
    QString svg = QStringLiteral(
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\" "
                      "viewBox=\"0 0 48 48\">\n"
                      "  <rect x=\"2\" y=\"2\" width=\"44\" height=\"44\" rx=\"8\" fill=\"%1\"/>\n")
                      .arg(kBackground.name());
    for (const Stroke& stroke : Strokes()) {
        QString points;
        for (const QPointF& p : stroke.points) {
            points += QStringLiteral("%1,%2 ").arg(p.x(), 0, 'f', 2).arg(p.y(), 0, 'f', 2);
        }
        svg += QStringLiteral(
                   "  <polyline points=\"%1\" fill=\"none\" stroke=\"%2\" stroke-width=\"1.6\" "
                   "stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n")
                   .arg(points.trimmed(), stroke.colour.name());
    }
    for (const QPointF& c : Corners()) {
        svg += QStringLiteral("  <circle cx=\"%1\" cy=\"%2\" r=\"2.6\" fill=\"#ffffff\"/>\n")
                   .arg(c.x(), 0, 'f', 2)
                   .arg(c.y(), 0, 'f', 2);
    }
    return svg + "</svg>\n";
}

QImage Png() {
    QImage image(kSize, kSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBackground);
    painter.drawRoundedRect(QRectF(2, 2, 44, 44), 8, 8);
    painter.setBrush(Qt::NoBrush);
    for (const Stroke& stroke : Strokes()) {
        painter.setPen(QPen(stroke.colour, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(stroke.points);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    for (const QPointF& c : Corners()) {
        painter.drawEllipse(c, 2.6, 2.6);
    }
    return image;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fputs("usage: draw_icon OUT.png OUT.svg\n", stderr);
        return 2;
    }
    QSaveFile svg(QString::fromLocal8Bit(argv[2]));
    if (!Png().save(QString::fromLocal8Bit(argv[1]), "PNG") || !svg.open(QIODevice::WriteOnly) ||
        svg.write(Svg().toUtf8()) < 0 || !svg.commit()) {
        std::fputs("draw_icon: cannot write the icon\n", stderr);
        return 1;
    }
    return 0;
}
