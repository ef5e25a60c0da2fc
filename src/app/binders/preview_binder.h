#pragma once

// F2, in the main window or the preview, shows the live preview beside the
// main window, or hides it.

#include <QWidget>

#include "core/live_preview.h"

namespace lumora::app {

void BindPreview(QWidget* form, core::LivePreview& preview);

}  // namespace lumora::app
