#include "core/look_from_settings.h"

namespace lumora::core {

render::ChannelLook LookFromSettings(const settings::SettingsImage& image, int c) {
    const auto i = static_cast<std::size_t>(c);
    render::ChannelLook look;
    look.uniformity.enabled = image.uniformityEnable[i] != 0;
    for (std::size_t e = 0; e < look.uniformity.gain.size(); ++e) {
        look.uniformity.gain[e] = image.uniformityGain[i][e];
        look.uniformity.offset[e] = image.uniformityOffset[i][e];
    }
    const settings::ColourAdjustRecord& colour = image.colourAdjust[i];
    look.colour.gainEnabled = colour.gainEnable != 0;
    look.colour.gain = {colour.redGain, colour.greenGain, colour.blueGain};
    look.colour.offset = {colour.redOffset, colour.greenOffset, colour.blueOffset};
    const settings::EdgeBlendRecord& blend = image.edgeBlend[i];
    const auto width = [](std::int32_t on, std::int32_t w) { return on != 0 ? w : 0; };
    look.blend.edgeWidth = {
        width(blend.leftEnable, blend.leftWidth), width(blend.rightEnable, blend.rightWidth),
        width(blend.topEnable, blend.topWidth), width(blend.bottomEnable, blend.bottomWidth)};
    look.blend.gammaX100 = blend.gammaX100;
    look.blend.transitionOffset = blend.transitionOffset;
    look.blend.nonTransitionOffset = blend.nonTransitionOffset;
    return look;
}

}  // namespace lumora::core
