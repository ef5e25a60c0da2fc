#pragma once

// Counts what is drawn in an overlay picture: the connected groups of lit
// pixels (4-connectivity: a diagonal touch does not join two groups), each
// with its bounding box and pixel count. Lets a test say "25 dots of 8 x 8
// and one hollow frame at (0, 0)" without comparing whole pictures.

#include <QImage>
#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace lumora::probe {

struct LitComponent {
    int left = 0;  // bounding box, inclusive edges
    int top = 0;
    int right = 0;
    int bottom = 0;
    int pixels = 0;

    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    // A filled rectangle: every pixel of the bounding box is lit.
    bool solid() const { return pixels == width() * height(); }
};

struct LitComponents {
    // Ordered by each component's first pixel in raster order (top line first).
    std::vector<LitComponent> components;
    // Per pixel, row by row: index into `components`, or -1 where unlit.
    std::vector<int> labels;
    int width = 0;
    int height = 0;

    std::size_t size() const { return components.size(); }
    // The component that pixel (x, y) belongs to; null if it is unlit or outside.
    const LitComponent* at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return nullptr;
        }
        const int label = labels[static_cast<std::size_t>(y) * width + x];
        return label < 0 ? nullptr : &components[static_cast<std::size_t>(label)];
    }
    // How many components have exactly this size and pixel count.
    int count(int w, int h, int pixels) const {
        return static_cast<int>(
            std::count_if(components.begin(), components.end(), [&](const LitComponent& c) {
                return c.width() == w && c.height() == h && c.pixels == pixels;
            }));
    }
};

// `lit(x, y)` says whether a pixel is drawn.
template <typename Lit>
LitComponents FindLitComponents(int width, int height, Lit lit) {
    LitComponents out;
    out.width = width;
    out.height = height;
    out.labels.assign(static_cast<std::size_t>(width) * height, -1);
    const auto index = [width](int x, int y) { return static_cast<std::size_t>(y) * width + x; };
    std::vector<std::pair<int, int>> stack;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (out.labels[index(x, y)] >= 0 || !lit(x, y)) {
                continue;
            }
            const int label = static_cast<int>(out.components.size());
            LitComponent c{x, y, x, y, 0};
            out.labels[index(x, y)] = label;
            stack.assign(1, {x, y});
            while (!stack.empty()) {
                const auto [px, py] = stack.back();
                stack.pop_back();
                ++c.pixels;
                c.left = std::min(c.left, px);
                c.right = std::max(c.right, px);
                c.top = std::min(c.top, py);
                c.bottom = std::max(c.bottom, py);
                const std::pair<int, int> next[] = {
                    {px - 1, py}, {px + 1, py}, {px, py - 1}, {px, py + 1}};
                for (const auto& [nx, ny] : next) {
                    if (nx >= 0 && ny >= 0 && nx < width && ny < height &&
                        out.labels[index(nx, ny)] < 0 && lit(nx, ny)) {
                        out.labels[index(nx, ny)] = label;
                        stack.push_back({nx, ny});
                    }
                }
            }
            out.components.push_back(c);
        }
    }
    return out;
}

// Lit means not black and not fully transparent.
inline LitComponents FindLitComponents(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_ARGB32);
    return FindLitComponents(rgb.width(), rgb.height(), [&rgb](int x, int y) {
        const QRgb p = reinterpret_cast<const QRgb*>(rgb.constScanLine(y))[x];
        return qAlpha(p) != 0 && (qRed(p) | qGreen(p) | qBlue(p)) != 0;
    });
}

}  // namespace lumora::probe
