#pragma once

// Both "Uniformity" pages, and the "X POS" bars outside the visible area.

#include "app/form1_controls.h"
#include "picture/uniformity.h"

namespace lumora::app {

void BindUniformityPages(const Form1Controls& c, picture::Uniformity& uniformity,
                         base::HandlerGuard& guard, QObject* context);

}  // namespace lumora::app
