#pragma once

#include <QObject>

#include "app/form1_controls.h"
#include "base/handler_guard.h"
#include "core/diagnostics.h"

namespace lumora::app {

// The service controls outside the visible area to the diagnostics area.
void BindDiagnostics(const Form1Controls& c, core::Diagnostics& diagnostics,
                     base::HandlerGuard& guard, QObject* context);

}  // namespace lumora::app
