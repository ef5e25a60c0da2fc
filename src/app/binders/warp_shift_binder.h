#pragma once

// The value labels of both "Warp Shift" pages.

#include "app/form1_controls.h"
#include "warp/corner_shift.h"

namespace lumora::app {

void BindWarpShiftPages(const Form1Controls& c, warp::CornerShift& shift, QObject* context);

}  // namespace lumora::app
