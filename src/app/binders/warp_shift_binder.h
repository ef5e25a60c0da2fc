#pragma once

// Both "Warp Shift" pages: the 32 shift buttons, the "x10" boxes and the
// value labels.

#include <QWidget>

#include "app/form1_controls.h"
#include "warp/corner_shift.h"

namespace lumora::app {

// `window`: its caption shows the mouse button pressed on a "Top Left" right
// arrow, as the service code of the page does.
void BindWarpShiftPages(const Form1Controls& c, warp::CornerShift& shift, base::HandlerGuard& guard,
                        QWidget* window);

}  // namespace lumora::app
