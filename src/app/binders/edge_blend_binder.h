#pragma once

// Both "Edge Blend" pages.

#include "app/form1_controls.h"
#include "picture/edge_blend.h"

namespace lumora::app {

void BindEdgeBlendPages(const Form1Controls& c, picture::EdgeBlend& blend,
                        base::HandlerGuard& guard, QObject* context);

}  // namespace lumora::app
