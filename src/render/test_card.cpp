#include "render/test_card.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace lumora::render {
namespace {

using Colour = std::array<std::uint16_t, 3>;

constexpr Colour kBackground{9000, 9000, 9000};
constexpr Colour kFineLine{22000, 22000, 22000};
constexpr Colour kCellLine{65535, 65535, 65535};
constexpr int kFine = 16;
constexpr int kCell = 128;
constexpr int kDigitScale = 4;

// Digits 0..9 on a 3 x 5 grid, one row per 3 bits, top row first.
constexpr std::array<std::array<std::uint8_t, 5>, 10> kDigits = {{
    {7, 5, 5, 5, 7},
    {2, 6, 2, 2, 7},
    {7, 1, 7, 4, 7},
    {7, 1, 7, 1, 7},
    {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7},
    {7, 4, 7, 5, 7},
    {7, 1, 1, 1, 1},
    {7, 5, 7, 5, 7},
    {7, 5, 7, 1, 7},
}};

void Fill(Image16& image, int x0, int y0, int w, int h, const Colour& colour) {
    for (int y = std::max(y0, 0); y < std::min(y0 + h, image.height); ++y) {
        for (int x = std::max(x0, 0); x < std::min(x0 + w, image.width); ++x) {
            image.set(x, y, colour);
        }
    }
}

void DrawNumber(Image16& image, int x, int y, int number) {
    const std::string text = std::to_string(number);
    for (char c : text) {
        const auto& rows = kDigits[static_cast<std::size_t>(c - '0')];
        for (int row = 0; row < 5; ++row) {
            for (int col = 0; col < 3; ++col) {
                if ((rows[static_cast<std::size_t>(row)] >> (2 - col)) & 1) {
                    Fill(image, x + col * kDigitScale, y + row * kDigitScale, kDigitScale,
                         kDigitScale, kCellLine);
                }
            }
        }
        x += 4 * kDigitScale;
    }
}

void DrawCircle(Image16& image, float cx, float cy, float radius, const Colour& colour) {
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const float d = std::hypot(static_cast<float>(x) - cx, static_cast<float>(y) - cy);
            if (std::abs(d - radius) < 1.5f) {
                image.set(x, y, colour);
            }
        }
    }
}

}  // namespace

Image16 TestCard(int width, int height) {
    Image16 card(width, height);
    Fill(card, 0, 0, width, height, kBackground);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (x % kCell == 0 || y % kCell == 0 || x == width - 1 || y == height - 1) {
                card.set(x, y, kCellLine);
            } else if (x % kFine == 0 || y % kFine == 0) {
                card.set(x, y, kFineLine);
            }
        }
    }
    const int across = (width + kCell - 1) / kCell;
    for (int cy = 0; cy * kCell < height; ++cy) {
        for (int cx = 0; cx * kCell < width; ++cx) {
            DrawNumber(card, cx * kCell + 6, cy * kCell + 6, cy * across + cx);
        }
    }
    const float cx = static_cast<float>(width) / 2.0f;
    const float cy = static_cast<float>(height) / 2.0f;
    const float shorter = static_cast<float>(std::min(width, height));
    DrawCircle(card, cx, cy, shorter * 0.45f, kCellLine);
    DrawCircle(card, cx, cy, shorter * 0.25f, kCellLine);
    // Colour bars: red, green, blue, cyan, magenta, yellow, white.
    const std::array<Colour, 7> bars = {{{65535, 0, 0},
                                         {0, 65535, 0},
                                         {0, 0, 65535},
                                         {0, 65535, 65535},
                                         {65535, 0, 65535},
                                         {65535, 65535, 0},
                                         {65535, 65535, 65535}}};
    const int barWidth = width / 10;
    const int barsLeft = (width - barWidth * 7) / 2;
    for (std::size_t i = 0; i < bars.size(); ++i) {
        Fill(card, barsLeft + static_cast<int>(i) * barWidth, height * 5 / 8, barWidth, height / 12,
             bars[i]);
    }
    return card;
}

}  // namespace lumora::render
