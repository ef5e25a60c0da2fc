#pragma once

// "Save to Box" "1" to "10" and the map dump button outside the visible area.

#include "app/form1_controls.h"
#include "warp/map_transfer.h"

namespace lumora::app {

void BindMapTransfer(const Form1Controls& c, warp::MapTransfer& transfer, base::HandlerGuard& guard,
                     QObject* context);

}  // namespace lumora::app
