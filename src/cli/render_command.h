#pragma once

#include <ostream>

#include "cli/cli_options.h"
#include "render/channel_look.h"
#include "settings/settings_image.h"

namespace lumora::cli {

// What the box does to channel c's picture besides the warp, as the settings
// file holds it (the test pattern is not kept in the file: off).
render::ChannelLook LookFromSettings(const settings::SettingsImage& image, int c);

// `render FILE.lwf --channel A|B --size WxH [--input IMAGE] --out OUT.png
// [--16bit]`: the channel's output as the box would show it, no box needed.
int RunRenderCommand(const Options& options, std::ostream& out, std::ostream& err);

}  // namespace lumora::cli
