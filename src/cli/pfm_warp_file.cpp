#include "cli/pfm_warp_file.h"

#include <bit>
#include <limits>
#include <string>

#include "render/map_sampling.h"

namespace lumora::cli {
namespace {

void AppendFloat(std::vector<std::uint8_t>& bytes, float value) {
    // Little-endian whatever the host, as the negative scale promises.
    const auto bits = std::bit_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>(bits >> shift));
    }
}

}  // namespace

int WarpSamples(int pixels) {
    return (pixels + 15) / 16 + 1;
}

std::vector<std::uint8_t> PfmWarpFile(const warp::WarpMap& map, int width, int height) {
    const int across = WarpSamples(width);
    const int down = WarpSamples(height);
    const std::string header =
        "PF\n" + std::to_string(across) + " " + std::to_string(down) + "\n-1.000000\n";
    std::vector<std::uint8_t> bytes(header.begin(), header.end());
    bytes.reserve(bytes.size() + static_cast<std::size_t>(across) * down * 3 * sizeof(float));
    const auto w = static_cast<float>(width);
    const auto h = static_cast<float>(height);
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    for (int j = down - 1; j >= 0; --j) {
        const float py = static_cast<float>(j * height) / static_cast<float>(down - 1);
        for (int i = 0; i < across; ++i) {
            const float px = static_cast<float>(i * width) / static_cast<float>(across - 1);
            const render::SourcePosition s = render::SampleMap(map, px, py);
            // The picture spans 0..width, so that the far edge reads as 1.
            const bool inside = s.x >= 0.0f && s.x <= w && s.y >= 0.0f && s.y <= h;
            AppendFloat(bytes, inside ? s.x / w : kNaN);
            AppendFloat(bytes, inside ? s.y / h : kNaN);
            AppendFloat(bytes, inside ? 0.0f : 1.0f);
        }
    }
    return bytes;
}

}  // namespace lumora::cli
