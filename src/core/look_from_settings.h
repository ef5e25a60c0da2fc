#pragma once

// What the box does to a channel's picture besides the warp, from a settings
// image: the one reading of uniformity, colour adjust and edge blend that
// the command line's render and the window's preview share.

#include "render/channel_look.h"
#include "settings/settings_image.h"

namespace lumora::core {

// Channel c's look as `image` holds it (the test pattern is not kept in the
// file: off).
render::ChannelLook LookFromSettings(const settings::SettingsImage& image, int c);

}  // namespace lumora::core
