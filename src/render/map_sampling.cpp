#include "render/map_sampling.h"

#include <algorithm>

#include "render/renderer.h"

namespace lumora::render {

using warp::WarpMap;

SourcePosition SampleMap(const WarpMap& map, float px, float py) {
    const int a = std::clamp(static_cast<int>(px / 16.0f), 0, WarpMap::kColumns - 2);
    const int b = std::clamp(static_cast<int>(py / 16.0f), 0, WarpMap::kRows - 2);
    const float fa = px / 16.0f - static_cast<float>(a);
    const float fb = py / 16.0f - static_cast<float>(b);
    const auto left = static_cast<std::size_t>(WarpMap::Index(a, b));
    const auto right = static_cast<std::size_t>(WarpMap::Index(a + 1, b));
    const auto down = [fb](const WarpMap::Table& table, std::size_t i) {
        const float top = DecodeMapEntry(table[i]);
        const float bottom = DecodeMapEntry(table[i + 1]);
        return top + (bottom - top) * fb;
    };
    const float x0 = down(map.x, left);
    const float x1 = down(map.x, right);
    const float y0 = down(map.y, left);
    const float y1 = down(map.y, right);
    return {x0 + (x1 - x0) * fa, y0 + (y1 - y0) * fa};
}

}  // namespace lumora::render
