#include "app/preview_window.h"

#include <QPainter>

namespace lumora::app {
namespace {

QImage ToImage(const render::Image16& picture) {
    QImage image(picture.width, picture.height, QImage::Format_RGB888);
    for (int y = 0; y < picture.height; ++y) {
        const std::uint16_t* in = picture.rgb.data() + picture.offset(0, y);
        uchar* line = image.scanLine(y);
        for (int i = 0; i < 3 * picture.width; ++i) {
            line[i] = static_cast<uchar>(in[i] >> 8);
        }
    }
    return image;
}

}  // namespace

PreviewWindow::PreviewWindow(core::LivePreview& preview, QWidget* parent)
    : QWidget(parent, Qt::Window), preview_(preview) {
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(QStringLiteral("Preview"));
    resize(2 * core::LivePreview::kWidth, core::LivePreview::kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&preview_, &core::LivePreview::updated, this, &PreviewWindow::takePictures);
}

// Gone with its form, perhaps while shown: nothing is left to render for.
PreviewWindow::~PreviewWindow() {
    preview_.setActive(false);
}

void PreviewWindow::showEvent(QShowEvent* event) {
    preview_.setActive(true);
    QWidget::showEvent(event);
}

void PreviewWindow::hideEvent(QHideEvent* event) {
    preview_.setActive(false);
    QWidget::hideEvent(event);
}

void PreviewWindow::takePictures() {
    for (int c = 0; c < base::kChannels; ++c) {
        pictures_[static_cast<std::size_t>(c)] = ToImage(preview_.picture(c));
    }
    update();
}

QRect PreviewWindow::half(int c) const {
    const int w = width() / 2;
    return {c == 0 ? w : 0, 0, w, height()};
}

void PreviewWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    for (int c = 0; c < base::kChannels; ++c) {
        const QImage& picture = pictures_[static_cast<std::size_t>(c)];
        if (!picture.isNull()) {
            painter.drawImage(half(c), picture);
        }
    }
    // The markers as the box's overlay draws them: an 8 x 8 dot per active
    // point, and a frame around the current one, in preview pixels.
    const core::LivePreview::Marks& marks = preview_.marks();
    if (marks.channel < 0) {
        return;
    }
    const QRect area = half(marks.channel);
    const double toX = static_cast<double>(area.width()) / core::LivePreview::kWidth;
    const double toY = static_cast<double>(area.height()) / core::LivePreview::kHeight;
    const QColor marker(255, 255, 255);
    painter.setPen(QPen(marker, 1));
    for (const core::LivePreview::Marker& m : marks.markers) {
        const QPointF at(area.left() + m.x * toX, area.top() + m.y * toY);
        painter.fillRect(QRectF(at - QPointF(2, 2), QSizeF(4, 4)), marker);
        if (m.current) {
            painter.drawRect(QRectF(at - QPointF(6, 6), QSizeF(12, 12)));
        }
    }
}

}  // namespace lumora::app
