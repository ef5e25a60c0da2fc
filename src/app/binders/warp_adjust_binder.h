#pragma once

// The grid controls of both "Warp adjust" pages: the grid-size buttons,
// "Internal Grid", "Show Grid", and the page being shown.

#include "app/form1_controls.h"
#include "warp/grid_editing.h"

namespace lumora::app {

void BindWarpAdjustPages(const Form1Controls& c, warp::GridEditing& editing,
                         base::HandlerGuard& guard, QObject* context);

}  // namespace lumora::app
