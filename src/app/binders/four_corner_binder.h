#pragma once

#include <QObject>

#include "app/form1_controls.h"
#include "base/handler_guard.h"
#include "warp/four_corner_warp.h"

namespace lumora::app {

// Both four-corner pages (TabSheet1, TabSheet3) to the four-corner area.
void BindFourCornerPages(const Form1Controls& c, warp::FourCornerWarp& fourCorner,
                         base::HandlerGuard& guard, QObject* context);

}  // namespace lumora::app
