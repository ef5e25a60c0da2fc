#pragma once

// Both colour pages ("Color adjust", "Color Adjust").

#include "app/form1_controls.h"
#include "picture/colour_adjust.h"

namespace lumora::app {

void BindColourPages(const Form1Controls& c, picture::ColourAdjust& colour,
                     base::HandlerGuard& guard, QObject* context);

}  // namespace lumora::app
